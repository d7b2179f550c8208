#pragma once
// The one open/save dialog of the editor, owned by the main window: one file type, its
// extension added when the name has none, a save starting from the document's own path, a
// dialog otherwise starting in its document's folder or where its kind of file was last chosen
// (kept in the settings, so across runs), an existing file required to open, a question before a
// file is overwritten. A chosen path longer than a part file's path field is refused with a notice
// rather than cut.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/commands/part_panel_commands.h"
#include "files/settings/settings_file.h"

class QWindow;

namespace panels {

// A filter: "<description> (*.<extension>)".
QString FileDialogFilter(std::string_view description, std::string_view extension);
// The request's filters: its one type; or, with more types, every type at once
// ("<description>, <description> (*.<extension> *.<extension>)"), each type, and all files.
QStringList FileDialogFilters(const app::FileRequest& request);

// Whether the path fits the part file's path field with its terminator (255 bytes).
bool FitsPathField(std::string_view path);

class FileDialogs {
  public:
    // `afterClose` runs once each dialog has closed (the input sampling forgets what the
    // dialog swallowed).
    // The folder last used for each kind of file is kept in `settings`; without any, each
    // dialog starts from the request's folders alone.
    FileDialogs(QWindow* owner, std::function<void()> afterClose,
                std::optional<files::SettingsFile> settings = std::nullopt)
        : owner_(owner), afterClose_(std::move(afterClose)), settings_(std::move(settings)) {}

    // The chosen path (UTF-8), or none when the dialog was cancelled or the path refused.
    std::optional<std::string> Choose(const app::FileRequest& request);
    // Choose as the panels' commands call it. The dialogs must outlive it.
    app::ChooseFile AsChooseFile() {
        return [this](const app::FileRequest& request) { return Choose(request); };
    }

  private:
    QWindow* owner_;
    std::function<void()> afterClose_;
    std::optional<files::SettingsFile> settings_;
};

}  // namespace panels
