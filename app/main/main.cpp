// posewrighter: the editor. Switches: -dbf (the debug log into debug.txt), -2nd (the second
// screen), /3ds and /fx (sound). A model file and an animation file may follow: they are opened
// once the editor has started.

#include <QApplication>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/editor.h"
#include "app/main/desktop_framework.h"
#include "app/panel_states.h"
#include "app/session.h"
#include "app/startup_documents.h"
#include "files/settings_file.h"
#include "framework/command_line.h"

int main(int argc, char** argv) {
    // The switches as given, before Qt takes the arguments it knows.
    framework::SetCommandLine(argc, argv);
    QApplication qtApplication(argc, argv);
    // Qt has taken its own options out of argv: what is left are ours.
    const std::vector<std::string> arguments(argv, argv + argc);

    app::Session session;
    app::DesktopFramework framework(session);
    app::DesktopEditorWindow editorWindow(framework.window());
    const app::InitialPanelStates panels;
    app::Editor editor(session, framework.device(), framework.overlay(), editorWindow, panels,
                       files::ProgramSettings());
    app::SystemPacerClock clock;

    app::DocumentOpeningEditor opening(editor, session.model,
                                       app::StartupDocumentsFromArguments(arguments));
    app::Application application(framework, opening, clock);
    const int exitCode = application.Run();
    application.ShutdownFramework();
    return exitCode;
}
