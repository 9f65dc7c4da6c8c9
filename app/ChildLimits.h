// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QProcess;

// What the repair engine's child process may use. A hostile file may make the engine loop, allocate
// without end or block; the limits end only the child, never the window.
struct TChildLimits {
    qint64 AddressSpace = qint64(2) << 30; // bytes
    int CpuSecondsBase = 30; // processor time for any file,
    qint64 BytesPerCpuSecond = 20'000'000; // plus one second per this many bytes of the source
    qint64 FileSize = 0; // the largest file the child may write; 0: no limit
    // A child that neither reports progress nor uses processor time for this long is blocked: it is ended.
    int WatchdogMilliseconds = 60'000;
};

// Processor seconds allowed for a source of `size` bytes (-1: size unknown).
int CpuSeconds(const TChildLimits& limits, qint64 size);

// Sets the limits (and no core file) in the child, after it is forked and before it runs the engine.
void ApplyChildLimits(QProcess& process, const TChildLimits& limits, qint64 size);

// Processor time used so far by the running process `pid`, in milliseconds; nullopt where the system
// does not tell.
std::optional<qint64> ProcessorTime(qint64 pid);

// Why a child ended by a crash, from QProcess's exit code of a crashed process (the signal, on POSIX).
QString CrashReason(int exitCode);
