// SPDX-License-Identifier: MIT
// quillon-repair: repairs one damaged file into a new one; the window runs it as a child process.
#include "DefaultOutput.h"
#include "Families.h"
#include "Progress.h"
#include "RepairFile.h"
#include "ReportJson.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace {

constexpr int kExitUsage = 64;

repair::Progress* g_progress = nullptr;

extern "C" void OnStopSignal(int)
{
    if (g_progress)
        g_progress->Cancel();
}

const char kUsage[] = "usage: quillon-repair [--output FILE] [--json] [--progress] SOURCE\n"
                      "       quillon-repair --help | --version\n";

const char kHelp[] = "Repairs a damaged file into a new one, leaving the source unchanged.\n"
                     "\n"
                     "  --output FILE  where to write the fixed file (never replaced if it exists);\n"
                     "                 default: beside the source, NAME_rhhmmssddmmyyyy.EXT\n"
                     "  --json         print a JSON report on standard output at the end\n"
                     "  --progress     print {\"progress\": F} lines on standard output while working\n"
                     "  --help         show this text\n"
                     "  --version      show the version\n"
                     "\n"
                     "Exit status: 0 repaired, 1 repaired with parts lost, 2 no damage found,\n"
                     "3 nothing recoverable or kind not known, 4 error, 64 usage.\n";

int Usage(const std::string& why)
{
    std::fprintf(stderr, "quillon-repair: %s\n%s", why.c_str(), kUsage);
    return kExitUsage;
}

int ExitStatus(repair::Verdict verdict)
{
    switch (verdict) {
    case repair::Verdict::Repaired:
        return 0;
    case repair::Verdict::Partial:
        return 1;
    case repair::Verdict::Intact:
        return 2;
    case repair::Verdict::Unrecoverable:
        return 3;
    case repair::Verdict::Error:
        break;
    }
    return 4;
}

} // namespace

int main(int argc, char** argv)
{
    std::optional<std::string> output;
    std::optional<std::string> source;
    bool json = false;
    bool progressLines = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--help") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return 0;
        } else if (!optionsEnded && arg == "--version") {
            std::puts("quillon-repair 2.1");
            return 0;
        } else if (!optionsEnded && arg == "--json") {
            json = true;
        } else if (!optionsEnded && arg == "--progress") {
            progressLines = true;
        } else if (!optionsEnded && (arg == "--output" || arg.rfind("--output=", 0) == 0)) {
            if (output)
                return Usage("--output given twice");
            if (arg == "--output") {
                if (++i >= argc)
                    return Usage("--output needs a file name");
                output = argv[i];
            } else {
                output = arg.substr(9);
            }
            if (output->empty())
                return Usage("--output needs a file name");
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else if (source) {
            return Usage("only one source file may be given");
        } else {
            source = arg;
        }
    }
    if (!source || source->empty())
        return Usage("no source file given");
    if (!output)
        output = DefaultOutputPath(*source, std::time(nullptr));

    repair::Progress progress([&](double fraction) {
        if (progressLines) {
            std::printf("{\"progress\": %.4f}\n", fraction);
            std::fflush(stdout);
        }
    });
    g_progress = &progress;
    struct sigaction stop { };
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    // A file-size limit makes the write fail (EFBIG) instead of ending the process; a closed pipe makes
    // the printing fail instead.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);

    const repair::Report report = repair::RepairFile(repair::Families(), *source, *output, progress);
    const bool written
        = report.Outcome == repair::Verdict::Repaired || report.Outcome == repair::Verdict::Partial;
    for (const std::string& message : report.Messages)
        std::fprintf(stderr, "quillon-repair: %s\n", message.c_str());
    if (written)
        std::fprintf(stderr, "quillon-repair: fixed file saved: %s\n", output->c_str());
    if (progressLines && report.Outcome != repair::Verdict::Error)
        std::puts("{\"progress\": 1.0000}");
    if (json)
        std::puts(repair::ReportJson(report, *source, written ? output : std::nullopt).c_str());
    std::fflush(stdout);
    return ExitStatus(report.Outcome);
}
