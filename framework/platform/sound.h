#pragma once
// Sound and music services brought up at start-up and taken down at shutdown: the default
// playback device in 16-bit stereo at 44.1 kHz, the 3D listener settings, and the music loader.
// The editor plays nothing; where no sound device exists it goes on without sound after a log
// line. Its stream is never given a volume of its own and the system mixer is never opened, so
// there is no volume to save and put back: a change the user makes while the editor runs stays.

#include <memory>
#include <string>

#include "gfx/base/result.h"
#include "gfx/math/math_types.h"

namespace framework {

// The playback side of the system's sound, behind an interface so that the start-up and
// shutdown order runs the same against a stand-in.
class SoundBackend {
  public:
    virtual ~SoundBackend() = default;
    // Opens the playback device; an error naming the reason when there is none.
    virtual gfx::Status OpenPlayback() = 0;
    // 16-bit signed samples, 2 interleaved channels, 44100 frames per second.
    virtual gfx::Status SetPlaybackFormat() = 0;
    // Safe when nothing is open.
    virtual void ClosePlayback() = 0;
};

// ALSA's playback device of that name ("default" for the program). ALSA's own error printing is
// silenced.
std::unique_ptr<SoundBackend> MakeAlsaSound(std::string deviceName);

struct ListenerSettings {
    float distanceFactor = 0;
    gfx::Vec3 position;
    gfx::Vec3 front;
    gfx::Vec3 top;
};

struct SoundDevice {
    SoundBackend* backend = nullptr;  // the backend in use between init and free
    bool playbackOpen = false;
    bool sound3D = false;          // off with the "/3ds" switch
    bool listenerCreated = false;  // only with sound3D
    ListenerSettings listener;
};

struct MusicLoader {
    bool created = false;
};

// Writes the log separator and "InitDirectSound", opens the device (none: a log line, and true
// without sound), logs the "3Dサウンド" and "エフェクト" lines from the "/3ds" and "/fx"
// switches, sets the format and, with 3D sound, sets up the listener.
// Returns false after the user's message when the device refuses the format.
bool InitDirectSound(SoundDevice& device, SoundBackend& backend);
// Writes the log separator and "FreeDirectSound" and closes what was opened. Safe after a failed or
// partial InitDirectSound and when called twice.
void FreeDirectSound(SoundDevice& device);

// Each does nothing unless 3D sound is on and the listener exists; applied at once.
void SetListenerDistanceFactor(SoundDevice& device, float factor);
void SetListenerPosition(SoundDevice& device, gfx::Vec3 position);
void SetListenerOrientation(SoundDevice& device, gfx::Vec3 front, gfx::Vec3 top);

bool InitDirectMusic(MusicLoader& loader);
void FreeDirectMusic(MusicLoader& loader);

// The process-wide records on ALSA's "default" device.
SoundDevice& ProcessSoundDevice();
bool InitDirectSound();
void FreeDirectSound();
bool InitDirectMusic();
void FreeDirectMusic();

}  // namespace framework
