#pragma once

#include <QGuiApplication>
#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <utility>

class LiveEditor;
class Machine;
class QWaitingSpinner;

namespace Acpu {
class Display;
}

namespace Ui {
class MainWindow;
}

// The remote operator panel: mirrors the machine's display and lamps, sends
// keys from the on-screen keypad and the PC keyboard, and is the menu hub.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Panel code of a Qt key: plain and with Shift.
    using KeyCodes = std::pair<int, int>;
    static const QHash<int, KeyCodes> &KeyMap();

    explicit MainWindow(Machine *machine, QWidget *parent = nullptr);
    ~MainWindow() override;

    bool isZoomed() const { return m_zoomed; }
    QWaitingSpinner *spinner() const { return m_spinner; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void OnPollCompleted();
    void OnPollStalled();
    void OnConnectionError(int errorCode, QString errorMessage);
    void OnConnectionStateChanged();

    void on_upBtn_clicked();
    void on_downBtn_clicked();
    void on_leftBtn_clicked();
    void on_rightBtn_clicked();
    void on_f1btn_clicked();
    void on_f2btn_clicked();
    void on_f3btn_clicked();
    void on_f4btn_clicked();
    void on_f5btn_clicked();
    void on_escBtn_clicked();
    void on_insBtn_clicked();
    void on_delBtn_clicked();
    void on_plusBtn_clicked();
    void on_minusBtn_clicked();
    void on_dotBtn_clicked();
    void on_key0btn_clicked();
    void on_key1btn_clicked();
    void on_key2btn_clicked();
    void on_key3btn_clicked();
    void on_key4btn_clicked();
    void on_key5btn_clicked();
    void on_key6btn_clicked();
    void on_key7btn_clicked();
    void on_key8btn_clicked();
    void on_key9btn_clicked();
    void on_enterBtn_clicked();
    void on_shiftBtn_clicked();
    void on_shiftLed_clicked(bool checked);

    void on_actionLoadProgram_triggered();
    void on_actionCreateBackup_triggered();
    void on_actionRestoreBackup_triggered();
    void on_actionTechParameters_triggered();
    void on_actionR_parameters_triggered();
    void on_actionG54_G59_triggered();
    void on_actionTools_parameters_triggered();
    void on_actionTeeth_parameters_triggered();
    void on_actionExit_triggered();
    void on_actionHelpAboutQt_triggered();
    void on_actionHelpAbout_triggered();
    void on_actionCheckUpdates_triggered();
    void on_actionClearHostHistory_triggered();
    void on_actionResetWindowsSettings_triggered();
    void on_actionZoomWindow_triggered();

private:
    // False when the key has no panel code (nothing is sent).
    bool SendQtKey(int qtKey,
                   Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers());
    void installKeyFilter(QWidget *widget);
    // Raises the group's editor, or opens a new one and reads its values.
    void openEditor(int groupTag);
    // Spinner and dimmed display while the machine's panel is not coming in.
    void showDelivering(bool delivering);
    void zoomIn();
    void zoomOut();
    // Type, version and serial number in the labels and the title.
    void showIdentity();
    // After a reconnect: another control unit may answer at the address.
    void checkIdentity();

    std::unique_ptr<Ui::MainWindow> ui;
    Machine *m_machine;
    Acpu::Display *m_display;
    QWaitingSpinner *m_spinner;
    // Technological parameters, R parameters, G54-G59, tools, teeth.
    std::array<QPointer<LiveEditor>, 5> m_editors;
    bool shiftLatched = false;
    // The communication error in the status bar until the panel is back.
    QString m_shownError;
    bool m_zoomed = false;
    // Set when the connection went down: the next connection is identified.
    bool m_reconnecting = false;
    QString m_titlePattern;
    QSize m_initialSize;
    QSize m_sizeBeforeZoom;
    // Point sizes of the display labels, keypad buttons and lamp labels
    // while zoomed.
    std::array<qreal, 3> m_savedPointSizes{};
};
