#pragma once
// One Qt application for a whole test executable, on the offscreen platform (no display), with
// the program's font rules loaded first as the editor loads them.

#include <gtest/gtest.h>

#include <QApplication>

#include "panels/panel_font.h"

namespace panels::testing_support {

class PanelTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() != nullptr) return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        ASSERT_EQ(LoadProgramFontRules(), "");
        static int argc = 1;
        static char name[] = "test_panels";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives until the process ends
    }
};

}  // namespace panels::testing_support
