#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "acpu/connection.h"
#include "acpu/display.h"
#include "app/helpactions.h"
#include "app/settingskeys.h"
#include "backup/backupcreator.h"
#include "backup/backuprestorer.h"
#include "backup/messagebox.h"
#include "backup/programuploader.h"
#include "editors/parameterseditor.h"
#include "editors/teetheditor.h"
#include "model/groupfactory.h"
#include "model/machine.h"
#include "model/teeth.h"
#include "widgets/qwaitingspinner.h"
#include "widgets/screenfit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QSettings>
#include <QTimer>

#include <algorithm>

namespace {
constexpr QSize zoomedSize(621, 720);
constexpr int ZoomedDisplayPoints = 29;
constexpr int ZoomedKeypadPoints = 20;
constexpr int ZoomedLampPoints = 14;
constexpr int ZoomOutSettleMs = 100;
constexpr int StartedMessageMs = 2000;
// How long a communication error stays readable once the panel is back.
constexpr int ErrorAfterRecoveryMs = 3000;

// A tap on Alt must not hand the keyboard to the menu bar: the panel's keys
// belong to the machine. Alt held with a mnemonic still opens a menu.
class NoAltNavigationStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Widgets that are direct children of a container, as zoom treats them.
template <typename T> QList<T *> directChildren(QWidget *container)
{
    return container->findChildren<T *>(QString(), Qt::FindDirectChildrenOnly);
}

void setPointSize(QWidget *widget, qreal points)
{
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
}
} // namespace

const QHash<int, MainWindow::KeyCodes> &MainWindow::KeyMap()
{
    static const QHash<int, KeyCodes> map{
        {Qt::Key_Up, {0x05, 0x12}},
        {Qt::Key_Down, {0x18, 0x03}},
        {Qt::Key_Left, {0x13, 0x01}},
        {Qt::Key_Right, {0x04, 0x06}},
        {Qt::Key_F1, {0x81, 0x86}},
        {Qt::Key_F2, {0x82, 0x87}},
        {Qt::Key_F3, {0x83, 0x88}},
        {Qt::Key_F4, {0x84, 0x89}},
        {Qt::Key_F5, {0x85, 0x8A}},
        {Qt::Key_Escape, {0x1B, 0x1A}},
        {Qt::Key_Insert, {0x16, 0x17}},
        {Qt::Key_Delete, {0x7F, 0x08}},
        {Qt::Key_Plus, {0x2B, 0x2A}},
        {Qt::Key_Minus, {0x2D, 0x2F}},
        // The on-screen dot key sends the colon; the PC's period key is
        // deliberately not in the table.
        {Qt::Key_Colon, {0x2E, 0x28}},
        {Qt::Key_Enter, {0x0D, 0x0A}},
        {Qt::Key_Return, {0x0D, 0x0A}},
        {Qt::Key_0, {0x30, 0x29}},
        {Qt::Key_1, {0x31, 0x26}},
        {Qt::Key_2, {0x32, 0x23}},
        {Qt::Key_3, {0x33, 0x24}},
        {Qt::Key_4, {0x34, 0x41}},
        {Qt::Key_5, {0x35, 0x42}},
        {Qt::Key_6, {0x36, 0x43}},
        {Qt::Key_7, {0x37, 0x44}},
        {Qt::Key_8, {0x38, 0x45}},
        {Qt::Key_9, {0x39, 0x46}},
        {Qt::Key_A, {0x61, 0x41}},
        {Qt::Key_B, {0x62, 0x42}},
        {Qt::Key_C, {0x63, 0x43}},
        {Qt::Key_D, {0x64, 0x44}},
        {Qt::Key_E, {0x65, 0x45}},
        {Qt::Key_F, {0x66, 0x46}},
    };
    return map;
}

