// SPDX-License-Identifier: MIT
#pragma once

#include "ShellService.h"

#include <QStringList>

// While it lives, the targets that would open in the user's handlers are recorded here instead.
class RecordingShell : public TShellService {
public:
    QStringList opened;
    void Open(const QString& target) override { opened << target; }

private:
    TScopedShellService m_scope { *this };
};
