// SPDX-License-Identifier: MIT
// The panel's demo form, to try by hand: build/controls/AdvPanel/advpanel_demo [INI file]
// (default: none, nothing is kept) [--grab FILE] (save a picture of the form and quit).
#include "AdvPanelDemo.h"
#include "Fonts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterDesignFonts();
    QStringList args = QApplication::arguments();
    QString grab;
    if (const qsizetype i = args.indexOf(QStringLiteral("--grab")); i > 0 && i + 1 < args.size()) {
        grab = args.at(i + 1);
        args.remove(i, 2);
    }
    TAdvPanelDemo demo(args.size() > 1 ? args[1] : QString());
    demo.show();
    if (!grab.isEmpty()) {
        QApplication::processEvents();
        return demo.grab().save(grab) ? 0 : 1;
    }
    return QApplication::exec();
}
