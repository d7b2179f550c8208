#include "framework/platform/sound.h"

#include <gtest/gtest.h>

#include "framework/command_line.h"
#include "framework/notice.h"
#include "tests/framework/log_capture.h"

namespace framework {
namespace {

using testing_support::LogCapture;

const std::string kSeparator(kLogSeparator);

class FakeSound : public SoundBackend {
  public:
    gfx::Status OpenPlayback() override {
        calls.push_back("open");
        return gfx::Status::Ok();
    }
    gfx::Status SetPlaybackFormat() override {
        calls.push_back("format");
        if (!acceptsFormat) return gfx::Error{"refused"};
        return gfx::Status::Ok();
    }
    void ClosePlayback() override { calls.push_back("close"); }

    bool acceptsFormat = true;
    std::vector<std::string> calls;
};

class SoundTest : public testing::Test {
  protected:
    void SetUp() override { Arguments({}); }
    void TearDown() override {
        Arguments({});
        SetNoticeHandler({});
    }
    static void Arguments(std::vector<const char*> switches) {
        switches.insert(switches.begin(), "posewrighter");
        SetCommandLine(static_cast<int>(switches.size()), switches.data());
    }
    LogCapture log;
    FakeSound backend;
    SoundDevice device;
};

// The backend has no volume to reach: start-up and shutdown open, set the format and close the
// program's own stream, and nothing else.
TEST_F(SoundTest, StartAndStopInOrderTouchingOnlyTheProgramsStream) {
    ASSERT_TRUE(InitDirectSound(device, backend));
    MusicLoader loader;
    ASSERT_TRUE(InitDirectMusic(loader));
    EXPECT_TRUE(loader.created);
    EXPECT_TRUE(device.sound3D);
    EXPECT_EQ(device.listener.distanceFactor, 1.0f);
    EXPECT_EQ(device.listener.position, (gfx::Vec3{0, 0, 0}));
    EXPECT_EQ(device.listener.front, (gfx::Vec3{0, 0, 1}));
    EXPECT_EQ(device.listener.top, (gfx::Vec3{0, 1, 0}));

    FreeDirectMusic(loader);
    FreeDirectSound(device);
    EXPECT_FALSE(loader.created);
    EXPECT_EQ(backend.calls, (std::vector<std::string>{"open", "format", "close"}));
    EXPECT_EQ(log.Text(), kSeparator + "InitDirectSound\n3Dサウンド = ON\nエフェクト = ON\n" +
                              kSeparator + "InitDirectMusic\n" + kSeparator + "FreeDirectMusic\n" +
                              kSeparator + "FreeDirectSound\n");
}

TEST_F(SoundTest, SwitchesTurnOffThe3DListenerAndTheEffectsLine) {
    Arguments({"/3ds", "/fx"});
    ASSERT_TRUE(InitDirectSound(device, backend));
    EXPECT_FALSE(device.sound3D);
    EXPECT_FALSE(device.listenerCreated);
    SetListenerDistanceFactor(device, 2.0f);
    SetListenerPosition(device, {1, 2, 3});
    EXPECT_EQ(device.listener.distanceFactor, 0.0f);
    EXPECT_EQ(device.listener.position, (gfx::Vec3{0, 0, 0}));
    EXPECT_EQ(log.Text(), kSeparator + "InitDirectSound\n3Dサウンド = OFF\nエフェクト = OFF\n");
}

TEST_F(SoundTest, ARefusedFormatFailsStartUpAndFreeClosesWhatWasOpened) {
    std::vector<std::string> notices;
    SetNoticeHandler([&](std::string_view text) { notices.emplace_back(text); });
    backend.acceptsFormat = false;
    EXPECT_FALSE(InitDirectSound(device, backend));
    EXPECT_EQ(notices, std::vector<std::string>{"サウンドフォーマットが指定できません."});
    FreeDirectSound(device);
    FreeDirectSound(device);
    EXPECT_EQ(backend.calls, (std::vector<std::string>{"open", "format", "close"}))
        << "closed once";
}

TEST_F(SoundTest, AlsaWithoutSuchADeviceGoesOnSilently) {
    const auto alsa = MakeAlsaSound("posewrighter_no_such_device");
    EXPECT_TRUE(InitDirectSound(device, *alsa));
    EXPECT_FALSE(device.playbackOpen);
    const std::string text = log.Text();
    const std::string start = kSeparator + "InitDirectSound\nサウンドデバイスが開けません (";
    EXPECT_EQ(text.rfind(start, 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("). サウンドなしで続けます.\n")) << text;
    FreeDirectSound(device);
}

TEST_F(SoundTest, TheProgramsDefaultDeviceStartsWithOrWithoutSound) {
    EXPECT_TRUE(InitDirectSound());
    FreeDirectSound();
    FreeDirectSound();
    EXPECT_FALSE(ProcessSoundDevice().playbackOpen);
}

}  // namespace
}  // namespace framework