MainWindow::MainWindow(Machine *machine, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_machine(machine)
{
    ui->setupUi(this);
    // Nothing from the machine yet: the form's sample text is no display.
    for (QLabel *label : {ui->display1, ui->display2, ui->display3, ui->display4})
        label->clear();
    m_display = new Acpu::Display(this);
    m_spinner = new QWaitingSpinner(ui->displayFrame, true, true);
    ui->actionTrajectoryDraw->setEnabled(false);
    // The machine drives these lamps; only the Shift lamp takes clicks.
    for (QWidget *lamp : {ui->runLed, ui->errorLed, ui->mode1Led, ui->mode2Led})
        lamp->setAttribute(Qt::WA_TransparentForMouseEvents);

    QFont displayFont(QStringLiteral("Consolas"), 16);
    displayFont.setStyleHint(QFont::TypeWriter);
    for (QLabel *label : {ui->display1, ui->display2, ui->display3, ui->display4})
        label->setFont(displayFont);

    m_titlePattern = windowTitle();
    showIdentity();

    installEventFilter(this);
    installKeyFilter(ui->centralwidget);
    auto *menuStyle = new NoAltNavigationStyle;
    menuStyle->setParent(menuBar());
    menuBar()->setStyle(menuStyle);
    menuBar()->installEventFilter(this);

    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    m_initialSize = size();

    QSettings settings;
    settings.beginGroup(SettingsKeys::MainWindow);
    restoreGeometry(settings.value(SettingsKeys::Geometry).toByteArray());
    restoreState(settings.value(SettingsKeys::State).toByteArray());
    settings.endGroup();

    Acpu::Connection *connection = machine->connection();

    connect(m_display, &Acpu::Display::line1Changed, ui->display1, &QLabel::setText);
    connect(m_display, &Acpu::Display::line2Changed, ui->display2, &QLabel::setText);
    connect(m_display, &Acpu::Display::line3Changed, ui->display3, &QLabel::setText);
    connect(m_display, &Acpu::Display::line4Changed, ui->display4, &QLabel::setText);
    connect(m_display, &Acpu::Display::errorLedChanged, ui->errorLed, &QRadioButton::setChecked);
    connect(m_display, &Acpu::Display::runLedChanged, ui->runLed, &QRadioButton::setChecked);
    connect(m_display, &Acpu::Display::mode1LedChanged, ui->mode1Led, &QRadioButton::setChecked);
    connect(m_display, &Acpu::Display::mode2LedChanged, ui->mode2Led, &QRadioButton::setChecked);

    connect(connection, &Acpu::Connection::errorOccurred, this, &MainWindow::OnConnectionError);
    connect(connection, &Acpu::Connection::pollingFinished, this, &MainWindow::OnPollCompleted);
    connect(connection, &Acpu::Connection::pollingStalled, this, &MainWindow::OnPollStalled);
    connect(connection, &Acpu::Connection::stateChanged, this,
            &MainWindow::OnConnectionStateChanged);
    OnConnectionStateChanged();

    connection->StartPolling();
    // The narrow panel cuts a long error short: the whole text on hover.
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(), &QWidget::setToolTip);
    statusBar()->showMessage(tr("Application started..."), StartedMessageMs);
}

void MainWindow::showIdentity()
{
    ui->machineSerNum->setText(m_machine->identText());
    ui->machineType->setText(m_machine->modelVersion().toString());
    setWindowTitle(m_titlePattern.arg(m_machine->modelVersion().toString(), m_machine->identText(),
                                      m_machine->connection()->Host()));
}

void MainWindow::checkIdentity()
{
    const Acpu::Connection::Result result = m_machine->requestIdentification();
    if (!result)
        return;
    Acpu::Request *request = *result;
    connect(request, &Acpu::Request::finished, this, [this, request] {
        Machine now(m_machine->connection());
        if (!request->ErrorString().isEmpty() || !now.updateIdentification() ||
            (now.modelVersion() == m_machine->modelVersion() &&
             now.identText() == m_machine->identText()))
            return;
        const QString before =
            m_machine->modelVersion().toString() + QLatin1Char(' ') + m_machine->identText();
        m_machine->updateIdentification();
        showIdentity();
        const bool editorsOpen = std::any_of(m_editors.cbegin(), m_editors.cend(),
                                             [](const QPointer<LiveEditor> &e) { return e; });
        openBox(QMessageBox::Warning, tr("Another Machine"),
                tr("The machine at %1 is now %2 %3, no longer %4.")
                    .arg(m_machine->connection()->Host(), m_machine->modelVersion().toString(),
                         m_machine->identText(), before),
                this,
                editorsOpen ? tr("Parameter editors opened before still show the former "
                                 "machine's parameters: close them and open them again.")
                            : QString());
    });
}

