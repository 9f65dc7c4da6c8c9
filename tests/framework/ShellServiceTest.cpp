// SPDX-License-Identifier: MIT
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
