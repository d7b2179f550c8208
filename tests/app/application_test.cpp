#include "app/core/application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// Time moves only by the pacer's sleeps (and where a test moves it).
class FakeClock : public app::PacerClock {
  public:
    std::uint32_t NowMilliseconds() override { return now; }
    void SleepMilliseconds(std::uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    std::uint32_t now = 0;
    std::vector<std::uint32_t> sleeps;
};

// Records every call in one list; the step named `failing` reports failure.
class FakeComponents : public app::FrameworkComponents {
  public:
    explicit FakeComponents(std::vector<std::string>& calls) : calls_(calls) {}

    bool InitDebugStream() override { return Step("InitDebugStream"); }
    bool CreateMainWindow() override { return Step("CreateMainWindow"); }
    bool InitGraphics() override { return Step("InitGraphics"); }
    bool InitInput() override { return Step("InitInput"); }
    bool InitSound() override { return Step("InitSound"); }
    bool InitMusic() override { return Step("InitMusic"); }
    void FreeMusic() override { calls_.push_back("FreeMusic"); }
    void FreeSound() override { calls_.push_back("FreeSound"); }
    void FreeInput() override { calls_.push_back("FreeInput"); }
    void FreeGraphics() override { calls_.push_back("FreeGraphics"); }
    void DestroyMainWindow() override { calls_.push_back("DestroyMainWindow"); }
    bool PumpMessages() override {
        calls_.push_back("Pump");
        return framesBeforeQuit-- > 0;
    }
    const framework::InputState& PollInput() override {
        calls_.push_back("PollInput");
        ++input.wheel;  // each poll's record differs from the one before
        return input;
    }
    framework::InputState input;

    std::string failing;
    int framesBeforeQuit = 0;

  private:
    bool Step(const std::string& name) {
        calls_.push_back(name);
        return name != failing;
    }
    std::vector<std::string>& calls_;
};

class FakeEditor : public app::EditorSteps {
  public:
    explicit FakeEditor(std::vector<std::string>& calls) : calls_(calls) {}
    void Startup() override { calls_.push_back("EditorStartup"); }
    void Frame(const framework::InputState& input) override {
        calls_.push_back("EditorFrame");
        wheels.push_back(input.wheel);
    }
    std::vector<int> wheels;  // the input each frame was handed
    void Shutdown() override { calls_.push_back("EditorShutdown"); }

  private:
    std::vector<std::string>& calls_;
};

const std::vector<std::string> kStartup = {"InitDebugStream", "CreateMainWindow", "InitGraphics",
                                           "InitInput",       "InitSound",        "InitMusic"};
const std::vector<std::string> kTeardown = {"FreeMusic", "FreeSound", "FreeInput", "FreeGraphics",
                                            "DestroyMainWindow"};

TEST(Application, RunsStartupLoopAndTeardownInOrder) {
    std::vector<std::string> calls;
    FakeComponents components(calls);
    FakeEditor editor(calls);
    FakeClock clock;
    components.framesBeforeQuit = 2;
    {
        app::Application application(components, editor, clock);
        EXPECT_EQ(application.Run(), 0);
        application.ShutdownFramework();
    }
    std::vector<std::string> expected = kStartup;
    for (const char* call : {"EditorStartup", "Pump", "PollInput", "EditorFrame", "Pump",
                             "PollInput", "EditorFrame", "Pump", "EditorShutdown"}) {
        expected.emplace_back(call);
    }
    expected.insert(expected.end(), kTeardown.begin(), kTeardown.end());
    // The teardown runs once although the destructor came after the explicit call.
    EXPECT_THAT(calls, ElementsAreArray(expected));
    // Two frames of no work: the pacer slept each one's whole slot.
    EXPECT_THAT(clock.sleeps, ElementsAre(33u, 33u));
    // Each frame ran on the record its own poll returned.
    EXPECT_THAT(editor.wheels, ElementsAre(1, 2));
}

// Start-up stops at the failing step; the editor never starts and the whole teardown still runs.
class ApplicationFailedStep : public ::testing::TestWithParam<int> {};

TEST_P(ApplicationFailedStep, StopsThereAndStillTearsEverythingDown) {
    const int failing = GetParam();
    std::vector<std::string> calls;
    FakeComponents components(calls);
    FakeEditor editor(calls);
    FakeClock clock;
    components.failing = kStartup[failing];
    components.framesBeforeQuit = 5;
    {
        app::Application application(components, editor, clock);
        EXPECT_EQ(application.Run(), 0);
    }  // the destructor is the teardown here
    std::vector<std::string> expected(kStartup.begin(), kStartup.begin() + failing + 1);
    expected.insert(expected.end(), kTeardown.begin(), kTeardown.end());
    EXPECT_THAT(calls, ElementsAreArray(expected));
    EXPECT_TRUE(clock.sleeps.empty());
}

INSTANTIATE_TEST_SUITE_P(EachStartupStep, ApplicationFailedStep, ::testing::Range(0, 6),
                         [](const auto& step) { return kStartup[step.param]; });

}  // namespace
