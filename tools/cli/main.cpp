// vrk6-cli: the headless tool for scripted and fleet work on VRK/ZUM
// machines. Runs the same machine traffic as the windows, on vrk6core alone.
#include "backupcommand.h"
#include "commandline.h"
#include "convertcommand.h"
#include "diffcommand.h"
#include "discovercommand.h"
#include "identifycommand.h"
#include "quitonsignal.h"
#include "readcommand.h"
#include "restorecommand.h"
#include "updater/buildinfo.h"
#include "uploadcommand.h"
#include "validatecommand.h"

#include <QCoreApplication>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace {
using Factory = std::function<Command *()>;

std::vector<Factory> commands()
{
    return {[] { return new DiscoverCommand; }, [] { return new IdentifyCommand; },
            [] { return new ReadCommand; },     [] { return new BackupCommand; },
            [] { return new RestoreCommand; },  [] { return new UploadCommand; },
            [] { return new DiffCommand; },     [] { return new ValidateCommand; },
            [] { return new ConvertCommand; }};
}

QString usage()
{
    QString text = QStringLiteral("Usage: vrk6-cli COMMAND [OPTIONS] [ARGUMENTS]\n\n"
                                  "Commands (each takes --help):\n");
    for (const Factory &make : commands()) {
        std::unique_ptr<Command> command(make());
        text += QStringLiteral("  %1 %2\n").arg(command->name(), -9).arg(command->syntax());
    }
    return text + QStringLiteral(
                      "\nEvery command takes --json (one JSON document on standard output) and "
                      "--quiet (no progress on\nstandard error). Hosts: m1.local, 10.0.0.5:1502, "
                      "[fe80::1]:1502 (Modbus port 502 unless given).\n"
                      "Exit codes: 0 success, 1 at least one machine or file failed, 2 bad "
                      "command line.\n");
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The program's names: safety copies go where the windows keep theirs.
    QCoreApplication::setOrganizationName(QStringLiteral("VRK6"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("vrk6.example"));
    QCoreApplication::setApplicationName(QStringLiteral("VRK6 Remote Display"));
    app.setApplicationVersion(BuildInfo::version());

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return exitWith({usage()});
    const QString name = args.takeFirst();
    if (name == QStringLiteral("--help") || name == QStringLiteral("-h") ||
        name == QStringLiteral("help"))
        return exitWith({usage(), CommandLineExit::Help});
    if (name == QStringLiteral("--version"))
        return exitWith(
            {QStringLiteral("vrk6-cli ") + BuildInfo::version(), CommandLineExit::Help});
    std::unique_ptr<Command> command;
    for (const Factory &make : commands()) {
        command.reset(make());
        if (command->name() == name)
            break;
        command.reset();
    }
    if (!command)
        return exitWith({QStringLiteral("vrk6-cli: unknown command '%1'\n\n").arg(name) + usage()});
    if (const auto prepared = command->prepare(args); !prepared)
        return exitWith(prepared.error());
    int exitCode = Output::Failed;
    QObject::connect(command.get(), &Command::finished, &app, [&exitCode](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    });
    // Interrupted: the work in flight is given up and reported as failed, with
    // what it did; no file is left half-written (saves are atomic).
    QuitOnSignal quitOnSignal([&command] { command->interrupt(); });
    QTimer::singleShot(0, command.get(), &Command::start);
    app.exec();
    return exitCode;
}
