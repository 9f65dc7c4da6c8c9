// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "ExeInfo.h"

#include <QCommandLineParser>
#include <algorithm>

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

// What the application object takes out of the arguments for itself (the X11 platform's options among
// them), with one dash or two. They are taken out here too, so that the arguments can be judged before
// there is an application object: without a display, making one ends the process.
bool IsOneOf(QStringView name, std::initializer_list<const char*> names)
{
    return std::any_of(
        names.begin(), names.end(), [name](const char* n) { return name == QLatin1String(n); });
}

QStringList WithoutQtOptions(const QStringList& arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (i == 0 || !arg.startsWith(QLatin1Char('-'))) {
            kept << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            kept << arguments.mid(i);
            break;
        }
        const QStringView name = QStringView(arg).mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        if (IsOneOf(name,
                { "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                    "qwindowicon", "qwindowtitle", "session", "style", "stylesheet", "display", "geometry",
                    "title", "icon", "name", "visual" })) {
            if (++i == arguments.size())
                kept << arg; // its value is missing: left for the parser to refuse
            continue;
        }
        if (IsOneOf(name, { "reverse", "testability", "widgetcount", "nograb", "dograb" }))
            continue;
        if (name.startsWith(QLatin1String("style=")) || name.startsWith(QLatin1String("stylesheet="))
            || name.startsWith(QLatin1String("qmljsdebugger=")))
            continue;
        kept << arg;
    }
    return kept;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& all)
{
    const QStringList arguments = WithoutQtOptions(all);
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
