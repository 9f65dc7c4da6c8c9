// SPDX-License-Identifier: MIT
#include "LibavLog.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <mutex>

namespace repair {

namespace {

thread_local uint64_t t_errors = 0;
thread_local std::string t_last;

void Handle(void* context, int level, const char* format, va_list args)
{
    (void)context;
    if (level > AV_LOG_ERROR)
        return;
    ++t_errors;
    char line[512];
    std::vsnprintf(line, sizeof line, format, args);
    t_last = line;
    while (!t_last.empty() && (t_last.back() == '\n' || t_last.back() == ' '))
        t_last.pop_back();
}

} // namespace

void LibavLog::Install()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(&Handle); });
}

uint64_t LibavLog::Errors()
{
    return t_errors;
}

const std::string& LibavLog::LastError()
{
    return t_last;
}

} // namespace repair
