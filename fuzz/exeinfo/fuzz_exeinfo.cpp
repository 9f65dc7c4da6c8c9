// SPDX-License-Identifier: MIT
#include "ExecutableResource.h"
#include "VersionInfoParser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The bytes as a bare resource, and as an executable image that may hold one.
    if (auto info = ParseVersionInfo(bytes)) {
        for (std::uint32_t t : info->translations)
            (void)info->value(TranslationName(t), QStringLiteral("ProductName"));
    }
    if (auto span = FindVersionResource(bytes))
        (void)ParseVersionInfo(bytes.sliced(span->offset, span->size));
    return 0;
}
