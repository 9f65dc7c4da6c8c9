// SPDX-License-Identifier: MIT
#pragma once

// Runs the other programs that must accept a repaired archive: Python's zipfile (through members.py)
// and unzip -t.

#include <cstdio>
#include <map>
#include <string>

namespace ziptest {

struct Member {
    std::string crc;
    uint64_t size = 0;
    std::string time;
    bool operator==(const Member&) const = default;
};

struct Listing {
    bool ok = false; // zipfile read and checked every member
    std::map<std::string, Member> members;
};

inline std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline Listing PythonList(const std::string& archive, const std::string& password = {})
{
    Listing listing;
    const std::string command = "python3 " + Quote(QUILLON_ZIP_TESTS "/members.py") + " " + Quote(archive)
        + (password.empty() ? "" : " " + Quote(password)) + " 2>/dev/null";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return listing;
    char line[4096];
    bool first = true;
    while (std::fgets(line, sizeof line, p)) {
        std::string s(line);
        if (!s.empty() && s.back() == '\n')
            s.pop_back();
        if (first) {
            listing.ok = s == "OK";
            first = false;
            continue;
        }
        const auto a = s.find(' '), b = s.find(' ', a + 1), c = s.find(' ', b + 1);
        if (a == std::string::npos || b == std::string::npos || c == std::string::npos)
            continue;
        listing.members[s.substr(c + 1)]
            = { s.substr(0, a), std::stoull(s.substr(a + 1, b - a - 1)), s.substr(b + 1, c - b - 1) };
    }
    if (::pclose(p) != 0)
        listing.ok = false;
    return listing;
}

inline bool UnzipAccepts(const std::string& archive, const std::string& password = {})
{
    const std::string command = "unzip -tq " + (password.empty() ? "" : "-P " + Quote(password) + " ")
        + Quote(archive) + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

} // namespace ziptest
