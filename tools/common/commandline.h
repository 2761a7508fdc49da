#pragma once

#include <QString>
#include <QStringList>

#include <expected>

class QCommandLineParser;

// How a tool ends without running: the help or version it was asked for
// (exit code 0, text on standard output) or a bad command line (exit code 2, text on
// standard error).
struct CommandLineExit
{
    enum Code
    {
        Help = 0,
        StartFailed = 1,
        BadCommandLine = 2
    };

    QString text;
    int exitCode = BadCommandLine;
};

// The tool's options, or how it ends at once.
template <typename T> using CommandLine = std::expected<T, CommandLineExit>;

inline std::unexpected<CommandLineExit> badCommandLine(const QString &message)
{
    return std::unexpected(CommandLineExit{message, CommandLineExit::BadCommandLine});
}

// Parses the arguments with the parser; --help, --version (where the parser
// declares it) and anything the parser refuses end the tool.
CommandLine<void> parseCommandLine(QCommandLineParser &parser, const QStringList &arguments);

// Prints the text where its exit code says and returns that code.
int exitWith(const CommandLineExit &exit);

// Reports a tool that cannot start ("vrk6-sim: cannot listen: ...") and
// returns the exit code for it.
int startFailed(const QString &what, const QString &message);
