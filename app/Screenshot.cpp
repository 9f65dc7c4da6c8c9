// SPDX-License-Identifier: MIT
// Renders the main window offscreen as it looks after start-up and saves it as a PNG, the
// manual-repair offer dialog too when a second file is named, and the gallery of panel styles when a
// third is:
//   quillon_screenshot docs/main-window.png [docs/offer-dialog.png [docs/panel-styles.png]]
#include "Application.h"
#include "DemoForm.h"
#include "Fonts.h"
#include "PanelGallery.h"
#include "_mainUnit.h"
#include "_manualUnit.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <utility>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s <main.png> [<dialog.png> [<panel-styles.png>]]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    RegisterDesignFonts();
    T_mainForm form(RealServices());
    if (!SaveFormPicture(form, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc >= 3) {
        T_manualForm dialog(&form);
        if (!SaveFormPicture(dialog, QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
    }
    // The panel pictures go beside the style gallery: panel-shades.png and panel-group.png.
    if (argc == 4) {
        const QString styles = QString::fromLocal8Bit(argv[3]);
        const QString folder = QFileInfo(styles).path() + QLatin1Char('/');
        const std::pair<QString, QImage> pictures[] = {
            { styles, RenderPanelStyleGallery() },
            { folder + QStringLiteral("panel-shades.png"), RenderCaptionShadeGallery() },
            { folder + QStringLiteral("panel-group.png"), RenderPanelGroupPicture() },
        };
        for (const auto& [path, image] : pictures) {
            if (!image.save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
