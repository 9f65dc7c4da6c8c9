// SPDX-License-Identifier: MIT
#include "ErrorBox.h"

#include "WindowPlacement.h"

#include <QMessageBox>
#include <QScreen>

void PrepareMessageBox(QMessageBox& box, const QString& text, const QString& title, TMessageKind kind)
{
    QMessageBox::Icon icon = QMessageBox::Critical;
    QString defaultTitle = QStringLiteral("Error");
    if (kind == TMessageKind::Warning) {
        icon = QMessageBox::Warning;
        defaultTitle = QStringLiteral("Warning");
    } else if (kind == TMessageKind::Information) {
        icon = QMessageBox::Information;
        defaultTitle = QStringLiteral("Information");
    }
    box.setIcon(icon);
    box.setWindowTitle(title.isEmpty() ? defaultTitle : title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.adjustSize();
    KeepCentred(box, [&box] { return box.screen()->availableGeometry(); });
}

void ShowMessageBox(const QString& text, const QString& title, TMessageKind kind)
{
    QMessageBox box;
    PrepareMessageBox(box, text, title, kind);
    box.exec();
}
