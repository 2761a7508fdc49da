#include "app/startup.h"

#include "acpu/modbusconnection.h"
#include "acpu/offlineconnection.h"
#include "app/hostnamedialog.h"
#include "app/mainwindow.h"
#include "model/machine.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTranslator>

#include <memory>

namespace {

void ShowBox(QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok);
    box.exec();
}

// The main window on a connection to no machine; ends when it closes.
int RunOffline()
{
    Acpu::OfflineConnection connection;
    Machine machine(&connection);
    connection.SetHost(QCoreApplication::translate("main", "offline"));
    MainWindow window(&machine);
    window.show();
    return QApplication::exec();
}

int RunRemotePanel(const QString &target)
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

} // namespace

void installTranslations(const QLocale &locale)
{
    auto *qtTranslator = new QTranslator(qApp);
    if (qtTranslator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    else
        delete qtTranslator;

    auto *translator = new QTranslator(qApp);
    if (translator->load(locale, QStringLiteral("tavix"), QStringLiteral("_"),
                         QStringLiteral(":/translations")))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

int RunApplication(const QStringList &arguments)
{
    QCoreApplication::setOrganizationName(QStringLiteral("VRK6"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("vrk6.example"));
    QCoreApplication::setApplicationName(QStringLiteral("VRK6 Remote Display"));
    QCoreApplication::setApplicationVersion(QStringLiteral("24.8.8"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));

    installTranslations(QLocale::system());

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

    if (!parser.parse(arguments)) {
        ShowBox(QMessageBox::Warning,
                QStringLiteral("<html><head/><body><pre>%1</pre><hr/><pre>%2</pre></body></html>")
                    .arg(parser.errorText().toHtmlEscaped(), parser.helpText().toHtmlEscaped()));
        return CommandLineErrorExitCode;
    }
    // "--help-all" is listed in the help text; its Qt options mean nothing here.
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        ShowBox(QMessageBox::Information,
                QStringLiteral("<html><head/><body><pre>%1</pre></body></html>")
                    .arg(parser.helpText().toHtmlEscaped()));
        return 0;
    }
    if (parser.isSet(versionOption)) {
        ShowBox(
            QMessageBox::Information,
            QStringLiteral("<html><head/><body><p>%1 %2</p></body></html>")
                .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
        return 0;
    }
    if (const QString lang = parser.value(langOption); !lang.isEmpty())
        installTranslations(QLocale(lang));

    const QStringList positional = parser.positionalArguments();
    const QString target = positional.isEmpty() ? QString() : positional.first();

    // The Backup File Editor is not part of this build yet: the option is
    // accepted and nothing of the remote panel starts.
    if (parser.isSet(fileOption))
        return 0;
    if (parser.isSet(offlineOption))
        return RunOffline();
    return RunRemotePanel(target);
}