MainWindow::~MainWindow()
{
    for (QPointer<LiveEditor> &editor : m_editors)
        delete editor.data();
}

void MainWindow::installKeyFilter(QWidget *widget)
{
    for (QWidget *child : widget->findChildren<QWidget *>())
        child->installEventFilter(this);
}

void MainWindow::OnPollCompleted()
{
    m_machine->connection()->GetDisplay(*m_display);
    showDelivering(true);
}

void MainWindow::OnPollStalled()
{
    showDelivering(false);
}

void MainWindow::OnConnectionStateChanged()
{
    switch (m_machine->connection()->State()) {
    case Acpu::Connection::Disconnected:
    case Acpu::Connection::Connecting:
        m_reconnecting = true;
        showDelivering(false);
        break;
    case Acpu::Connection::Connected:
        // A connection is no panel yet: only a refresh that succeeds shows
        // the machine is answering again.
        if (std::exchange(m_reconnecting, false))
            checkIdentity();
        break;
    case Acpu::Connection::Offline:
        m_spinner->stop();
        statusBar()->clearMessage();
        m_shownError.clear();
        break;
    }
}

void MainWindow::OnConnectionError(int errorCode, QString errorMessage)
{
    m_shownError = tr("Communication error: %2 - %1").arg(errorMessage, QString::number(errorCode));
    statusBar()->showMessage(m_shownError);
    showDelivering(false);
}

void MainWindow::showDelivering(bool delivering)
{
    // The spinner disables the display frame, whose style sheet dims the
    // text: stale lines must not pass for the machine's current ones.
    if (!delivering) {
        m_spinner->start();
        return;
    }
    m_spinner->stop();
    if (!m_shownError.isEmpty() && statusBar()->currentMessage() == m_shownError)
        statusBar()->showMessage(m_shownError, ErrorAfterRecoveryMs);
    m_shownError.clear();
}

bool MainWindow::SendQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers == Qt::ShiftModifier || shiftLatched;
    shiftLatched = false;
    ui->shiftLed->setChecked(false);
    const auto it = KeyMap().constFind(qtKey);
    if (it == KeyMap().constEnd())
        return false;
    m_machine->connection()->SendKey(shift ? it->second : it->first);
    return true;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        // Every key goes to the machine first; one it has no code for gets the
        // window's own handling, never the child's (buttons must not click).
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        if (watched == menuBar()) {
            // A menu closed with Esc leaves the keyboard on the menu bar,
            // which would take panel keys as mnemonics.
            if (!KeyMap().contains(keyEvent->key()))
                return false;
            menuBar()->clearFocus();
        }
        if (!SendQtKey(keyEvent->key(), keyEvent->modifiers()))
            QMainWindow::keyPressEvent(keyEvent);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::on_upBtn_clicked()
{
    SendQtKey(Qt::Key_Up);
}
void MainWindow::on_downBtn_clicked()
{
    SendQtKey(Qt::Key_Down);
}
void MainWindow::on_leftBtn_clicked()
{
    SendQtKey(Qt::Key_Left);
}
void MainWindow::on_rightBtn_clicked()
{
    SendQtKey(Qt::Key_Right);
}
void MainWindow::on_f1btn_clicked()
{
    SendQtKey(Qt::Key_F1);
}
void MainWindow::on_f2btn_clicked()
{
    SendQtKey(Qt::Key_F2);
}
void MainWindow::on_f3btn_clicked()
{
    SendQtKey(Qt::Key_F3);
}
void MainWindow::on_f4btn_clicked()
{
    SendQtKey(Qt::Key_F4);
}
void MainWindow::on_f5btn_clicked()
{
    SendQtKey(Qt::Key_F5);
}
void MainWindow::on_escBtn_clicked()
{
    SendQtKey(Qt::Key_Escape);
}
void MainWindow::on_insBtn_clicked()
{
    SendQtKey(Qt::Key_Insert);
}
void MainWindow::on_delBtn_clicked()
{
    SendQtKey(Qt::Key_Delete);
}
void MainWindow::on_plusBtn_clicked()
{
    SendQtKey(Qt::Key_Plus);
}
void MainWindow::on_minusBtn_clicked()
{
    SendQtKey(Qt::Key_Minus);
}
void MainWindow::on_dotBtn_clicked()
{
    SendQtKey(Qt::Key_Colon);
}
void MainWindow::on_key0btn_clicked()
{
    SendQtKey(Qt::Key_0);
}
void MainWindow::on_key1btn_clicked()
{
    SendQtKey(Qt::Key_1);
}
void MainWindow::on_key2btn_clicked()
{
    SendQtKey(Qt::Key_2);
}
void MainWindow::on_key3btn_clicked()
{
    SendQtKey(Qt::Key_3);
}
void MainWindow::on_key4btn_clicked()
{
    SendQtKey(Qt::Key_4);
}
void MainWindow::on_key5btn_clicked()
{
    SendQtKey(Qt::Key_5);
}
void MainWindow::on_key6btn_clicked()
{
    SendQtKey(Qt::Key_6);
}
void MainWindow::on_key7btn_clicked()
{
    SendQtKey(Qt::Key_7);
}
void MainWindow::on_key8btn_clicked()
{
    SendQtKey(Qt::Key_8);
}
void MainWindow::on_key9btn_clicked()
{
    SendQtKey(Qt::Key_9);
}
void MainWindow::on_enterBtn_clicked()
{
    SendQtKey(Qt::Key_Enter);
}

