// SPDX-License-Identifier: MIT
#include "DesktopIdentity.h"
#include "Fakes.h"

#include <QFile>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString Read(const QString& name)
{
    QFile f(QStringLiteral(QUILLON_PACKAGING_DIR "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(f.readAll());
}

// The types the file manager offers Quillon for, as the desktop entry and the metainfo list them,
// against the extensions of the file chooser's filters: "Open with Quillon" is offered for every kind
// of file the chooser lists, and for nothing else.
TEST(DesktopEntry, FileTypesMatchTheChooser)
{
    const QString desktop = Read(QStringLiteral("example.quillon.Quillon.desktop"));
    const QRegularExpressionMatch line
        = QRegularExpression(QStringLiteral("^MimeType=(.*)$"), QRegularExpression::MultilineOption)
              .match(desktop);
    ASSERT_TRUE(line.hasMatch());
    QStringList listed = line.captured(1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    listed.sort();

    QStringList provided;
    auto media = QRegularExpression(QStringLiteral("<mediatype>([^<]*)</mediatype>"))
                     .globalMatch(Read(QStringLiteral("example.quillon.Quillon.metainfo.xml")));
    while (media.hasNext())
        provided << media.next().captured(1);
    provided.sort();
    EXPECT_EQ(provided, listed);

    Sandbox box;
    const QStringList filters = box.start().OpenDialog->Filter.split(QLatin1Char('|'));
    const QMimeDatabase types;
    QStringList known;
    for (qsizetype i = 1; i < filters.size(); i += 2) {
        for (QString pattern : filters.at(i).split(QLatin1Char(';'))) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                continue;
            const QMimeType type
                = types.mimeTypeForFile(QStringLiteral("x") + pattern.mid(1), QMimeDatabase::MatchExtension);
            if (type.isDefault())
                continue; // .mde, .accdb and .accde have no registered type
            EXPECT_TRUE(listed.contains(type.name()))
                << pattern.toStdString() << " is " << type.name().toStdString();
            known << type.name();
        }
    }
    for (const QString& type : listed)
        EXPECT_TRUE(known.contains(type)) << type.toStdString() << " is no type of the chooser's files";
    EXPECT_NE(desktop.indexOf(QStringLiteral("\nExec=quillon %f\n")), -1);
}

// A dock puts the running window under its launcher when the window's class (on X11 the application
// name) is the entry's StartupWMClass, or when the application's desktop file name is the entry's.
TEST(DesktopEntry, NamesTheRunningWindow)
{
    const QString testName = QCoreApplication::applicationName();
    SetDesktopIdentity();
    const QString windowClass = QCoreApplication::applicationName();
    const QString desktopFile = QGuiApplication::desktopFileName();
    QCoreApplication::setApplicationName(testName);
    QGuiApplication::setDesktopFileName(QString());

    const QString desktop = Read(desktopFile + QStringLiteral(".desktop"));
    EXPECT_NE(desktop.indexOf(QStringLiteral("\nStartupWMClass=") + windowClass + QLatin1Char('\n')), -1)
        << windowClass.toStdString();
    EXPECT_NE(desktop.indexOf(QStringLiteral("\nExec=") + windowClass + QLatin1Char(' ')), -1);
}

} // namespace
