// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The addresses the windows link to.
namespace Links {
inline const QString Site = QStringLiteral("www.quillon.example");
inline const QString Email = QStringLiteral("support@quillon.example");
inline const QString Undelete = QStringLiteral("https://www.quillon.example/undelete");

// The manual-repair text as markup for the HTML label: `firstLetter` is "Y" on the main window and
// "y" in the offer dialog, whose caption the text continues.
inline QString ManualRepairMarkup(QChar firstLetter)
{
    return QString(firstLetter)
        + QStringLiteral(
            "ou can send us your file for the manual repair of the file. Our repair experts will "
            "analyze the file and repair it for you. Once the file has been received, it generally "
            "takes 1-48 hours to process. You can send your corrupted file as an attachment to us "
            "via email <A href=\"mailto:%1\"><U><FONT color=\"#000000\"><B>%1</B></FONT></U></A>")
              .arg(Email);
}
} // namespace Links
