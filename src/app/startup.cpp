#include "app/startup.h"

#include "acpu/modbusconnection.h"
#include "acpu/offlineconnection.h"
#include "app/hostnamedialog.h"
#include "app/mainwindow.h"
#include "backup/fileviewer.h"
#include "model/machine.h"
#include "updater/buildinfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

#include <cstdio>
#include <expected>
#include <memory>

namespace {

void showBox(QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok);
    box.exec();
}

// The main window on a connection to no machine; ends when it closes.
int runOffline()
{
    Acpu::OfflineConnection connection;
    Machine machine(&connection);
    connection.SetHost(QCoreApplication::translate("main", "offline"));
    MainWindow window(&machine);
    window.show();
    return QApplication::exec();
}

// The Backup File Editor alone: its windows end the loop when the last one
// goes, so no other top-level window may keep the program or end it.
int runFileEditor(const QString &fileName)
{
    QApplication::setQuitOnLastWindowClosed(false);
    auto restore = qScopeGuard([] { QApplication::setQuitOnLastWindowClosed(true); });
    FileViewer *window = fileName.isEmpty() ? new FileViewer() : new FileViewer(fileName);
    window->show();
    return QApplication::exec();
}

int runRemotePanel(const QString &target)
{
    // Created first and destroyed last: every window reaches the machine
    // through them.
    auto connection = std::make_unique<Acpu::ModbusConnection>();
    auto machine = std::make_unique<Machine>(connection.get());
    auto dialog = std::make_unique<HostnameDialog>(machine.get(), target);
    if (dialog->exec() != QDialog::Accepted)
        return 0;
    dialog.reset();
    MainWindow window(machine.get());
    window.show();
    return QApplication::exec();
}

// What the command line asks for.
struct Launch
{
    enum Mode
    {
        RemotePanel,
        FileEditor,
        Offline
    };
    Mode mode = RemotePanel;
    QString target;
    QString language;
};

// A command line that ends the program at once, with a box: the help, the
// version, or what is wrong with it. Without a display, plain is printed.
struct Ending
{
    QMessageBox::Icon icon;
    QString text;
    int exitCode;
    QString plain;
};

std::expected<Launch, Ending> parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::applicationName());
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption langOption(
        {QStringLiteral("l"), QStringLiteral("lang")},
        QCoreApplication::translate("main", "User interface language."), QStringLiteral("lang"));
    const QCommandLineOption fileOption(
        {QStringLiteral("f"), QStringLiteral("file")},
        QCoreApplication::translate("main", "Open backup file viewer."));
    const QCommandLineOption offlineOption(
        {QStringLiteral("o"), QStringLiteral("offline")},
        QCoreApplication::translate("main", "Run in offline mode."));
    parser.addOptions({langOption, fileOption, offlineOption});
    parser.addPositionalArgument(
        QStringLiteral("target"),
        QCoreApplication::translate("main", "Machine IP address.\n- OR -\nBackup file to open."),
        QStringLiteral("[target]"));

    if (!parser.parse(arguments))
        return std::unexpected(Ending{
            QMessageBox::Warning,
            QStringLiteral("<html><head/><body><pre>%1</pre><hr/><pre>%2</pre></body></html>")
                .arg(parser.errorText().toHtmlEscaped(), parser.helpText().toHtmlEscaped()),
            CommandLineErrorExitCode,
            parser.errorText() + QStringLiteral("\n\n") + parser.helpText()});
    // "--help-all" is listed in the help text; its Qt options mean nothing here.
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all")))
        return std::unexpected(
            Ending{QMessageBox::Information,
                   QStringLiteral("<html><head/><body><pre>%1</pre></body></html>")
                       .arg(parser.helpText().toHtmlEscaped()),
                   0, parser.helpText()});
    if (parser.isSet(versionOption))
        return std::unexpected(Ending{
            QMessageBox::Information,
            QStringLiteral("<html><head/><body><p>%1 %2</p></body></html>")
                .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()),
            0,
            QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() +
                u'\n'});

    Launch launch;
    launch.language = parser.value(langOption);
    const QStringList positional = parser.positionalArguments();
    launch.target = positional.isEmpty() ? QString() : positional.first();
    if (parser.isSet(fileOption))
        launch.mode = Launch::FileEditor;
    else if (parser.isSet(offlineOption))
        launch.mode = Launch::Offline;
    return launch;
}

void setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("VRK6"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("vrk6.example"));
    QCoreApplication::setApplicationName(QStringLiteral("VRK6 Remote Display"));
    QCoreApplication::setApplicationVersion(BuildInfo::version());
}

} // namespace

bool hasDisplay(int argc, char **argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#endif
}

int runWithoutDisplay(const QStringList &arguments)
{
    setIdentity();
    installTranslations(QLocale::system());
    const auto launch = parseCommandLine(arguments);
    if (launch) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate(
                                    "main", "%1: there is no display to show a window on.")
                                    .arg(QCoreApplication::applicationName())));
        return 1;
    }
    std::fputs(qPrintable(launch.error().plain), launch.error().exitCode == 0 ? stdout : stderr);
    return launch.error().exitCode;
}

void installTranslations(const QLocale &locale)
{
    QObject *const app = QCoreApplication::instance();
    const QList<QTranslator *> earlier =
        app->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly);

    auto *translator = new QTranslator(app);
    if (!translator->load(locale, QStringLiteral("tavix"), QStringLiteral("_"),
                          QStringLiteral(":/translations"))) {
        delete translator;
        translator = nullptr;
    }
    // A language of the program's own replaces the earlier one: English is
    // the source language, its file is empty and would let Czech show through.
    if (translator) {
        for (QTranslator *old : earlier) {
            QCoreApplication::removeTranslator(old);
            delete old;
        }
    }

    auto *qtTranslator = new QTranslator(app);
    if (qtTranslator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    else
        delete qtTranslator;
    if (translator)
        QCoreApplication::installTranslator(translator);
}

int runApplication(const QStringList &arguments)
{
    setIdentity();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));

    installTranslations(QLocale::system());

    const auto launch = parseCommandLine(arguments);
    if (!launch) {
        showBox(launch.error().icon, launch.error().text);
        return launch.error().exitCode;
    }
    if (!launch->language.isEmpty())
        installTranslations(QLocale(launch->language));
    // Every window and the host history would be forgotten at the end, unseen.
    if (const QSettings settings; !settings.isWritable())
        showBox(QMessageBox::Warning,
                QCoreApplication::translate(
                    "main", "The settings cannot be saved to %1. Window positions and the host "
                            "history will be forgotten when the program ends.")
                    .arg(QDir::toNativeSeparators(settings.fileName())));

    switch (launch->mode) {
    case Launch::FileEditor:
        return runFileEditor(launch->target);
    case Launch::Offline:
        return runOffline();
    case Launch::RemotePanel:
        break;
    }
    return runRemotePanel(launch->target);
}
