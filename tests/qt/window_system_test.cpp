#include "framework/qt/window_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace framework::qt {
namespace {

TEST(WindowSystemTest, X11IsChosenBesideWaylandUnlessThePlatformWasChosen) {
    const WindowSystemChoice both = ChooseWindowSystem({":1", "wayland-0", ""});
    EXPECT_EQ(both.setPlatform, "xcb");
    EXPECT_TRUE(both.usesX11);

    const WindowSystemChoice chosen = ChooseWindowSystem({":1", "wayland-0", "wayland"});
    EXPECT_EQ(chosen.setPlatform, "");
    EXPECT_FALSE(chosen.usesX11);

    const WindowSystemChoice waylandOnly = ChooseWindowSystem({"", "wayland-0", ""});
    EXPECT_EQ(waylandOnly.setPlatform, "");
    EXPECT_FALSE(waylandOnly.usesX11);
    EXPECT_EQ(waylandOnly.noDisplay, "");

    EXPECT_NE(ChooseWindowSystem({"", "", ""}).noDisplay, "");
    EXPECT_NE(ChooseWindowSystem({"", "wayland-0", "xcb:option"}).noDisplay, "")
        << "X11 chosen without an X display";
    EXPECT_EQ(ChooseWindowSystem({"", "", "offscreen"}).noDisplay, "")
        << "a platform that needs no display";
}

// Sets an environment variable for the scope, putting back what was there.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedVariable() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(WindowSystemTest, QtsArgumentsWinOverTheEnvironment) {
    const ScopedVariable platform("QT_QPA_PLATFORM", "xcb");
    const ScopedVariable display("DISPLAY", ":3");
    const WindowSystemEnvironment environment =
        ReadWindowSystemEnvironment({"posewrighter", "--platform", "offscreen", "-display", ":5"});
    EXPECT_EQ(environment.chosenPlatform, "offscreen");
    EXPECT_EQ(environment.display, ":5");
    EXPECT_EQ(ReadWindowSystemEnvironment({"posewrighter", "-platform"}).chosenPlatform, "xcb")
        << "an option without its value";
}

}  // namespace
}  // namespace framework::qt
