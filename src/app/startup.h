#pragma once

#include <QLocale>
#include <QStringList>

// Exit code for a command line that cannot be parsed.
inline constexpr int CommandLineErrorExitCode = 22;

// Installs Qt's own and the program's translations for a locale; files that
// do not exist are skipped and earlier translators stay.
void installTranslations(const QLocale &locale);

// Everything after the application object exists: identity, style,
// translations, the command line and the application it asks for. Returns
// the process exit code.
int runApplication(const QStringList &arguments);

// Whether a window can be shown. Without a display the application object
// aborts, while the help and the version must still answer (over ssh, say).
bool hasDisplay(int argc, char **argv);
// With only a core application: prints the help, the version or what is wrong
// with the command line; anything else ends with exit code 1 and the reason.
int runWithoutDisplay(const QStringList &arguments);
