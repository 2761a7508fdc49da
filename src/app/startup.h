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
