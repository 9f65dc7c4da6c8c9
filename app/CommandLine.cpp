// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "ExeInfo.h"

#include <QCommandLineParser>

namespace {

struct TParser {
    TParser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Offers to repair a damaged office, archive, image, music or video file."));
        // "-v" and "-h" are options of their own, never a run of one-letter options.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
        parser.addPositionalArgument(QStringLiteral("file"),
            QStringLiteral("The damaged file to repair, chosen as if picked with \"...\"."),
            QStringLiteral("[file]"));
    }
    QCommandLineParser parser;
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Displays help on the command line and exits.") };
    QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Displays the program's version and exits.") };
};

} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments)
{
    TParser p;
    TCommandLine line;
    if (!p.parser.parse(arguments))
        line.Error = p.parser.errorText();
    line.Help = p.parser.isSet(p.help);
    line.Version = p.parser.isSet(p.version);
    const QStringList files = p.parser.positionalArguments();
    if (!files.isEmpty())
        line.File = files.constFirst();
    if (files.size() > 1 && line.Error.isEmpty())
        line.Error = QStringLiteral("One file at most, not %1.").arg(files.size());
    return line;
}

QString CommandLineHelp()
{
    return TParser().parser.helpText();
}

QString CommandLineVersion()
{
    const TExeInfo info;
    return info.ProductName() + QLatin1Char(' ') + info.ProductVersion() + QLatin1Char('\n');
}
