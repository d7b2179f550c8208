#include "panels/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QWindow>

#include "editing/model.h"
#include "framework/notice.h"
#include "model/limits.h"

namespace panels {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "*.gltf *.glb" for the extensions "gltf glb".
QString Patterns(std::string_view extensions) {
    QStringList patterns;
    for (const QString& extension : Text(extensions).split(u' ', Qt::SkipEmptyParts)) {
        patterns.append(QStringLiteral("*.") + extension);
    }
    return patterns.join(u' ');
}

}  // namespace

QString FileDialogFilter(std::string_view description, std::string_view extension) {
    return QStringLiteral("%1 (%2)").arg(Text(description), Patterns(extension));
}

QStringList FileDialogFilters(const app::FileRequest& request) {
    const QString first = FileDialogFilter(request.description, request.extension);
    if (request.moreTypes.empty()) return {first};
    QString descriptions = Text(request.description);
    QString patterns = Patterns(request.extension);
    QStringList each{first};
    for (const app::FileType& type : request.moreTypes) {
        descriptions += QStringLiteral(", ") + Text(type.description);
        patterns += QStringLiteral(" ") + Patterns(type.extension);
        each.append(FileDialogFilter(type.description, type.extension));
    }
    QStringList filters{QStringLiteral("%1 (%2)").arg(descriptions, patterns)};
    filters.append(each);
    filters.append(QStringLiteral("All Files (*)"));
    return filters;
}

bool FitsPathField(std::string_view path) {
    return path.size() < model::kPathField;
}

std::optional<std::string> FileDialogs::Choose(const app::FileRequest& request) {
    const std::string_view key = app::FolderSettingKey(request.kind);
    const std::string lastUsed =
        settings_ ? settings_->Read(app::kFileDialogSection, key, "") : std::string();
    QFileDialog dialog(nullptr, QString(), Text(app::DialogStartFolder(request, lastUsed)));
    dialog.setNameFilters(FileDialogFilters(request));
    // Qt's own dialog on every desktop, the same everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setDefaultSuffix(Text(request.extension));
    if (request.save && !request.startPath.empty()) {
        // The document's own file, its name selected so that typing replaces it.
        dialog.selectFile(QString::fromStdString(request.startPath));
        if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->selectAll();
        }
    }
    if (owner_ != nullptr && owner_->handle() != nullptr) {
        // The dialog is a widget and the owner a plain window: tie them through the native
        // windows.
        dialog.winId();
        dialog.windowHandle()->setTransientParent(owner_);
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    const int result = dialog.exec();
    if (afterClose_) afterClose_();
    const QStringList chosen = dialog.selectedFiles();
    if (result != QDialog::Accepted || chosen.isEmpty()) return std::nullopt;

    const std::string path = QDir::toNativeSeparators(chosen.front()).toStdString();
    if (settings_) {
        const std::string folder = dialog.directory().absolutePath().toStdString();
        files::LogFailedSettingsWrite(settings_->Write(app::kFileDialogSection, key, folder),
                                      "file dialog folder");
    }
    if (!FitsPathField(path)) {
        framework::ShowMessage(editing::kPathTooLongMessage);
        return std::nullopt;
    }
    return path;
}

}  // namespace panels