void MainWindow::on_shiftBtn_clicked()
{
    shiftLatched = !shiftLatched;
    ui->shiftLed->setChecked(shiftLatched);
}

void MainWindow::on_shiftLed_clicked(bool checked)
{
    shiftLatched = checked;
}

// The machine jobs delete themselves when they end; the window only starts
// them and, as their parent, takes along any still running when it goes.
void MainWindow::on_actionLoadProgram_triggered()
{
    (new ProgramUploader(m_machine, this))->DoReadyCheck();
}

void MainWindow::on_actionCreateBackup_triggered()
{
    (new BackupCreator(m_machine, this))->Start();
}

void MainWindow::on_actionRestoreBackup_triggered()
{
    (new BackupRestorer(m_machine, this))->Start();
}

void MainWindow::on_actionTechParameters_triggered()
{
    openEditor(GroupTags::TechParams);
}

void MainWindow::on_actionR_parameters_triggered()
{
    openEditor(GroupTags::RParams);
}

void MainWindow::on_actionG54_G59_triggered()
{
    openEditor(GroupTags::Coordsys);
}

void MainWindow::on_actionTools_parameters_triggered()
{
    openEditor(GroupTags::Tools);
}

void MainWindow::on_actionTeeth_parameters_triggered()
{
    openEditor(GroupTags::Teeth);
}

void MainWindow::openEditor(int groupTag)
{
    QPointer<LiveEditor> &editor = m_editors[groupTag - GroupTags::TechParams];
    if (editor) {
        editor->show();
        editor->activateWindow();
        editor->raise();
        return;
    }
    ParameterGroup *group = GroupFactory::create(groupTag);
    if (groupTag == GroupTags::Teeth)
        editor = new TeethEditor(m_machine, static_cast<Teeth *>(group));
    else
        editor = new ParametersEditor(m_machine, group);
    editor->show();
    editor->on_actionRefreshOnce_triggered();
}

void MainWindow::on_actionExit_triggered()
{
    close();
}

void MainWindow::on_actionHelpAboutQt_triggered()
{
    QMessageBox::aboutQt(this, tr("About Qt"));
}

void MainWindow::on_actionHelpAbout_triggered()
{
    HelpActions::showAbout(this, m_machine);
}

void MainWindow::on_actionCheckUpdates_triggered()
{
    HelpActions::checkForUpdates();
}

