// SPDX-License-Identifier: MIT
#include "Anchors.h"
#include "RecordingShell.h"

#include <gtest/gtest.h>

TEST(ShellService, ScopesNestAndRestoreTheServiceBefore)
{
    TShellService* const desktop = &ShellService();
    {
        RecordingShell outer;
        {
            RecordingShell inner;
            ShellService().Open(QStringLiteral("mailto:a@b.example"));
            EXPECT_EQ(inner.opened, QStringList { QStringLiteral("mailto:a@b.example") });
        }
        ShellService().Open(QStringLiteral("https://x.example/"));
        EXPECT_EQ(outer.opened, QStringList { QStringLiteral("https://x.example/") });
    }
    EXPECT_EQ(&ShellService(), desktop);
}

TEST(ShellService, OnlyWebAndMailAnchorsGoToTheShell)
{
    const struct {
        const char* anchor;
        bool shell;
    } cases[] = {
        { "https://x.example/", true },
        { "file:///tmp/a.txt", true },
        { "mailto:a@b.example", true },
        { "write to mailto:a@b.example", true }, // anywhere in the target, as the controls have it
        { "www.x.example", false }, // a bare host stays the control's own anchor
        { "next-page", false },
        { "C:/folder", false },
        { "", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.anchor);
        EXPECT_EQ(IsShellAnchor(QString::fromUtf8(c.anchor)), c.shell);
    }
}
