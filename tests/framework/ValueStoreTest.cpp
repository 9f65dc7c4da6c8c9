// SPDX-License-Identifier: MIT
#include "ValueStore.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(IniFile, ReadsEntriesAsThePrivateProfileDoes)
{
    struct Case {
        const char* name;
        QByteArray content;
        const char* section;
        const char* entry;
        const char* expected; // "?" is the fallback
    };
    const Case cases[] = {
        { "plain", "[A]\nx=1\n", "A", "x", "1" },
        { "section and name without case", "[ a ]\r\n X =1\r\n", "A", "x", "1" },
        { "blanks and quotes taken off", "[A]\nx=  \" 1 \"  \n", "A", "x", " 1 " },
        { "only one section's entries", "[A]\ny=1\n[B]\nx=2\n", "A", "x", "?" },
        { "missing file section", "x=1\n", "A", "x", "?" },
        { "UTF-8 with its mark", "\xEF\xBB\xBF[A]\nx=\xC3\xBC\n", "A", "x", "\u00FC" },
        { "UTF-16 with its mark", QByteArray("\xFF\xFE[\0A\0]\0\n\0x\0=\0\xFC\0", 16), "A", "x", "\u00FC" },
        { "one-byte code page", "[A]\nx=\xFC\n", "A", "x", "\u00FC" },
        { "not text", QByteArray("[A]\nx=1\n\0\0", 10), "A", "x", "?" },
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto ini = OpenIniFile(dir.write("a.ini", c.content));
        EXPECT_EQ(ini->ReadString(c.section, c.entry, "?"), QString(c.expected));
    }
}

TEST(IniFile, WritesKeepWhatElseTheFileHolds)
{
    TempDir dir;
    const QString path = dir.write("a.ini", "; note\n[A]\nx=1\n\n[B]\ny=2\n");
    {
        const auto ini = OpenIniFile(path);
        ini->WriteString("a", "X", "one");
        ini->WriteString("A", "z", " spaced\nsecond line");
        ini->WriteInteger("C", "n", 7);
        EXPECT_TRUE(ini->Flush());
    }
    EXPECT_EQ(contents(path), "; note\n[A]\nx=one\nz=\" spaced\"\n\n[B]\ny=2\n\n[C]\nn=7\n");
    const auto again = OpenIniFile(path);
    EXPECT_EQ(again->ReadString("A", "z", "?"), " spaced");
    EXPECT_EQ(again->ReadInteger("C", "n", 0), 7);
    EXPECT_EQ(again->Names("a"), QStringList({ "x", "z" }));
}

TEST(IniFile, WhatCannotBeReadIsNotWrittenOver)
{
    TempDir dir;
    const QByteArray binary("\x7F"
                            "ELF\0\0[A]\nx=1\n",
        14);
    const QString path = dir.write("a.ini", binary);
    QDir(dir.path()).mkpath("folder.ini");
    for (const QString& p : { path, dir.file("folder.ini") }) {
        SCOPED_TRACE(p.toStdString());
        const auto ini = OpenIniFile(p);
        EXPECT_EQ(ini->ReadString("A", "x", "?"), "?");
        ini->WriteString("A", "x", "2");
        EXPECT_FALSE(ini->Flush());
    }
    EXPECT_EQ(contents(path), binary);
}

TEST(UserStore, KeyPathsLandInTheConfigurationFolder)
{
    TempDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    struct Case {
        const char* key;
        const char* file; // none: nothing is kept
    };
    const Case cases[] = {
        { "SOFTWARE\\Vendor\\Program", "Vendor/Program.ini" },
        { "\\software\\quillon\\", "quillon/quillon.ini" },
        { "..\\..\\Vendor\\.\\Tool", "Vendor/Tool.ini" },
        { "SOFTWARE\\..", nullptr },
        { "", nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        {
            const auto store = OpenUserStore(c.key);
            store->WriteString("Section", "x", "kept");
            EXPECT_EQ(store->Flush(), c.file != nullptr);
        }
        if (c.file) {
            EXPECT_EQ(OpenUserStore(c.key)->ReadString("Section", "x", "?"), "kept");
            EXPECT_TRUE(QFile::remove(dir.file(c.file)));
        }
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    }
    // later tests must not reach the user's own folder either
    static QTemporaryDir spare;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, spare.path());
}

} // namespace
