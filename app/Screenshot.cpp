// SPDX-License-Identifier: MIT
// Renders the main window offscreen as it looks after start-up and saves it as a PNG:
//   quillon_screenshot docs/main-window.png
#include "_mainUnit.h"
#include "Application.h"
#include "Fonts.h"

#include <QImage>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    RegisterDesignFonts();
    T_mainForm form(RealServices());
    form.show();
    QCoreApplication::processEvents();
    if (!form.grab().toImage().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
