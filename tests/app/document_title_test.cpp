// The main window's title as the documents stand.

#include "app/core/document_title.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/core/document_record.h"
#include "app/core/session.h"
#include "app/recovery/recovery_keeper.h"
#include "files/recovery/recovery_writer.h"

namespace {

TEST(DocumentTitleTest, TheFileNameMarkedWhileUnsaved) {
    const struct {
        const char* path;
        bool unsaved;
        const char* title;
    } cases[] = {
        {"", false, "Posewrighter Version 1.02"},
        {"", true, "*Posewrighter Version 1.02"},
        {"/home/u/robot.pwp", false, "robot.pwp - Posewrighter Version 1.02"},
        {"/home/u/robot.pwp", true, "*robot.pwp - Posewrighter Version 1.02"},
        {"C:\\models\\\x93\xaa.pwp", true, "*頭.pwp - Posewrighter Version 1.02"},
    };
    for (const auto& c : cases) EXPECT_EQ(app::DocumentTitle(c.path, c.unsaved), c.title) << c.path;
}

// The mark follows the keeper's judgement: an edit makes the model unsaved, a save clears it.
struct NoSink : files::RecoverySink {
    void Write(files::RecoveryCopy) override {}
    void Remove() override {}
    void Flush() override {}
};

TEST(DocumentTitleTest, TheKeepersJudgementFollowsAnEditAndASave) {
    auto session = std::make_unique<app::Session>();
    NoSink sink;
    app::RecoveryKeeper keeper(*session, sink);
    app::NoteModelSaved(*session, "/home/u/robot.pwp");
    app::NoteAnimationSaved(*session, "");
    keeper.Finish();
    EXPECT_FALSE(keeper.unsaved());
    session->model.parts.scale = 2.0f;
    keeper.Finish();
    EXPECT_TRUE(keeper.unsaved());
    app::NoteModelSaved(*session, "/home/u/robot.pwp");
    keeper.Finish();
    EXPECT_FALSE(keeper.unsaved());
}

}  // namespace
