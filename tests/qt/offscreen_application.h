#pragma once
// One application for the whole test executable, on Qt's offscreen platform (no display).

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>

namespace framework::testing_support {

class OffscreenQtTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() != nullptr) return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives until the process ends
    }
};

}  // namespace framework::testing_support
