// SPDX-License-Identifier: MIT
#include "OoxmlFormats.h"

#include <array>

namespace repair {

namespace {

constexpr std::array<OoxmlFormat, 14> kFormats { {
    { "docx", "word", "word/", "word/document.xml",
        "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml", false },
    { "docm", "word", "word/", "word/document.xml", "application/vnd.ms-word.document.macroEnabled.main+xml",
        true },
    { "dotx", "word", "word/", "word/document.xml",
        "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml", false },
    { "dotm", "word", "word/", "word/document.xml",
        "application/vnd.ms-word.template.macroEnabledTemplate.main+xml", true },
    { "xlsx", "excel", "xl/", "xl/workbook.xml",
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml", false },
    { "xlsm", "excel", "xl/", "xl/workbook.xml", "application/vnd.ms-excel.sheet.macroEnabled.main+xml",
        true },
    { "xltx", "excel", "xl/", "xl/workbook.xml",
        "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml", false },
    { "xltm", "excel", "xl/", "xl/workbook.xml", "application/vnd.ms-excel.template.macroEnabled.main+xml",
        true },
    { "pptx", "powerpoint", "ppt/", "ppt/presentation.xml",
        "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml", false },
    { "pptm", "powerpoint", "ppt/", "ppt/presentation.xml",
        "application/vnd.ms-powerpoint.presentation.macroEnabled.main+xml", true },
    { "potx", "powerpoint", "ppt/", "ppt/presentation.xml",
        "application/vnd.openxmlformats-officedocument.presentationml.template.main+xml", false },
    { "potm", "powerpoint", "ppt/", "ppt/presentation.xml",
        "application/vnd.ms-powerpoint.template.macroEnabled.main+xml", true },
    { "ppsx", "powerpoint", "ppt/", "ppt/presentation.xml",
        "application/vnd.openxmlformats-officedocument.presentationml.slideshow.main+xml", false },
    { "ppsm", "powerpoint", "ppt/", "ppt/presentation.xml",
        "application/vnd.ms-powerpoint.slideshow.macroEnabled.main+xml", true },
} };

} // namespace

const OoxmlFormat* OoxmlFormats::ByMainType(std::string_view type)
{
    for (const OoxmlFormat& f : kFormats) {
        if (f.MainType == type)
            return &f;
    }
    return nullptr;
}

const OoxmlFormat* OoxmlFormats::ByExtension(std::string_view extension)
{
    for (const OoxmlFormat& f : kFormats) {
        if (f.Format == extension)
            return &f;
    }
    return nullptr;
}

const OoxmlFormat* OoxmlFormats::ByFolder(std::string_view folder, bool macros)
{
    for (const OoxmlFormat& f : kFormats) {
        if (f.Folder == folder && f.Macros == macros)
            return &f;
    }
    return nullptr;
}

} // namespace repair
