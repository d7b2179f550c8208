#include "framework/qt/window_system.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <QtGlobal>
#include <cstdlib>

namespace framework::qt {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The first platform of a Qt platform text such as "xcb", "xcb:option" or "wayland;xcb".
std::string FirstPlatform(const std::string& platforms) {
    return platforms.substr(0, platforms.find_first_of(";:"));
}

const char* ConnectionErrorText(int error) {
    switch (error) {
        case XCB_CONN_CLOSED_EXT_NOTSUPPORTED:
            return "an extension it needs is missing";
        case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
            return "out of memory";
        case XCB_CONN_CLOSED_PARSE_ERR:
            return "the display name cannot be read";
        case XCB_CONN_CLOSED_INVALID_SCREEN:
            return "the display has no such screen";
        default:
            return "the connection was refused or failed";
    }
}

void (*startFailure)(const std::string&) = nullptr;
QtMessageHandler previousHandler = nullptr;

void GuardedHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && startFailure != nullptr) startFailure(message.toStdString());
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

WindowSystemEnvironment ReadWindowSystemEnvironment(const std::vector<std::string>& arguments) {
    WindowSystemEnvironment environment{Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"),
                                        Environment("QT_QPA_PLATFORM")};
    // Qt's own options, with one dash or two, take the next argument as their value.
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "-platform" || option == "--platform") {
            environment.chosenPlatform = arguments[i + 1];
        } else if (option == "-display" || option == "--display") {
            environment.display = arguments[i + 1];
        }
    }
    return environment;
}

WindowSystemChoice ChooseWindowSystem(const WindowSystemEnvironment& environment) {
    WindowSystemChoice choice;
    const bool hasX11 = !environment.display.empty();
    if (!environment.chosenPlatform.empty()) {
        choice.usesX11 = FirstPlatform(environment.chosenPlatform) == "xcb";
        if (choice.usesX11 && !hasX11) choice.noDisplay = "DISPLAY is not set";
        return choice;
    }
    if (hasX11) {
        // With Wayland beside it, X11 is chosen outright; alone, it is what Qt picks.
        if (!environment.waylandDisplay.empty()) choice.setPlatform = "xcb";
        choice.usesX11 = true;
    } else if (environment.waylandDisplay.empty()) {
        choice.noDisplay = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    return choice;
}

std::string X11DisplayProblem(const std::string& display) {
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (error == 0) return {};
    return "the X display \"" + display + "\" cannot be reached: " + ConnectionErrorText(error);
}

bool X11WindowManagerRunning() {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) return false;
    static constexpr char kName[] = "_NET_SUPPORTING_WM_CHECK";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName), nullptr);
    if (atom == nullptr) return false;
    const xcb_atom_t property = atom->atom;
    std::free(atom);
    if (property == XCB_ATOM_NONE) return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) return false;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, screen->root, property, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    const bool named = reply != nullptr && xcb_get_property_value_length(reply) >= 4;
    std::free(reply);
    return named;
}

std::string PrepareWindowSystem(const std::vector<std::string>& arguments) {
    const WindowSystemEnvironment environment = ReadWindowSystemEnvironment(arguments);
    const WindowSystemChoice choice = ChooseWindowSystem(environment);
    if (!choice.noDisplay.empty()) return choice.noDisplay;
    if (!choice.setPlatform.empty())
        qputenv("QT_QPA_PLATFORM", QByteArray(choice.setPlatform.c_str()));
    return choice.usesX11 ? X11DisplayProblem(environment.display) : std::string();
}

QtStartGuard::QtStartGuard(void (*reportAndExit)(const std::string& qtMessage)) {
    startFailure = reportAndExit;
    previousHandler = qInstallMessageHandler(&GuardedHandler);
}

QtStartGuard::~QtStartGuard() {
    qInstallMessageHandler(previousHandler);
    startFailure = nullptr;
    previousHandler = nullptr;
}

}  // namespace framework::qt
