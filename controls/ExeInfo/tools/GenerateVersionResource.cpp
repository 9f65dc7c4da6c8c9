// SPDX-License-Identifier: MIT
// Build-time tool: turns the version definition into a resource script (Windows) or a source
// file that carries the same VS_VERSIONINFO bytes in their own section (elsewhere).
//   quillon_verres_gen rc|cpp <definition> <output>
#include "VersionResourceWriter.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: " << argv[0] << " rc|cpp <definition> <output>\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::cerr << argv[2] << ": cannot read\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    TVersionDefinition def;
    if (const std::string error = ParseVersionDefinition(text.str(), def); !error.empty()) {
        std::cerr << argv[2] << ": " << error << "\n";
        return 1;
    }
    std::ostringstream out;
    const std::string mode = argv[1];
    if (mode == "rc") {
        out << VersionDefinitionToRc(def);
    } else if (mode == "cpp") {
        const std::vector<std::uint8_t> bytes = WriteVersionResource(def);
        out << "// Generated from the version definition; edit that file instead.\n"
            << "// Kept by compiler and linker (used, retain) in its own section, where the version reader "
               "finds it.\n"
            << "extern \"C\" __attribute__((used, retain, aligned(4), section(\".quillon_version\")))\n"
            << "const unsigned char quillon_version_resource[" << bytes.size() << "] = {";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%s0x%02x", i % 16 ? ", " : ",\n    ", bytes[i]);
            out << (i == 0 ? buf + 1 : buf);
        }
        out << "\n};\n";
    } else {
        std::cerr << "unknown mode " << mode << "\n";
        return 2;
    }
    std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
    file << out.str();
    return file ? 0 : 1;
}
