#include "panels/file_dialog.h"

#include <unistd.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <vector>

#include "app/commands/part_panel_commands.h"
#include "editing/model.h"
#include "framework/notice.h"
#include "tests/panels/panel_test_support.h"

namespace {

namespace fs = std::filesystem;
using FileDialogTest = panels::testing_support::PanelTest;

TEST(FileDialogFilter, IsTheDescriptionWithThePatternInParentheses) {
    EXPECT_EQ(panels::FileDialogFilter("Posewrighter Part File", "pwp"),
              QStringLiteral("Posewrighter Part File (*.pwp)"));
    EXPECT_EQ(panels::FileDialogFilter("Direct3D Object", "x"),
              QStringLiteral("Direct3D Object (*.x)"));
}

TEST(FileDialogFilter, TheMeshDialogOffersBothTypesTogetherEachAndAllFiles) {
    const auto session = std::make_unique<app::Session>();
    EXPECT_EQ(
        panels::FileDialogFilters(app::MeshFileRequest(*session)),
        QStringList({QStringLiteral("Direct3D Object, Wavefront OBJ (*.x *.obj)"),
                     QStringLiteral("Direct3D Object (*.x)"),
                     QStringLiteral("Wavefront OBJ (*.obj)"), QStringLiteral("All Files (*)")}));
}

// What the user does in the dialog once it is up: a file name accepted, or cancel (empty).
struct Answer {
    bool save = false;
    std::string typed;  // empty: cancel
    std::optional<std::string> expected;
};

TEST_F(FileDialogTest, GivesTheChosenPathAddsTheExtensionAndRefusesWhatDoesNotFit) {
    const fs::path folder =
        fs::temp_directory_path() / ("panels_dialog_" + std::to_string(getpid()));
    // A path one byte longer than the part file's path field holds: 256 bytes.
    const fs::path deep =
        folder / std::string(100, 'd') / std::string(150 - folder.string().size(), 'e');
    fs::create_directories(deep);
    std::ofstream(folder / "body.x") << "xof 0303txt 0032\n";
    std::ofstream(deep / "a.x") << "xof 0303txt 0032\n";
    ASSERT_EQ((deep / "a.x").string().size(), 256u);

    std::vector<std::string> notices;
    framework::SetNoticeHandler([&](std::string_view text) { notices.emplace_back(text); });
    int closed = 0;
    // The folder last chosen is kept in the settings: each dialog after the first starts there.
    panels::FileDialogs dialogs(
        nullptr, [&] { ++closed; }, files::SettingsFile(folder / "Posewrighter.ini"));
    const QString working = QDir::currentPath();
    int shown = 0;
    const std::string fitted = (folder / "body.x").string();
    const std::string document = (folder / "document.pwp").string();
    for (const Answer& answer :
         {Answer{false, fitted, fitted}, Answer{false, "", std::nullopt},
          Answer{true, (folder / "saved").string(), (folder / "saved.pwp").string()},
          Answer{false, (deep / "a.x").string(), std::nullopt}}) {
        QString filters;
        // Qt's own dialog, with the question before an overwrite, the file mode and the extension.
        bool configured = false;
        bool startsAtDocument = false;
        QString startFolder;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            filters = dialog->nameFilters().join('|');
            configured = dialog->testOption(QFileDialog::DontUseNativeDialog) &&
                         !dialog->testOption(QFileDialog::DontConfirmOverwrite) &&
                         dialog->fileMode() ==
                             (answer.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile) &&
                         dialog->defaultSuffix() == "pwp";
            // A save starts from the document's own file; an open from the last folder.
            const QStringList start = dialog->selectedFiles();
            startsAtDocument = !start.isEmpty() && start.front().toStdString() == document;
            startFolder = dialog->directory().absolutePath();
            if (answer.typed.empty()) return dialog->reject();
            dialog->selectFile(QString::fromStdString(answer.typed));
            static_cast<QDialog*>(dialog)->accept();
        });
        QTimer::singleShot(5000, [] { QApplication::closeAllWindows(); });
        app::FileRequest request;
        request.description = "Posewrighter Part File";
        request.extension = "pwp";
        request.save = answer.save;
        request.startPath = document;
        const auto chosen = dialogs.Choose(request);
        EXPECT_EQ(chosen, answer.expected) << answer.typed;
        EXPECT_EQ(filters, QStringLiteral("Posewrighter Part File (*.pwp)"));
        EXPECT_TRUE(configured);
        EXPECT_EQ(startsAtDocument, answer.save);
        EXPECT_EQ(startFolder, shown++ == 0 ? working : QString::fromStdString(folder.string()));
    }
    EXPECT_EQ(closed, 4);
    EXPECT_EQ(notices, std::vector<std::string>{std::string(editing::kPathTooLongMessage)});
    framework::SetNoticeHandler({});
    fs::remove_all(folder);
}

// The names the dialog's file list shows, once its folder has been read (waits up to 5 s).
std::set<std::string> ListedNames(QFileDialog& dialog) {
    auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    auto* files = dialog.findChild<QFileSystemModel*>();
    if (list == nullptr || files == nullptr) return {};
    std::set<std::string> names;
    for (int waited = 0; waited < 500; ++waited) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const QModelIndex root = list->rootIndex();
        names.clear();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            names.insert(list->model()->index(row, 0, root).data().toString().toStdString());
        }
        if (!names.empty() && !files->canFetchMore(files->index(dialog.directory().path()))) break;
    }
    return names;
}

// Files from Windows tools often have upper-case names: the first filter shows every mesh
// type in either case, and nothing else.
TEST_F(FileDialogTest, TheMeshDialogListsEveryMeshFileInEitherCase) {
    const fs::path folder =
        fs::temp_directory_path() / ("panels_mesh_dialog_" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::set<std::string> meshes = {"body.x", "HEAD.X", "arm.obj", "LEG.OBJ"};
    for (const std::string& name : meshes) std::ofstream(folder / name) << "mesh\n";
    std::ofstream(folder / "notes.txt") << "not a mesh\n";
    std::ofstream(folder / "robot.pwp") << "not a mesh\n";

    panels::FileDialogs dialogs(
        nullptr, [] {}, files::SettingsFile(folder / "Posewrighter.ini"));
    const auto session = std::make_unique<app::Session>();
    app::FileRequest request = app::MeshFileRequest(*session);
    request.documentFolder = folder.string();
    std::set<std::string> listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        listed = ListedNames(*dialog);
        dialog->reject();
    });
    QTimer::singleShot(10000, [] { QApplication::closeAllWindows(); });
    EXPECT_EQ(dialogs.Choose(request), std::nullopt);
    EXPECT_EQ(listed, meshes);
    fs::remove_all(folder);
}

}  // namespace
