// SPDX-License-Identifier: MIT
#include "CommandLine.h"
#include "Fakes.h"
#include "Paths.h"

#include <QDir>
#include <QProcess>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ParseCase {
    const char* name;
    QStringList arguments; // after the program's name
    bool help;
    bool version;
    std::optional<QString> file;
    bool error;
};

TEST(CommandLine, Parse)
{
    const QString odd = DecodePath("/tmp/caf\xe9.doc");
    const ParseCase cases[] = {
        { "nothing", {}, false, false, std::nullopt, false },
        { "file", { "/tmp/a.doc" }, false, false, QStringLiteral("/tmp/a.doc"), false },
        { "name not UTF-8", { odd }, false, false, odd, false },
        { "help", { "--help" }, true, false, std::nullopt, false },
        { "short help", { "-h" }, true, false, std::nullopt, false },
        { "version", { "--version" }, false, true, std::nullopt, false },
        { "short version", { "-v" }, false, true, std::nullopt, false },
        { "a name that looks like an option", { "--", "-v.doc" }, false, false, QStringLiteral("-v.doc"),
            false },
        { "unknown option", { "--bogus", "a.doc" }, false, false, QStringLiteral("a.doc"), true },
        // The application object's own options, with their values, are no file and no error.
        { "help among Qt's options", { "-platform", "offscreen", "-reverse", "--help" }, true, false,
            std::nullopt, false },
        { "file among Qt's options", { "--style", "fusion", "-stylesheet=a.qss", "a.doc", "-display", ":1" },
            false, false, QStringLiteral("a.doc"), false },
        { "Qt's option after the end of options", { "--", "-reverse" }, false, false,
            QStringLiteral("-reverse"), false },
        { "unknown one-dash option", { "-x" }, false, false, std::nullopt, true },
        { "two files", { "a.doc", "b.doc" }, false, false, QStringLiteral("a.doc"), true },
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TCommandLine line = ParseCommandLine(QStringList { QStringLiteral("quillon") } + c.arguments);
        EXPECT_EQ(line.Help, c.help);
        EXPECT_EQ(line.Version, c.version);
        EXPECT_EQ(line.File, c.file);
        EXPECT_EQ(!line.Error.isEmpty(), c.error) << line.Error.toStdString();
    }
}

TEST(CommandLine, VersionAndHelpTexts)
{
    EXPECT_EQ(CommandLineVersion(), QStringLiteral("Quillon 2.1 Build 2\n"));
    const QString help = CommandLineHelp();
    for (const char* part : { "[file]", "--help", "--version" })
        EXPECT_TRUE(help.contains(QLatin1String(part))) << help.toStdString();
}

struct RunCase {
    const char* name;
    QStringList arguments;
    int status;
    const char* out; // expected in standard output
    const char* err; // expected in standard error
};

// The program itself, without a display: what it says and its exit status come before any window.
TEST(CommandLine, AnsweredWithoutADisplay)
{
    const RunCase cases[] = {
        { "unknown option", { "--bogus" }, 64, "", "Unknown option 'bogus'" },
        { "unknown option and a file", { "--bogus", "a.doc" }, 64, "", "Usage:" },
        { "two files", { "a.doc", "b.doc" }, 64, "", "One file at most" },
        { "option value missing", { "-platform" }, 64, "", "Usage:" },
        { "help", { "--help" }, 0, "Usage:", "" },
        { "version", { "-v" }, 0, "Quillon 2.1 Build 2", "" },
        { "help among Qt's options", { "-platform", "xcb", "-h" }, 0, "Usage:", "" },
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        env.remove(QLatin1String(name));
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QUILLON_PROGRAM), c.arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.status) << err.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String(c.out))) << out.toStdString();
        EXPECT_TRUE(err.contains(QLatin1String(c.err))) << err.toStdString();
        EXPECT_TRUE(c.status == 0 ? err.isEmpty() : out.isEmpty());
    }
}

// The file named on the command line against the same file chosen with "...".
class CommandLineFile : public ::testing::Test {
protected:
    T_mainForm& form() { return box.form(); }
    Sandbox box;
};

TEST_F(CommandLineFile, TakenExactlyAsTheChooserTakesIt)
{
    const QString source = DecodePath(EncodePath(box.files.path()) + "/r\xe9port.doc");
    const int fd = ::open(EncodePath(source).constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "AB", 2), 2);
    ::close(fd);

    box.start();
    box.choose(source);
    const QStringList chosen { form().FileAdvEdit->text(), form().FixedFile,
        form().OutputFileStaticText->text(), box.storedPath().value_or(QString()),
        form().LogMemo->toPlainText() };
    QFile::remove(box.iniFile());

    box.start();
    form().take_command_line_file(source);
    const QStringList taken { form().FileAdvEdit->text(), form().FixedFile,
        form().OutputFileStaticText->text(), box.storedPath().value_or(QString()),
        form().LogMemo->toPlainText() };
    EXPECT_EQ(taken, chosen);
    EXPECT_EQ(form().FileAdvEdit->text(), source);
    EXPECT_EQ(box.storedPath(), box.files.path() + QLatin1Char('/'));
    EXPECT_TRUE(form().ChangeLabel->isEnabled());
    EXPECT_TRUE(form().BrowseLabel->isEnabled());
    EXPECT_FALSE(form().OpenLabel->isEnabled());
}

TEST_F(CommandLineFile, RelativeNameIsTakenFromTheCurrentFolder)
{
    box.files.write(QStringLiteral("rel.doc"), "AB");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(box.files.path() + QStringLiteral("/.")));
    box.start();
    form().take_command_line_file(QStringLiteral("./sub/../rel.doc"));
    QDir::setCurrent(before);
    EXPECT_EQ(form().FileAdvEdit->text(), box.files.path() + QStringLiteral("/rel.doc"));
}

struct RefusedCase {
    const char* name;
    QString path;
    QString line;
};

TEST_F(CommandLineFile, UnusableFileStartsNormallyWithOneLineWhy)
{
    const QString missing = box.files.file(QStringLiteral("missing.doc"));
    const QString fifo = box.files.file(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(EncodePath(fifo).constData(), 0600), 0);
    const QString prefix = QStringLiteral("File from the command line not taken. ");
    const RefusedCase cases[] = {
        { "missing", missing, prefix + "Cannot open file \"" + missing + "\". No such file or directory" },
        { "folder", box.files.path(),
            prefix + "Cannot open file \"" + box.files.path() + "\". Is a directory" },
        { "pipe", fifo, prefix + "Cannot open file \"" + fifo + "\". Not a regular file" },
        { "unreadable", QStringLiteral("/proc/self/mem"), prefix + "Cannot read file \"/proc/self/mem\". " },
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        box.start();
        form().take_command_line_file(c.path);
        const QStringList log = box.log();
        ASSERT_EQ(log.size(), 2);
        EXPECT_EQ(log.at(0), QStringLiteral("Ready"));
        EXPECT_TRUE(log.at(1).startsWith(c.line)) << log.at(1).toStdString();
        EXPECT_EQ(form().FileAdvEdit->text(), box.documents());
        EXPECT_FALSE(form().ChangeLabel->isEnabled());
        EXPECT_FALSE(box.storedPath().has_value());
    }
}

} // namespace
