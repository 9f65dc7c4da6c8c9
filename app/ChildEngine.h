// SPDX-License-Identifier: MIT
#pragma once

#include "ChildLimits.h"
#include "Services.h"

#include <QStringList>

// The repair engine as its command line run in a child process: `program`, with `arguments` before the
// engine's own, under `limits`. The program wires the command line installed beside it; tests wire
// stand-ins.
class TChildEngine final : public TRepairEngine {
public:
    explicit TChildEngine(QString program, QStringList arguments = {}, TChildLimits limits = {});

    std::unique_ptr<TRepairRun> Start(const QString& source, const QString& output, qint64 size) override;

    TChildLimits Limits;

private:
    QString m_program;
    QStringList m_arguments;
};

// The engine's command line beside the running program, where the package installs it and the build
// puts it.
QString EngineProgram();
