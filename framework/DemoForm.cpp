// SPDX-License-Identifier: MIT
#include "DemoForm.h"

#include "Fonts.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

bool SaveFormPicture(QWidget& form, const QString& path)
{
    form.show();
    QCoreApplication::processEvents();
    return form.grab().save(path, "PNG");
}

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
    if (!grab.isEmpty())
        return SaveFormPicture(*form, grab) ? 0 : 1;
    form->show();
    return QApplication::exec();
}
