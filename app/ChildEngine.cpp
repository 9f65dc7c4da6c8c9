// SPDX-License-Identifier: MIT
#include "ChildEngine.h"

#include "RepairChild.h"

#include <QCoreApplication>

TChildEngine::TChildEngine(QString program, QStringList arguments, TChildLimits limits)
    : Limits(limits)
    , m_program(std::move(program))
    , m_arguments(std::move(arguments))
{
}

std::unique_ptr<TRepairRun> TChildEngine::Start(const QString& source, const QString& output, qint64 size)
{
    return std::make_unique<TRepairChild>(m_program, m_arguments, source, output, size, Limits);
}

QString EngineProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/quillon-repair");
}
