// SPDX-License-Identifier: MIT
// Shared main of every test executable: real widgets on the offscreen platform, the design fonts.
#include "Fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterDesignFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
