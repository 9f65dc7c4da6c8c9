// SPDX-License-Identifier: MIT
#include "ExeInfoSystem.h"

namespace {

struct LanguageRow {
    QLocale::Language language;
    QLocale::Territory territory; // AnyTerritory: the language's default
    std::uint16_t id;
};

// The languages a multi-language resource commonly carries. A territory row comes before its
// language's default row.
constexpr LanguageRow kLanguages[] = {
    { QLocale::Arabic, QLocale::Egypt, 0x0C01 },
    { QLocale::Arabic, QLocale::AnyTerritory, 0x0401 },
    { QLocale::Bulgarian, QLocale::AnyTerritory, 0x0402 },
    { QLocale::Catalan, QLocale::AnyTerritory, 0x0403 },
    { QLocale::Chinese, QLocale::Taiwan, 0x0404 },
    { QLocale::Chinese, QLocale::HongKong, 0x0C04 },
    { QLocale::Chinese, QLocale::Singapore, 0x1004 },
    { QLocale::Chinese, QLocale::Macao, 0x1404 },
    { QLocale::Chinese, QLocale::AnyTerritory, 0x0804 },
    { QLocale::Czech, QLocale::AnyTerritory, 0x0405 },
    { QLocale::Danish, QLocale::AnyTerritory, 0x0406 },
    { QLocale::German, QLocale::Switzerland, 0x0807 },
    { QLocale::German, QLocale::Austria, 0x0C07 },
    { QLocale::German, QLocale::Luxembourg, 0x1007 },
    { QLocale::German, QLocale::Liechtenstein, 0x1407 },
    { QLocale::German, QLocale::AnyTerritory, 0x0407 },
    { QLocale::Greek, QLocale::AnyTerritory, 0x0408 },
    { QLocale::English, QLocale::UnitedKingdom, 0x0809 },
    { QLocale::English, QLocale::Australia, 0x0C09 },
    { QLocale::English, QLocale::Canada, 0x1009 },
    { QLocale::English, QLocale::NewZealand, 0x1409 },
    { QLocale::English, QLocale::Ireland, 0x1809 },
    { QLocale::English, QLocale::SouthAfrica, 0x1C09 },
    { QLocale::English, QLocale::India, 0x4009 },
    { QLocale::English, QLocale::AnyTerritory, 0x0409 },
    { QLocale::Spanish, QLocale::Mexico, 0x080A },
    { QLocale::Spanish, QLocale::AnyTerritory, 0x0C0A },
    { QLocale::Finnish, QLocale::AnyTerritory, 0x040B },
    { QLocale::French, QLocale::Belgium, 0x080C },
    { QLocale::French, QLocale::Canada, 0x0C0C },
    { QLocale::French, QLocale::Switzerland, 0x100C },
    { QLocale::French, QLocale::Luxembourg, 0x140C },
    { QLocale::French, QLocale::AnyTerritory, 0x040C },
    { QLocale::Hebrew, QLocale::AnyTerritory, 0x040D },
    { QLocale::Hungarian, QLocale::AnyTerritory, 0x040E },
    { QLocale::Icelandic, QLocale::AnyTerritory, 0x040F },
    { QLocale::Italian, QLocale::Switzerland, 0x0810 },
    { QLocale::Italian, QLocale::AnyTerritory, 0x0410 },
    { QLocale::Japanese, QLocale::AnyTerritory, 0x0411 },
    { QLocale::Korean, QLocale::AnyTerritory, 0x0412 },
    { QLocale::Dutch, QLocale::Belgium, 0x0813 },
    { QLocale::Dutch, QLocale::AnyTerritory, 0x0413 },
    { QLocale::NorwegianBokmal, QLocale::AnyTerritory, 0x0414 },
    { QLocale::NorwegianNynorsk, QLocale::AnyTerritory, 0x0814 },
    { QLocale::Polish, QLocale::AnyTerritory, 0x0415 },
    { QLocale::Portuguese, QLocale::Portugal, 0x0816 },
    { QLocale::Portuguese, QLocale::AnyTerritory, 0x0416 },
    { QLocale::Romansh, QLocale::AnyTerritory, 0x0417 },
    { QLocale::Romanian, QLocale::AnyTerritory, 0x0418 },
    { QLocale::Russian, QLocale::AnyTerritory, 0x0419 },
    { QLocale::Croatian, QLocale::AnyTerritory, 0x041A },
    { QLocale::Bosnian, QLocale::AnyTerritory, 0x141A },
    { QLocale::Slovak, QLocale::AnyTerritory, 0x041B },
    { QLocale::Albanian, QLocale::AnyTerritory, 0x041C },
    { QLocale::Swedish, QLocale::Finland, 0x081D },
    { QLocale::Swedish, QLocale::AnyTerritory, 0x041D },
    { QLocale::Thai, QLocale::AnyTerritory, 0x041E },
    { QLocale::Turkish, QLocale::AnyTerritory, 0x041F },
    { QLocale::Urdu, QLocale::AnyTerritory, 0x0420 },
    { QLocale::Indonesian, QLocale::AnyTerritory, 0x0421 },
    { QLocale::Ukrainian, QLocale::AnyTerritory, 0x0422 },
    { QLocale::Belarusian, QLocale::AnyTerritory, 0x0423 },
    { QLocale::Slovenian, QLocale::AnyTerritory, 0x0424 },
    { QLocale::Estonian, QLocale::AnyTerritory, 0x0425 },
    { QLocale::Latvian, QLocale::AnyTerritory, 0x0426 },
    { QLocale::Lithuanian, QLocale::AnyTerritory, 0x0427 },
    { QLocale::Persian, QLocale::AnyTerritory, 0x0429 },
    { QLocale::Vietnamese, QLocale::AnyTerritory, 0x042A },
    { QLocale::Armenian, QLocale::AnyTerritory, 0x042B },
    { QLocale::Azerbaijani, QLocale::AnyTerritory, 0x042C },
    { QLocale::Basque, QLocale::AnyTerritory, 0x042D },
    { QLocale::Macedonian, QLocale::AnyTerritory, 0x042F },
    { QLocale::Afrikaans, QLocale::AnyTerritory, 0x0436 },
    { QLocale::Georgian, QLocale::AnyTerritory, 0x0437 },
    { QLocale::Hindi, QLocale::AnyTerritory, 0x0439 },
    { QLocale::Maltese, QLocale::AnyTerritory, 0x043A },
    { QLocale::Irish, QLocale::AnyTerritory, 0x083C },
    { QLocale::Malay, QLocale::AnyTerritory, 0x043E },
    { QLocale::Kazakh, QLocale::AnyTerritory, 0x043F },
    { QLocale::Swahili, QLocale::AnyTerritory, 0x0441 },
    { QLocale::Bengali, QLocale::AnyTerritory, 0x0445 },
    { QLocale::Punjabi, QLocale::AnyTerritory, 0x0446 },
    { QLocale::Gujarati, QLocale::AnyTerritory, 0x0447 },
    { QLocale::Tamil, QLocale::AnyTerritory, 0x0449 },
    { QLocale::Telugu, QLocale::AnyTerritory, 0x044A },
    { QLocale::Kannada, QLocale::AnyTerritory, 0x044B },
    { QLocale::Malayalam, QLocale::AnyTerritory, 0x044C },
    { QLocale::Marathi, QLocale::AnyTerritory, 0x044E },
    { QLocale::Welsh, QLocale::AnyTerritory, 0x0452 },
    { QLocale::Galician, QLocale::AnyTerritory, 0x0456 },
    { QLocale::Filipino, QLocale::AnyTerritory, 0x0464 },
};

} // namespace

std::uint16_t WindowsLanguageId(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    if (language == QLocale::C)
        return 0x0409;
    // Serbian is told apart by its script.
    if (language == QLocale::Serbian)
        return locale.script() == QLocale::LatinScript ? 0x081A : 0x0C1A;
    const QLocale::Territory territory = locale.territory();
    for (const LanguageRow& row : kLanguages) {
        if (row.language == language
            && (row.territory == territory || row.territory == QLocale::AnyTerritory))
            return row.id;
    }
    return 0;
}
