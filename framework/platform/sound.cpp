#include "framework/platform/sound.h"

#include "framework/command_line.h"
#include "framework/debug_log.h"
#include "framework/notice.h"

namespace framework {

bool InitDirectSound(SoundDevice& device, SoundBackend& backend) {
    LogSeparator();
    LogMessage("InitDirectSound\n");
    device.backend = &backend;
    if (const gfx::Status opened = backend.OpenPlayback(); !opened) {
        LogMessage("サウンドデバイスが開けません (%s). サウンドなしで続けます.\n",
                   opened.error().c_str());
        return true;
    }
    device.playbackOpen = true;

    LogMessage("3Dサウンド = ");
    device.sound3D = !IsSwitchPresent("/3ds");
    LogMessage(device.sound3D ? "ON\n" : "OFF\n");
    LogMessage("エフェクト = ");
    LogMessage(IsSwitchPresent("/fx") ? "OFF\n" : "ON\n");

    if (!backend.SetPlaybackFormat()) {
        ShowMessage("サウンドフォーマットが指定できません.");
        return false;
    }
    if (!device.sound3D) return true;

    device.listenerCreated = true;
    SetListenerDistanceFactor(device, 1.0f);
    SetListenerPosition(device, {0, 0, 0});
    SetListenerOrientation(device, {0, 0, 1}, {0, 1, 0});
    return true;
}

void FreeDirectSound(SoundDevice& device) {
    LogSeparator();
    LogMessage("FreeDirectSound\n");
    if (device.backend != nullptr && device.playbackOpen) device.backend->ClosePlayback();
    device = SoundDevice{};
}

void SetListenerDistanceFactor(SoundDevice& device, float factor) {
    if (!device.sound3D || !device.listenerCreated) return;
    device.listener.distanceFactor = factor;
}

void SetListenerPosition(SoundDevice& device, gfx::Vec3 position) {
    if (!device.sound3D || !device.listenerCreated) return;
    device.listener.position = position;
}

void SetListenerOrientation(SoundDevice& device, gfx::Vec3 front, gfx::Vec3 top) {
    if (!device.sound3D || !device.listenerCreated) return;
    device.listener.front = front;
    device.listener.top = top;
}

bool InitDirectMusic(MusicLoader& loader) {
    LogSeparator();
    LogMessage("InitDirectMusic\n");
    loader.created = true;
    return true;
}

void FreeDirectMusic(MusicLoader& loader) {
    LogSeparator();
    LogMessage("FreeDirectMusic\n");
    loader.created = false;
}

namespace {

struct ProcessSound {
    std::unique_ptr<SoundBackend> backend = MakeAlsaSound("default");
    SoundDevice device;
    MusicLoader loader;
};

ProcessSound& Process() {
    static ProcessSound sound;
    return sound;
}

}  // namespace

SoundDevice& ProcessSoundDevice() {
    return Process().device;
}
bool InitDirectSound() {
    return InitDirectSound(Process().device, *Process().backend);
}
void FreeDirectSound() {
    FreeDirectSound(Process().device);
}
bool InitDirectMusic() {
    return InitDirectMusic(Process().loader);
}
void FreeDirectMusic() {
    FreeDirectMusic(Process().loader);
}

}  // namespace framework
