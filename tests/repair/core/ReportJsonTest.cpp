// SPDX-License-Identifier: MIT
#include "ReportJson.h"

#include <gtest/gtest.h>

using namespace repair;

namespace {

TEST(ReportJson, StringsAreEscapedAndAlwaysValidUtf8)
{
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        { "plain", "\"plain\"" }, { "a\"b\\c", "\"a\\\"b\\\\c\"" },
        { "line\nnext\ttab\r", "\"line\\nnext\\ttab\\r\"" },
        { std::string("nul\0bell\x07", 9), "\"nul\\u0000bell\\u0007\"" },
        { "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x81", "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x81\"" },
        { "bad\xFF", "\"bad\xEF\xBF\xBD\"" }, // a byte that never starts a character
        { "\x80x", "\"\xEF\xBF\xBDx\"" }, // a lone continuation
        { "cut\xE2\x82", "\"cut\xEF\xBF\xBD\xEF\xBF\xBD\"" }, // a sequence cut short
        { "\xC0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\"" }, // an overlong form
        { "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"" }, // a surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonString(c.in), c.out) << c.in;
}

TEST(ReportJson, HasEveryFieldAndNullsWhereAbsent)
{
    Report report;
    report.Family = "archive";
    report.Format = "zip";
    report.Outcome = Verdict::Partial;
    report.PartsTotal = 3;
    report.PartsRecovered = 2;
    report.BytesRead = 10;
    report.BytesWritten = 7;
    report.Lost = { "a/b.txt" };
    report.Messages = { "the central directory is lost", "a/b.txt: lost" };
    EXPECT_EQ(ReportJson(report, "/x/y.zip", std::string("/x/y_r.zip")),
        "{\"source\":\"/x/y.zip\",\"output\":\"/x/y_r.zip\",\"family\":\"archive\",\"format\":\"zip\","
        "\"verdict\":\"partial\",\"parts_total\":3,\"parts_recovered\":2,\"bytes_read\":10,\"bytes_written\":"
        "7,"
        "\"lost\":[\"a/b.txt\"],\"messages\":[\"the central directory is lost\",\"a/b.txt: lost\"]}");
    EXPECT_EQ(ReportJson(Report {}, "s", std::nullopt),
        "{\"source\":\"s\",\"output\":null,\"family\":null,\"format\":null,\"verdict\":\"unrecoverable\","
        "\"parts_total\":0,\"parts_recovered\":0,\"bytes_read\":0,\"bytes_written\":0,\"lost\":[],"
        "\"messages\":[]}");
}

} // namespace
