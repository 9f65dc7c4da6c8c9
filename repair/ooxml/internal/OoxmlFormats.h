// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace repair {

// One format of the family: its name (the usual extension), the window's family, the main part's
// folder, default name and content type, and whether it may hold macros.
struct OoxmlFormat {
    std::string_view Format;
    std::string_view Family;
    std::string_view Folder;
    std::string_view MainPart;
    std::string_view MainType;
    bool Macros = false;
};

// The formats of the Office Open XML family.
class OoxmlFormats {
public:
    static const OoxmlFormat* ByMainType(std::string_view type);
    static const OoxmlFormat* ByExtension(std::string_view extension);
    // The plain document of a family's folder ("word/", "xl/", "ppt/"), with or without macros.
    static const OoxmlFormat* ByFolder(std::string_view folder, bool macros);
};

} // namespace repair
