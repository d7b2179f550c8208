// The ALSA side of the sound services (declared in framework/sound.h).
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

// The "Master" control of the device's mixer, open for the lifetime of the object.
class MasterControl {
  public:
    explicit MasterControl(const std::string& deviceName) {
        if (snd_mixer_open(&mixer_, 0) < 0) {
            mixer_ = nullptr;
            return;
        }
        snd_mixer_selem_id_t* id = nullptr;
        if (snd_mixer_attach(mixer_, deviceName.c_str()) < 0 ||
            snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 || snd_mixer_load(mixer_) < 0 ||
            snd_mixer_selem_id_malloc(&id) < 0) {
            return;
        }
        snd_mixer_selem_id_set_index(id, 0);
        snd_mixer_selem_id_set_name(id, "Master");
        snd_mixer_elem_t* element = snd_mixer_find_selem(mixer_, id);
        snd_mixer_selem_id_free(id);
        if (element != nullptr && snd_mixer_selem_has_playback_volume(element)) {
            element_ = element;
        }
    }
    ~MasterControl() {
        if (mixer_ != nullptr) snd_mixer_close(mixer_);
    }
    MasterControl(const MasterControl&) = delete;
    MasterControl& operator=(const MasterControl&) = delete;

    std::optional<std::vector<long>> Read() const {
        if (element_ == nullptr) return std::nullopt;
        std::vector<long> volume;
        for (int channel = 0; channel <= SND_MIXER_SCHN_LAST; ++channel) {
            const auto id = static_cast<snd_mixer_selem_channel_id_t>(channel);
            if (!snd_mixer_selem_has_playback_channel(element_, id)) continue;
            long value = 0;
            if (snd_mixer_selem_get_playback_volume(element_, id, &value) < 0) {
                return std::nullopt;
            }
            volume.push_back(value);
        }
        if (volume.empty()) return std::nullopt;
        return volume;
    }

    void Write(const std::vector<long>& volume) const {
        if (element_ == nullptr) return;
        std::size_t next = 0;
        for (int channel = 0; channel <= SND_MIXER_SCHN_LAST && next < volume.size(); ++channel) {
            const auto id = static_cast<snd_mixer_selem_channel_id_t>(channel);
            if (!snd_mixer_selem_has_playback_channel(element_, id)) continue;
            snd_mixer_selem_set_playback_volume(element_, id, volume[next++]);
        }
    }

  private:
    snd_mixer_t* mixer_ = nullptr;
    snd_mixer_elem_t* element_ = nullptr;
};

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

    std::optional<std::vector<long>> ReadVolume() override {
        return MasterControl(deviceName_).Read();
    }

    void WriteVolume(const std::vector<long>& volume) override {
        MasterControl(deviceName_).Write(volume);
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
