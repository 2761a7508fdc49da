#include "app/versiondialog.h"
#include "ui_versiondialog.h"

#include "model/machine.h"
#include "updater/buildinfo.h"

#include <QKeyEvent>

namespace {
const QString Maker = QStringLiteral("The VRK6 Remote Display project");
constexpr int Year = 2026;
const QString ReleaseInfoUrl = QStringLiteral("https://vrk6.example/vrk6-display/releases/");
} // namespace

VersionDialog::VersionDialog(QWidget *parent) : QDialog(parent), ui(new Ui::VersionDialog)
{
    setUp(tr("not connected"));
}

VersionDialog::VersionDialog(Machine *machine, QWidget *parent)
    : QDialog(parent), ui(new Ui::VersionDialog)
{
    setUp(QStringLiteral("%1, %2, %3")
              .arg(machine->typeTitle(), machine->identText(), machine->softwareText()));
}

VersionDialog::~VersionDialog() = default;

void VersionDialog::setUp(const QString &machineText)
{
    ui->setupUi(this);
    setWindowTitle(tr("About %1").arg(QGuiApplication::applicationDisplayName()));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->textLabel->setText(
        tr("<h3>%1 %2</h3><br/>Build ID: %3<br/>"
           "&copy; %4 %5<br/><br/>"
           "Connected machine: %7<br/><br/>"
           "This program comes without any warranty. Check the machine's parameters before you "
           "run it.<br/><br/>"
           "<a href=\"%6\">Release info</a>")
            .arg(QGuiApplication::applicationDisplayName(), BuildInfo::version(),
                 BuildInfo::buildId(), QString::number(Year), Maker, ReleaseInfoUrl,
                 machineText.toHtmlEscaped()));
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::close);
}

bool VersionDialog::event(QEvent *event)
{
    // Escape belongs to the dialog, whatever shortcut the window behind has.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QDialog::event(event);
}
