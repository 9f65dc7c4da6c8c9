// SPDX-License-Identifier: MIT
#include "DefaultOutput.h"

std::string DefaultOutputPath(const std::string& source, std::time_t now)
{
    const auto slash = source.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : source.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    auto dot = name.rfind('.');
    // A leading dot starts a hidden file's name, not an extension.
    if (dot == 0)
        dot = std::string::npos;
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H%M%S%d%m%Y", &local);
    return folder + stem + "_r" + stamp + extension;
}
