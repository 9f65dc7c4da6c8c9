// SPDX-License-Identifier: MIT
#include "DemoForm.h"

#include "Fonts.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

int RunDemoForm(
    int argc, char** argv, const std::function<std::unique_ptr<QWidget>(const QStringList& args)>& makeForm)
{
    QApplication app(argc, argv);
    RegisterDesignFonts();
    QStringList args = QApplication::arguments();
    QString grab;
    if (const qsizetype i = args.indexOf(QStringLiteral("--grab")); i > 0 && i + 1 < args.size()) {
        grab = args.at(i + 1);
        args.remove(i, 2);
    }
    const std::unique_ptr<QWidget> form = makeForm(args);
    form->show();
    if (!grab.isEmpty()) {
        QApplication::processEvents();
        return form->grab().save(grab) ? 0 : 1;
    }
    return QApplication::exec();
}
