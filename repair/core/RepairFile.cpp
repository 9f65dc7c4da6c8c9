// SPDX-License-Identifier: MIT
#include "RepairFile.h"

#include "AtomicSink.h"
#include "Errors.h"
#include "Progress.h"
#include "Source.h"

#include <cctype>
#include <optional>
#include <sys/stat.h>

namespace repair {

namespace {

std::string ExtensionOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(uint8_t(c)));
    return extension;
}

Report Failed(Report report, const std::string& why)
{
    report.Outcome = Verdict::Error;
    report.Messages.push_back(why);
    return report;
}

} // namespace

Report RepairFile(const std::vector<std::unique_ptr<Repairer>>& families, const std::string& sourcePath,
    const std::string& output, Progress& progress)
{
    Report report;
    std::optional<Source> source;
    try {
        source.emplace(sourcePath);
    } catch (const ReadError& error) {
        return Failed(report, error.what());
    }
    struct stat st { };
    // Checked before the work as well as at the end (where the link refuses it), so that a user is not
    // kept waiting for a repair that cannot be saved.
    if (::lstat(output.c_str(), &st) == 0)
        return Failed(report, "the output file already exists: " + output);

    Repairer* chosen = nullptr;
    Recognition best;
    const std::string extension = ExtensionOf(sourcePath);
    try {
        for (const auto& family : families) {
            Recognition r = family->Recognise(*source, extension);
            if (r.Score > best.Score) {
                best = std::move(r);
                chosen = family.get();
            }
        }
    } catch (const ReadError& error) {
        report.BytesRead = source->BytesRead();
        return Failed(report, error.what());
    }
    if (!chosen) {
        report.BytesRead = source->BytesRead();
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("the kind of this file is not known");
        return report;
    }

    std::optional<AtomicSink> sink;
    const auto openSink = [&]() -> AtomicSink& {
        if (!sink)
            sink.emplace(output);
        return *sink;
    };
    try {
        report = chosen->Repair(*source, openSink, progress);
        if (report.Family.empty())
            report.Family = best.Family;
        if (report.Format.empty())
            report.Format = best.Format;
        if (report.Outcome == Verdict::Repaired || report.Outcome == Verdict::Partial) {
            if (!sink)
                throw WriteError("nothing was written for a repaired file");
            sink->Commit();
            report.BytesWritten = sink->Size();
        } else {
            report.BytesWritten = 0;
        }
    } catch (const std::exception& error) {
        // ReadError, WriteError, CancelledError, and a repairer's own failure (out of memory included).
        sink.reset();
        Report failed;
        failed.Family = best.Family;
        failed.Format = best.Format;
        failed.BytesRead = source->BytesRead();
        return Failed(failed, error.what());
    }
    report.BytesRead = source->BytesRead();
    return report;
}

} // namespace repair
