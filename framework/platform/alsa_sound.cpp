// The ALSA side of the sound services (declared in framework/platform/sound.h): the playback
// stream only. The system mixer is never opened, so the user's volume stays theirs.
#include <alsa/asoundlib.h>

#include <cstdarg>
#include <memory>

#include "framework/platform/sound.h"

namespace framework {

namespace {

constexpr unsigned int kChannels = 2;
constexpr unsigned int kSampleRate = 44100;
constexpr unsigned int kLatencyMicroseconds = 100000;

// ALSA prints its configuration complaints (no card, no plugin) to standard error; the
// program reports what matters in its own log instead.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

gfx::Error AlsaError(const char* what, int code) {
    return gfx::Error{std::string(what) + ": " + snd_strerror(code)};
}

class AlsaSound final : public SoundBackend {
  public:
    explicit AlsaSound(std::string deviceName) : deviceName_(std::move(deviceName)) {}
    ~AlsaSound() override { ClosePlayback(); }
    AlsaSound(const AlsaSound&) = delete;
    AlsaSound& operator=(const AlsaSound&) = delete;

    gfx::Status OpenPlayback() override {
        snd_lib_error_set_handler(&QuietAlsaErrors);
        ClosePlayback();
        // Non-blocking: a device held by another program must not stall the start-up.
        const int result =
            snd_pcm_open(&pcm_, deviceName_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (result < 0) {
            pcm_ = nullptr;
            return AlsaError(deviceName_.c_str(), result);
        }
        return gfx::Status::Ok();
    }

    gfx::Status SetPlaybackFormat() override {
        if (pcm_ == nullptr) return gfx::Error{"no playback device is open"};
        const int result =
            snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, kChannels,
                               kSampleRate, 1, kLatencyMicroseconds);
        if (result < 0) return AlsaError("snd_pcm_set_params", result);
        return gfx::Status::Ok();
    }

    void ClosePlayback() override {
        if (pcm_ != nullptr) snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }

  private:
    std::string deviceName_;
    snd_pcm_t* pcm_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundBackend> MakeAlsaSound(std::string deviceName) {
    return std::make_unique<AlsaSound>(std::move(deviceName));
}

}  // namespace framework
