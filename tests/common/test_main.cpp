// SPDX-License-Identifier: MIT
// Shared main of every test executable: real widgets on the offscreen platform, the design fonts, and
// the settings of the user who runs the tests (file dialog history, program settings) left untouched.
#include "Fonts.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    RegisterDesignFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