void MainWindow::on_actionClearHostHistory_triggered()
{
    QSettings settings;
    settings.remove(SettingsKeys::Hostnames);
    settings.sync();
}

void MainWindow::on_actionResetWindowsSettings_triggered()
{
    // Zoomed fonts would not fit the initial size.
    if (m_zoomed)
        zoomOut();
    resize(m_initialSize);
    setWindowState(Qt::WindowNoState);
    QSettings settings;
    settings.remove(SettingsKeys::MainWindow);
    settings.remove(SettingsKeys::FileViewer);
    settings.remove(SettingsKeys::HostnameDialog);
    settings.remove(SettingsKeys::Parameters);
    settings.sync();
}

void MainWindow::on_actionZoomWindow_triggered()
{
    if (m_zoomed)
        zoomOut();
    else
        zoomIn();
}

void MainWindow::zoomIn()
{
    m_sizeBeforeZoom = size();
    resize(zoomedSize);
    fitToScreen(this);
    const QList<QPushButton *> keys = directChildren<QPushButton>(ui->keypad);
    const QList<QLabel *> lampLabels = directChildren<QLabel>(ui->ledsFrame);
    m_savedPointSizes = {ui->display1->font().pointSizeF(),
                         keys.isEmpty() ? 0 : keys.first()->font().pointSizeF(),
                         lampLabels.isEmpty() ? 0 : lampLabels.first()->font().pointSizeF()};
    for (QLabel *label : {ui->display1, ui->display2, ui->display3, ui->display4})
        setPointSize(label, ZoomedDisplayPoints);
    for (QPushButton *key : keys)
        setPointSize(key, ZoomedKeypadPoints);
    for (QLabel *label : lampLabels)
        setPointSize(label, ZoomedLampPoints);
    ui->actionZoomWindow->setChecked(true);
    m_zoomed = true;
}

void MainWindow::zoomOut()
{
    for (QLabel *label : {ui->display1, ui->display2, ui->display3, ui->display4})
        setPointSize(label, m_savedPointSizes[0]);
    for (QPushButton *key : directChildren<QPushButton>(ui->keypad))
        setPointSize(key, m_savedPointSizes[1]);
    for (QLabel *label : directChildren<QLabel>(ui->ledsFrame))
        setPointSize(label, m_savedPointSizes[2]);
    resize(m_sizeBeforeZoom);
    setWindowState(Qt::WindowNoState);
    ui->actionZoomWindow->setChecked(false);
    m_zoomed = false;
    // The layout shrinks only after the smaller fonts have been laid out.
    QTimer::singleShot(ZoomOutSettleMs, this, [this, size = m_sizeBeforeZoom] {
        resize(size);
        setWindowState(Qt::WindowNoState);
    });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const QList<MachineJob *> jobs = findChildren<MachineJob *>();
    if (std::any_of(jobs.cbegin(), jobs.cend(),
                    [](const MachineJob *job) { return job->isRunning(); })) {
        // Cut short, a restore or an upload would leave the machine half
        // written, and nobody would say so.
        openBox(QMessageBox::Warning, tr("Machine Job Running"),
                tr("A backup, restore or program upload is still working with the machine. "
                   "Close the window when it has ended."),
                this);
        event->ignore();
        return;
    }
    bool refused = false;
    for (QPointer<LiveEditor> &editor : m_editors) {
        if (editor && !editor->close())
            refused = true;
    }
    if (!m_zoomed) {
        QSettings settings;
        settings.beginGroup(SettingsKeys::MainWindow);
        settings.setValue(SettingsKeys::Geometry, saveGeometry());
        settings.setValue(SettingsKeys::State, saveState());
    }
    if (refused) {
        event->ignore();
        return;
    }
    // Jobs waiting in their file dialogs end with the window: the dialogs
    // have no parent and would keep the program running.
    qDeleteAll(findChildren<ProgramUploader *>(Qt::FindDirectChildrenOnly));
    qDeleteAll(findChildren<BackupCreator *>(Qt::FindDirectChildrenOnly));
    qDeleteAll(findChildren<BackupRestorer *>(Qt::FindDirectChildrenOnly));
    event->accept();
}
