// SPDX-License-Identifier: MIT
#include "PdfSyntax.h"
#include "ContentCheck.h"

#include <gtest/gtest.h>

using namespace repair;

namespace {

struct ParseCase {
    const char* text;
    PdfParser::Result result;
    const char* written; // the value written back, references to object 9 dropped
};

const ParseCase kParseCases[] = {
    { "<</A 1 0 R/B 9 0 R/C [1 2 0 R 3] /D (a\\)b(c)) /E <41 42>>> ", PdfParser::Result::Ok,
        "<</A 1 0 R\n/B null\n/C [1 2 0 R 3]\n/D (a\\)b(c))\n/E <41 42>\n>>" },
    { "[1 0 obj] ", PdfParser::Result::Bad, "" },
    { "<</A (unclosed ", PdfParser::Result::Truncated, "" },
    { "<</A 1 0", PdfParser::Result::Truncated, "" },
    { "<</Key>> ", PdfParser::Result::Bad, "" },
    { "<</A <4X>>> ", PdfParser::Result::Bad, "" },
    { "-1.5 ", PdfParser::Result::Ok, "-1.5" },
    { "/Name", PdfParser::Result::Truncated, "" },
    { "12 0 R ", PdfParser::Result::Ok, "12 0 R" },
};

TEST(PdfSyntax, ParsesAndWritesBack)
{
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.text);
        PdfParser parser(c.text);
        PdfValue value;
        ASSERT_EQ(parser.Parse(value), c.result);
        if (c.result != PdfParser::Result::Ok)
            continue;
        std::string out;
        WritePdfValue(value, out, [](uint32_t num) { return num != 9; });
        EXPECT_EQ(out, c.written);
    }
}

TEST(PdfSyntax, DeepNestingIsRefused)
{
    const std::string deep = std::string(10000, '[') + std::string(10000, ']') + " ";
    PdfParser parser(deep);
    PdfValue value;
    EXPECT_EQ(parser.Parse(value), PdfParser::Result::Bad);
}

struct ContentCase {
    const char* text;
    const char* sound; // the part kept
};

const ContentCase kContentCases[] = {
    { "BT /F1 12 Tf 10 20 Td (Hello) Tj ET\n", "BT /F1 12 Tf 10 20 Td (Hello) Tj ET\n" },
    // Decoding went on after the damage: the garbage and the operands before it are left out, and the
    // lines after it that read soundly are kept.
    { "q 1 0 0 1 5 5 cm Q 3 4 \x8f\x12zz) Tj\n(again) Tj\n", "q 1 0 0 1 5 5 cm Q\n(again) Tj\n" },
    { "BT [<0102> -3 <03>] TJ ET 0 0 1 rg 5 5 10 10 re f (cut",
        "BT [<0102> -3 <03>] TJ ET 0 0 1 rg 5 5 10 10 re f\n" },
    { "BI /W 2 /H 1 /BPC 8 /CS /G ID \x01\x02 EI Q\n", "BI /W 2 /H 1 /BPC 8 /CS /G ID \x01\x02 EI Q\n" },
    // An operator a reader does not know is passed over; one of bytes no operator has is not.
    { "0 0 m 10 10 l S unknown 1 w 2 x\x01y", "0 0 m 10 10 l S unknown 1 w\n" },
    { "/P <</MCID 0>> BDC EMC ", "/P <</MCID 0>> BDC EMC\n" },
    { "1 0 R Tj\n2 w\n", "\n2 w\n" },
};

TEST(PdfSyntax, ContentKeptAroundTheDamage)
{
    for (const ContentCase& c : kContentCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SoundContent(c.text), c.sound);
    }
}

} // namespace
