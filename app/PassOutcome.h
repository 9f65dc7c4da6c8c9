// SPDX-License-Identifier: MIT
#pragma once

#include "RepairReport.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// How the paced steps of a repair pass ended.
enum class TPassEnd {
    Completed, // all steps ran
    Stopped, // the user clicked "Stop"
    Closed, // the main window was closed or the application is ending
};

// What the probes found about the source; looked at only for a completed pass.
struct TPassProbe {
    qint64 Size = -1; // taken before the pass; -1 when the query failed
    bool Uniform = false; // the head holds one byte value, or none
    QString Failure; // why the head could not be read; empty when it was read
};

// What a pass shows after its header, in this order: the outcome lines, the error box (while the window
// is still busy), the closing separator, then the idle state, the offer dialog and the final line.
struct TPassOutcome {
    QStringList Lines;
    QString ErrorBox; // empty: none
    bool Separator = false;
    bool Offer = false; // the manual-repair dialog is shown
    QString FinalLine;
};

// The rules that turn the end of the steps, the probes and the engine's answer into what the user sees.
TPassOutcome RepairPassOutcome(TPassEnd end, const TPassProbe& probe, const TRepairReport& engine = {});
