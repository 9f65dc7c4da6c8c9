// SPDX-License-Identifier: MIT
#include "PassOutcome.h"

#include <gtest/gtest.h>

namespace {

const QString kZero = QStringLiteral("Your file is zero sized. No data in it and nothing to repair");
const QString kEmpty = QStringLiteral("Your file is empty. No data in it and nothing to repair");
const QString kNoData = QStringLiteral("No data to recover detected");
const QString kFinished = QStringLiteral("Repair process finished");
const QString kInterrupted = QStringLiteral("Repair process interrupted by user");
const QString kCannot = QStringLiteral("Cannot open file \"/x\". No such file or directory");

struct OutcomeCase {
    const char* name;
    TPassEnd end;
    TPassProbe probe;
    TPassOutcome expected;
};

TEST(RepairPassOutcome, OneRowPerRule)
{
    const OutcomeCase cases[] = {
        { "zero size", TPassEnd::Completed, { 0, true, {} }, { kZero, kZero + '.', true, false, kFinished } },
        { "one value", TPassEnd::Completed, { 1, true, {} },
            { kEmpty, kEmpty + '.', true, false, kFinished } },
        { "data", TPassEnd::Completed, { 2, false, {} }, { kNoData, {}, true, true, kFinished } },
        { "failed size query, data", TPassEnd::Completed, { -1, false, {} },
            { kNoData, {}, true, true, kFinished } },
        { "failed size query, one value", TPassEnd::Completed, { -1, true, {} },
            { kEmpty, kEmpty + '.', true, false, kFinished } },
        { "unreadable", TPassEnd::Completed, { 5, false, kCannot },
            { kCannot, kCannot + '.', true, false, kFinished } },
        { "unreadable beats zero size", TPassEnd::Completed, { 0, true, kCannot },
            { kCannot, kCannot + '.', true, false, kFinished } },
        { "reason with its own full stop", TPassEnd::Completed, { 5, false, QStringLiteral("Failed.") },
            { QStringLiteral("Failed."), QStringLiteral("Failed."), true, false, kFinished } },
        { "stopped", TPassEnd::Stopped, { 0, true, {} }, { {}, {}, false, false, kInterrupted } },
        { "closed", TPassEnd::Closed, { 2, false, {} }, { {}, {}, false, false, kInterrupted } },
    };
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TPassOutcome got = RepairPassOutcome(c.end, c.probe);
        EXPECT_EQ(got.Line, c.expected.Line);
        EXPECT_EQ(got.ErrorBox, c.expected.ErrorBox);
        EXPECT_EQ(got.Separator, c.expected.Separator);
        EXPECT_EQ(got.Offer, c.expected.Offer);
        EXPECT_EQ(got.FinalLine, c.expected.FinalLine);
    }
}

} // namespace
