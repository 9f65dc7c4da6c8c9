// SPDX-License-Identifier: MIT
#include "ChildLimits.h"

#include <algorithm>

int CpuSeconds(const TChildLimits& limits, qint64 size)
{
    const qint64 extra = size > 0 && limits.BytesPerCpuSecond > 0 ? size / limits.BytesPerCpuSecond : 0;
    return int(std::min<qint64>(limits.CpuSecondsBase + extra, 24 * 3600));
}
