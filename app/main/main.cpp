// posewrighter: the editor. Switches: -dbf (the debug log into debug.txt), -2nd (the second
// screen), /3ds and /fx (sound). A model file and an animation file may follow: they are opened
// once the editor has started, unless the user restores the recovery copy of the last run.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/application.h"
#include "app/core/session.h"
#include "app/core/startup_documents.h"
#include "app/editor/editor.h"
#include "app/main/desktop_framework.h"
#include "app/main/editor_probe.h"
#include "app/recovery/recovering_editor.h"
#include "app/version/program_version.h"
#include "files/recovery/recovery_copies.h"
#include "files/recovery/recovery_copy.h"
#include "files/recovery/recovery_writer.h"
#include "files/settings/settings_file.h"
#include "framework/command_line.h"
#include "framework/debug_log.h"
#include "framework/platform/input_devices.h"
#include "framework/qt/message_box.h"
#include "framework/qt/window_system.h"
#include "panels/file_dialog.h"
#include "panels/panel_font.h"
#include "panels/tool_panels.h"

namespace {

// Said on standard error and in the debug log, which is standard error itself unless "-dbf"
// sends it to a file.
void ReportNoDisplay(const std::string& reason) {
    framework::InitDebugStream();
    const std::string line =
        "ディスプレイが見つかりません (no display was found: " + reason + ")\n";
    framework::LogMessage("%s", line.c_str());
    if (!framework::ProcessLog().Path().empty()) std::fputs(line.c_str(), stderr);
}

[[noreturn]] void ReportQtStartFailure(const std::string& qtMessage) {
    // Qt's text runs over several lines; the log entry is one.
    std::string text;
    for (const char c : qtMessage) {
        const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (!space) {
            text.push_back(c);
        } else if (!text.empty() && text.back() != ' ') {
            text.push_back(' ');
        }
    }
    if (!text.empty() && text.back() == ' ') text.pop_back();
    ReportNoDisplay("the window system could not be started: " + text);
    // Qt's application object is half made and cannot be torn down; nothing of the program's
    // own exists yet but the log, whose entries are complete as written.
    std::_Exit(1);
}

constexpr const char* kUsage =
    "usage: posewrighter [MODEL.pwp [ANIM.pwa]] [switches]\n"
    "Opens the editor, on the model and its animation when they are given.\n"
    "switches:\n"
    "  -dbf        append the debug log to debug.txt in the settings folder\n"
    "  -2nd        open the view on the second screen when there is one\n"
    "  --help      print this text and exit\n"
    "  --version   print the version and exit\n";

// "--help" and "--version" answer at once, without a display.
std::optional<int> AnswerInformationSwitches(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--version") {
            std::printf("posewrighter %s\n", app::kProgramVersion);
            return 0;
        }
    }
    return std::nullopt;
}

// "20261209-014500": when a damaged recovery copy was set aside, in UTC.
std::string NowStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    char text[32] = "0";
    if (gmtime_r(&now, &parts) != nullptr)
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &parts);
    return text;
}

// At the end of the run the editor's lock file goes: a copy kept for unsaved work is then
// offered at the next start, and one removed leaves nothing behind.
struct RemoveLockAtEnd {
    files::RecoveryLock& lock;
    ~RemoveLockAtEnd() { lock.RemoveAndRelease(); }
};

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = AnswerInformationSwitches(argc, argv)) {
        return *answered;
    }
    // The switches as given, before Qt takes the arguments it knows.
    framework::SetCommandLine(argc, argv);
    if (const std::string problem =
            framework::qt::PrepareWindowSystem(std::vector<std::string>(argv, argv + argc));
        !problem.empty()) {
        ReportNoDisplay(problem);
        return 1;
    }
    // The panels' Japanese face names resolve through the program's font rules, which Qt's
    // font database must see from its start.
    if (const std::string problem = panels::LoadProgramFontRules(); !problem.empty()) {
        std::fprintf(stderr, "posewrighter: %s\n", problem.c_str());
    }
    std::optional<framework::qt::QtStartGuard> startGuard(std::in_place, &ReportQtStartFailure);
    QApplication qtApplication(argc, argv);
    startGuard.reset();
    // Qt has taken its own options out of argv: what is left are ours.
    const std::vector<std::string> arguments(argv, argv + argc);

    app::Session session;
    app::DesktopFramework framework(session);
    app::DesktopEditorWindow editorWindow(framework.window());
    app::Editor editor(session, framework.device(), framework.overlay(), editorWindow,
                       files::ProgramSettings());
    app::SystemPacerClock clock;
    // The file dialogs are owned by the main window; what they swallowed reads as up after them.
    panels::FileDialogs fileDialogs(
        &framework.window(), [&framework] { framework.ClearInput(); }, files::ProgramSettings());
    panels::ToolPanels toolPanels(session, files::ProgramSettings(), fileDialogs.AsChooseFile(),
                                  true, &framework.window());
    editor.SetPanelWindows(&toolPanels);

    // This editor's recovery copy: a folder of its own in the shared recovery folder, marked
    // as in use by a lock held until the process ends. Its disk work runs on its own thread,
    // which ends after the last request (the lock outlives it).
    const std::string recoveryFolder =
        files::RecoveryFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    files::OwnRecoveryCopy ownCopy;
    if (!recoveryFolder.empty()) {
        auto claimed = files::ClaimRecoveryCopy(recoveryFolder, files::NewRecoveryCopyId());
        if (claimed) {
            ownCopy = std::move(*claimed);
        } else {
            framework::LogMessage("No recovery copy will be kept: %s\n", claimed.error().c_str());
        }
    }
    const RemoveLockAtEnd removeLockAtEnd{ownCopy.lock};
    files::RecoveryWriter recoveryWriter(ownCopy.folder);
    app::RecoveryKeeper recoveryKeeper(session, recoveryWriter);
    app::RecoveryPlace recoveryPlace{recoveryFolder,
                                     [&framework](std::string_view question) {
                                         const bool yes = framework::qt::AskYesNoBox(
                                             &framework.window(), question);
                                         framework.ClearInput();
                                         return yes;
                                     },
                                     &NowStamp, ownCopy.folder};
    app::RecoveringEditor opening(editor, session, app::StartupDocumentsFromArguments(arguments),
                                  recoveryKeeper, clock, std::move(recoveryPlace));
    // Window tests set the probe's file; otherwise the editor runs without one.
    const std::unique_ptr<app::EditorProbe> probe =
        app::EditorProbe::FromEnvironment(opening, {session, recoveryKeeper});
    app::Application application(
        framework,
        probe ? static_cast<app::EditorSteps&>(*probe) : static_cast<app::EditorSteps&>(opening),
        clock);
    const int exitCode = application.Run();
    application.ShutdownFramework();
    return exitCode;
}
