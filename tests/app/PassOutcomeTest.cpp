// SPDX-License-Identifier: MIT
#include "PassOutcome.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

using V = TRepairReport::Verdict;

const QString kZero = QStringLiteral("Your file is zero sized. No data in it and nothing to repair");
const QString kEmpty = QStringLiteral("Your file is empty. No data in it and nothing to repair");
const QString kNoData = QStringLiteral("No data to recover detected");
const QString kFinished = QStringLiteral("Repair process finished");
const QString kInterrupted = QStringLiteral("Repair process interrupted by user");
const QString kCannot = QStringLiteral("Cannot open file \"/x\". No such file or directory");
const QString kPass2 = QStringLiteral("Pass 2: Writing the fixed file...");
const QString kSaved = QStringLiteral("Fixed file saved: /out/a_r.docx");

TRepairReport Engine(V verdict, QStringList lost = {}, QString family = {}, QString format = {})
{
    TRepairReport r;
    r.Outcome = verdict;
    r.Family = std::move(family);
    r.Format = std::move(format);
    r.Output = QStringLiteral("/out/a_r.docx");
    r.PartsTotal = 12;
    r.PartsRecovered = verdict == V::Partial ? 7 : 12;
    r.BytesWritten = 49357;
    r.Lost = std::move(lost);
    r.Messages = { QStringLiteral("cannot write the fixed file: No space left on device") };
    r.Reason = QStringLiteral("Segmentation fault");
    return r;
}

struct OutcomeCase {
    const char* name;
    TPassEnd end;
    TPassProbe probe;
    TRepairReport engine;
    TPassOutcome expected;
};

TEST(RepairPassOutcome, OneRowPerRule)
{
    const TPassProbe data { 2, false, {} };
    const TPassProbe uniform { 50000, true, {} };
    const QString recovered = QStringLiteral("Recovered 12 of 12 parts, 48.2 KB");
    const QString recoveredPart = QStringLiteral("Recovered 7 of 12 parts, 48.2 KB");
    const QString stopped = QStringLiteral("The repair engine stopped on this file (Segmentation fault)");
    const QString failed
        = QStringLiteral("Repair failed: cannot write the fixed file: No space left on device");
    const QStringList five { "word/a.xml", "word/b.xml", "c\nd", "e", "f" };
    const OutcomeCase cases[] = {
        // Without the engine: the probes alone.
        { "zero size", TPassEnd::Completed, { 0, true, {} }, {},
            { { kZero }, kZero + '.', true, false, kFinished } },
        { "one value", TPassEnd::Completed, { 1, true, {} }, {},
            { { kEmpty }, kEmpty + '.', true, false, kFinished } },
        { "data", TPassEnd::Completed, data, {}, { { kNoData }, {}, true, true, kFinished } },
        { "failed size query, one value", TPassEnd::Completed, { -1, true, {} }, {},
            { { kEmpty }, kEmpty + '.', true, false, kFinished } },
        { "unreadable beats zero size", TPassEnd::Completed, { 0, true, kCannot }, {},
            { { kCannot }, kCannot + '.', true, false, kFinished } },
        { "reason with its own full stop", TPassEnd::Completed, { 5, false, QStringLiteral("Failed.") }, {},
            { { QStringLiteral("Failed.") }, QStringLiteral("Failed."), true, false, kFinished } },
        { "stopped", TPassEnd::Stopped, { 0, true, {} }, {}, { {}, {}, false, false, kInterrupted } },
        { "closed", TPassEnd::Closed, data, Engine(V::Repaired), { {}, {}, false, false, kInterrupted } },
        // One row per verdict of the engine.
        { "repaired", TPassEnd::Completed, data, Engine(V::Repaired),
            { { kPass2, recovered, kSaved }, {}, true, false, kFinished } },
        { "partial: a few lost names, then a count; a line break in a name stays on its line",
            TPassEnd::Completed, data, Engine(V::Partial, five),
            { { kPass2, recoveredPart, QStringLiteral("Lost: word/a.xml, word/b.xml, c\uFFFDd and 2 more"),
                  kSaved },
                {}, true, true, kFinished } },
        { "partial without names", TPassEnd::Completed, data, Engine(V::Partial),
            { { kPass2, recoveredPart, QStringLiteral("Lost: 5 parts"), kSaved }, {}, true, true,
                kFinished } },
        { "intact", TPassEnd::Completed, data, Engine(V::Intact, {}, "word", "docx"),
            { { kNoData, QStringLiteral("No damage found: the file is a sound Word document") }, {}, true,
                true, kFinished } },
        { "intact archive", TPassEnd::Completed, data, Engine(V::Intact, {}, "archive", "zip"),
            { { kNoData, QStringLiteral("No damage found: the file is a sound ZIP archive") }, {}, true, true,
                kFinished } },
        { "unrecoverable", TPassEnd::Completed, data, Engine(V::Unrecoverable),
            { { kNoData }, {}, true, true, kFinished } },
        { "error", TPassEnd::Completed, data, Engine(V::Error), { { failed }, {}, true, true, kFinished } },
        { "engine stopped", TPassEnd::Completed, data, Engine(V::Stopped),
            { { stopped, kNoData }, {}, true, true, kFinished } },
        // A head of one value: the box stays for when nothing is recovered.
        { "one value, repaired", TPassEnd::Completed, uniform, Engine(V::Repaired),
            { { kPass2, recovered, kSaved }, {}, true, false, kFinished } },
        { "one value, unrecoverable", TPassEnd::Completed, uniform, Engine(V::Unrecoverable),
            { { kEmpty }, kEmpty + '.', true, false, kFinished } },
        { "one value, error", TPassEnd::Completed, uniform, Engine(V::Error),
            { { failed }, {}, true, true, kFinished } },
        { "one value, engine stopped", TPassEnd::Completed, uniform, Engine(V::Stopped),
            { { stopped, kEmpty }, kEmpty + '.', true, false, kFinished } },
        // The fixed file was written before the source became unreadable: it is reported.
        { "repaired, then unreadable", TPassEnd::Completed, { 5, false, kCannot }, Engine(V::Repaired),
            { { kPass2, recovered, kSaved }, {}, true, false, kFinished } },
        { "unrecoverable and unreadable", TPassEnd::Completed, { 5, false, kCannot },
            Engine(V::Unrecoverable), { { kCannot }, kCannot + '.', true, false, kFinished } },
    };
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TPassOutcome got = RepairPassOutcome(c.end, c.probe, c.engine);
        EXPECT_EQ(got.Lines, c.expected.Lines);
        EXPECT_EQ(got.ErrorBox, c.expected.ErrorBox);
        EXPECT_EQ(got.Separator, c.expected.Separator);
        EXPECT_EQ(got.Offer, c.expected.Offer);
        EXPECT_EQ(got.FinalLine, c.expected.FinalLine);
    }
}

} // namespace
