#pragma once
// Which window system the editor's window opens on, settled before Qt starts: Qt ends the
// process (with a core dump) when it cannot connect to one, so a missing or unreachable display
// is found here first and reported as an error the program can return.
//
// On a Wayland session that also offers X11 (both WAYLAND_DISPLAY and DISPLAY set) the window
// goes through X11, where a window may place itself on the screen, so its stored position works;
// a platform the user chose (QT_QPA_PLATFORM or the -platform argument) is left as it is.

#include <string>
#include <vector>

namespace framework::qt {

struct WindowSystemEnvironment {
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string chosenPlatform;  // QT_QPA_PLATFORM, or the -platform argument (which wins)
};

// The environment variables and the -platform (or --platform) argument of the command line.
WindowSystemEnvironment ReadWindowSystemEnvironment(const std::vector<std::string>& arguments);

struct WindowSystemChoice {
    std::string setPlatform;  // a Qt platform to select, empty to leave Qt's choice
    bool usesX11 = false;     // the window goes through X11 at `display`: it must be reachable
    std::string noDisplay;    // when not empty, why there is no display to open the window on
};

WindowSystemChoice ChooseWindowSystem(const WindowSystemEnvironment& environment);

// Empty when the X display can be connected to (the connection is closed again), else why not.
std::string X11DisplayProblem(const std::string& display);

// Chooses, selects the platform for Qt (QT_QPA_PLATFORM) and checks that an X display is
// reachable. Empty when Qt may start, else why no display was found.
std::string PrepareWindowSystem(const std::vector<std::string>& arguments);

// Whether an X11 window manager runs on the display Qt is connected to (the root window names
// one in _NET_SUPPORTING_WM_CHECK): a window is then framed some time after it is shown. False
// on any other platform.
bool X11WindowManagerRunning();

// While alive, a fatal error of Qt (a window system that failed in a way PrepareWindowSystem
// could not foresee) calls reportAndExit with Qt's text instead of aborting; reportAndExit must
// not return. Other messages go on to the handler that was installed before.
class QtStartGuard {
  public:
    explicit QtStartGuard(void (*reportAndExit)(const std::string& qtMessage));
    ~QtStartGuard();
    QtStartGuard(const QtStartGuard&) = delete;
    QtStartGuard& operator=(const QtStartGuard&) = delete;
};

}  // namespace framework::qt
