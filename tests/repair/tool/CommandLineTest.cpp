// SPDX-License-Identifier: MIT
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace repairtest;

namespace {

struct Finished {
    int status = -1;
    std::string out, err;
};

std::string Slurp(const std::string& path)
{
    const Bytes b = ReadFile(path);
    return std::string(b.begin(), b.end());
}

// Runs the command line in a child, optionally under a file-size limit, and collects what it printed.
Finished Repair(const TempDir& dir, std::vector<std::string> args, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const std::string out = dir.Path(".stdout"), err = dir.Path(".stderr");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (fileSizeLimit != RLIM_INFINITY) {
            const rlimit limit { fileSizeLimit, fileSizeLimit };
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> argv { const_cast<char*>(QUILLON_REPAIR_TOOL) };
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    Finished r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    r.out = Slurp(out);
    r.err = Slurp(err);
    ::unlink(out.c_str());
    ::unlink(err.c_str());
    return r;
}

Bytes Fixture(const char* name)
{
    return ReadFile(std::string(QUILLON_FIXTURES "/zip/") + name);
}

Bytes CutBeforeDirectory(Bytes b)
{
    const uint8_t sig[] = { 'P', 'K', 1, 2 };
    b.resize(size_t(std::search(b.begin(), b.end(), sig, sig + 4) - b.begin()));
    return b;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

struct Case {
    const char* name;
    Bytes source;
    std::vector<std::string> extra; // arguments before the source
    bool outputExists;
    int status;
    const char* verdict; // in the JSON
    bool written;
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

TEST(CommandLine, ExitStatusJsonAndWhatIsLeft)
{
    Bytes zeroed = Fixture("infozip.zip");
    std::fill(zeroed.begin() + 8192, zeroed.begin() + 12288, 0);
    const Case cases[] = {
        { "cut before its directory: whole content", CutBeforeDirectory(Fixture("infozip.zip")), {}, false, 0,
            "repaired", true },
        { "part lost", zeroed, {}, false, 1, "partial", true },
        { "intact: nothing written", Fixture("infozip.zip"), {}, false, 2, "intact", false },
        { "unknown kind", Bytes(5000, 'x'), {}, false, 3, "unrecoverable", false },
        { "output exists", CutBeforeDirectory(Fixture("infozip.zip")), {}, true, 4, "error", false },
        { "disk full", CutBeforeDirectory(Fixture("infozip.zip")), {}, false, 4, "error", false, 16 * 1024 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string source = dir.Path("in.zip"), output = dir.Path("out.zip");
        WriteFile(source, c.source);
        if (c.outputExists)
            WriteFile(output, { 'k', 'e', 'e', 'p' });
        std::vector<std::string> args = c.extra;
        for (const char* a : { "--json", "--output" })
            args.push_back(a);
        args.push_back(output);
        args.push_back(source);
        const Finished r = Repair(dir, args, c.fileSizeLimit);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(ReadFile(source), c.source);
        EXPECT_TRUE(Has(r.out, std::string("\"verdict\":\"") + c.verdict + "\"")) << r.out;
        EXPECT_TRUE(Has(r.out, c.written ? "\"output\":\"" + output + "\"" : std::string("\"output\":null")))
            << r.out;
        for (const char* field :
            { "\"source\":", "\"family\":", "\"format\":", "\"parts_total\":", "\"parts_recovered\":",
                "\"bytes_read\":", "\"bytes_written\":", "\"lost\":", "\"messages\":" })
            EXPECT_TRUE(Has(r.out, field)) << field;
        EXPECT_EQ(List(dir.Path()).size(), c.written || c.outputExists ? 2u : 1u) << "a file left behind";
        if (c.outputExists) {
            EXPECT_EQ(ReadFile(output), (Bytes { 'k', 'e', 'e', 'p' }));
        }
        if (c.status >= 3) {
            EXPECT_FALSE(r.err.empty()) << "no message says why";
        }
        if (c.written) {
            EXPECT_EQ(std::system(("unzip -tq " + output + " >/dev/null").c_str()), 0);
        }
    }
}

TEST(CommandLine, UsageVersionAndProgress)
{
    TempDir dir;
    for (const std::vector<std::string>& args :
        std::vector<std::vector<std::string>> { {}, { "--bogus", "x" }, { "a", "b" }, { "--output" } }) {
        const Finished r = Repair(dir, args);
        EXPECT_EQ(r.status, 64);
        EXPECT_TRUE(Has(r.err, "usage: quillon-repair")) << r.err;
    }
    EXPECT_EQ(Repair(dir, { "--version" }).out, "quillon-repair 2.1\n");
    EXPECT_EQ(Repair(dir, { "--help" }).status, 0);

    const std::string source = dir.Path("in.zip");
    WriteFile(source, CutBeforeDirectory(Fixture("infozip.zip")));
    const Finished r = Repair(dir, { "--progress", "--output", dir.Path("out.zip"), source });
    EXPECT_EQ(r.status, 0);
    double last = -1;
    int lines = 0;
    for (size_t at = 0; (at = r.out.find("{\"progress\": ", at)) != std::string::npos; ++lines) {
        const double f = std::stod(r.out.substr(at + 13));
        EXPECT_GE(f, last);
        EXPECT_LE(f, 1.0);
        last = f;
        at = r.out.find('\n', at);
        ASSERT_NE(at, std::string::npos) << "a progress line not ended";
    }
    EXPECT_GE(lines, 2);
    EXPECT_DOUBLE_EQ(last, 1.0);
}

TEST(CommandLine, DefaultOutputBesideTheSource)
{
    TempDir dir;
    const std::string source = dir.Path("report.zip");
    WriteFile(source, CutBeforeDirectory(Fixture("7z.zip")));
    const Finished r = Repair(dir, { source });
    EXPECT_EQ(r.status, 0) << r.err;
    const auto names = List(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    const std::string fixed = names[0] == "report.zip" ? names[1] : names[0];
    EXPECT_EQ(fixed.size(), std::string("report_r").size() + 14 + 4) << fixed;
    EXPECT_EQ(fixed.rfind("report_r", 0), 0u) << fixed;
}

} // namespace
