// When the Part panel's commands run and when the panel offers them, over the states that tell
// the rules apart: no parts, parts without a selection, a selection, with and without a history.

#include "app/commands/part_panel_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using app::PartPanelCommand;
using C = PartPanelCommand;

const std::set<C> kSelection = {C::kCopyOrientation,  C::kPasteOrientation, C::kMirrorOrientation,
                                C::kClearOrientation, C::kCopyPosition,     C::kPastePosition,
                                C::kMirrorPosition,   C::kClearPosition,    C::kDeletePart};
const std::set<C> kModel = {
    C::kSavePartFile,         C::kFetchDefaultOrientation, C::kStoreDefaultOrientation,
    C::kFetchDefaultPosition, C::kStoreDefaultPosition,    C::kStoreDefaultPose};

std::set<C> Join(std::set<C> a, const std::set<C>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

TEST(PartPanelRules, RunsAndOfferedFollowSelectionCountAndHistory) {
    struct Case {
        const char* name;
        app::PartPanelFacts facts;
        std::set<C> runs;
        std::set<C> offered;
    };
    const std::set<C> always = {C::kOpenPartFile, C::kClosePartFile, C::kUndo, C::kRedo};
    const std::set<C> withParts = Join(kModel, always);
    const std::set<C> withSelection = Join(Join(withParts, kSelection), {C::kAddChildPart});
    const Case cases[] = {
        {"empty table",
         {-1, 0, false},
         Join(always, {C::kAddChildPart}),
         {C::kOpenPartFile, C::kAddChildPart}},
        {"empty table with a history",
         {-1, 0, true, true},
         Join(always, {C::kAddChildPart}),
         {C::kOpenPartFile, C::kAddChildPart, C::kUndo, C::kRedo}},
        {"only redo left",
         {-1, 0, false, true},
         Join(always, {C::kAddChildPart}),
         {C::kOpenPartFile, C::kAddChildPart, C::kRedo}},
        // No second root: adding needs a selection once there are parts.
        {"parts, none selected",
         {-1, 3, false},
         withParts,
         Join(kModel, {C::kOpenPartFile, C::kClosePartFile})},
        {"last part selected",
         {2, 3, false},
         withSelection,
         Join(Join(kModel, kSelection), {C::kOpenPartFile, C::kClosePartFile, C::kAddChildPart})},
        {"root selected with a history", {0, 1, true, true}, withSelection, withSelection},
        // A selection left over from a cleared table still counts as one.
        {"selection on an empty table",
         {0, 0, false},
         Join(Join(always, kSelection), {C::kAddChildPart}),
         Join(kSelection, {C::kOpenPartFile, C::kAddChildPart})},
    };
    for (const Case& c : cases) {
        for (C command : app::kPartPanelCommands) {
            EXPECT_EQ(app::PartCommandRuns(command, c.facts), c.runs.contains(command))
                << c.name << ": runs " << static_cast<int>(command);
            EXPECT_EQ(app::PartCommandOffered(command, c.facts), c.offered.contains(command))
                << c.name << ": offered " << static_cast<int>(command);
        }
    }
}

TEST(PartPanelRules, OfferedNeverIncludesACommandThatWouldNotRun) {
    for (int count : {0, 1, 100}) {
        for (model::PartIndex selected : {model::PartIndex{-1}, model::PartIndex{0}}) {
            for (bool canUndo : {false, true}) {
                const app::PartPanelFacts facts{selected, count, canUndo};
                for (C command : app::kPartPanelCommands) {
                    if (app::PartCommandOffered(command, facts)) {
                        EXPECT_TRUE(app::PartCommandRuns(command, facts))
                            << static_cast<int>(command) << " s = " << selected
                            << " count = " << count;
                    }
                }
            }
        }
    }
}

TEST(PartPanelRules, OnlyTheSinglePartCommandsActOnTheSelection) {
    for (C command : app::kPartPanelCommands) {
        EXPECT_EQ(app::ActsOnSelectedPart(command), kSelection.contains(command))
            << static_cast<int>(command);
    }
}

}  // namespace
