#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

CommandLine<void> parseCommandLine(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments))
        return badCommandLine(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        return std::unexpected(CommandLineExit{parser.helpText(), CommandLineExit::Help});
    // Only a parser that declares --version accepts it; the others refused it above.
    const QStringList given = parser.optionNames();
    if (given.contains(QStringLiteral("version")) || given.contains(QStringLiteral("v")))
        return std::unexpected(CommandLineExit{QCoreApplication::applicationName() +
                                                   QLatin1Char(' ') +
                                                   QCoreApplication::applicationVersion(),
                                               CommandLineExit::Help});
    return {};
}

int exitWith(const CommandLineExit &exit)
{
    QString text = exit.text;
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    std::fputs(qPrintable(text), exit.exitCode == CommandLineExit::Help ? stdout : stderr);
    return exit.exitCode;
}

int startFailed(const QString &what, const QString &message)
{
    std::fprintf(stderr, "%s: %s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(what), qPrintable(message));
    return CommandLineExit::StartFailed;
}
