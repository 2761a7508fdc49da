// The shared feedback pieces: the waiting spinner and the message helpers,
// on real requests.
#include "acpu/offlineconnection.h"
#include "acpu/request.h"
#include "backup/messagebox.h"
#include "privatenetwork.h"
#include "widgets/qwaitingspinner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

namespace {
// The spinner drawn alone on a transparent image.
QImage Render(QWaitingSpinner &spinner)
{
    QImage image(spinner.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    spinner.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QMessageBox *OpenBox(QWidget *parent)
{
    const QList<QMessageBox *> boxes = parent->findChildren<QMessageBox *>();
    return boxes.size() == 1 ? boxes.first() : nullptr;
}
} // namespace

class TestFeedback : public QObject
{
    Q_OBJECT
private slots:
    void spinnerGeometryAndTimer();
    void spinnerDisablesAndCentresOnParent();
    void spinnerTrailFades();
    void progressFollowsTheRequest();
    void quickRequestShowsNoWaitBox();
    void errorBoxes();
};

void TestFeedback::spinnerGeometryAndTimer()
{
    QWidget parent;
    QWaitingSpinner spinner(&parent, true, true);
    QCOMPARE(spinner.size(), QSize(40, 40));
    QCOMPARE(spinner.numberOfLines(), 20);
    QCOMPARE(spinner.timerInterval(), 31);
    QVERIFY(spinner.isHidden());
    QVERIFY(!spinner.isTimerActive());

    spinner.start();
    spinner.start();
    QCOMPARE(spinner.findChildren<QTimer *>().size(), 1);
    QVERIFY(spinner.isTimerActive());
    // 31 ms a line: well past one revolution's first few lines in 200 ms.
    QTRY_VERIFY_WITH_TIMEOUT(spinner.currentCounter() >= 3, 1000);
    spinner.stop();
    QCOMPARE(spinner.currentCounter(), 0);
    QVERIFY(!spinner.isTimerActive());
    QVERIFY(spinner.isHidden());
}

void TestFeedback::spinnerDisablesAndCentresOnParent()
{
    QWidget parent;
    parent.resize(301, 151);
    QWidget sibling(&parent);
    QWaitingSpinner spinner(&parent, true, true);
    parent.show();
    spinner.start();
    QVERIFY(spinner.isVisible());
    QVERIFY(spinner.isSpinning());
    QVERIFY(!parent.isEnabled());
    QVERIFY(!sibling.isEnabled());
    QCOMPARE(spinner.pos(), QPoint(150 - 20, 75 - 20));
    // Follows the parent's size on the next paint.
    parent.resize(400, 200);
    spinner.update();
    QTRY_COMPARE(spinner.pos(), QPoint(200 - 20, 100 - 20));
    spinner.stop();
    QVERIFY(parent.isEnabled());
    QVERIFY(sibling.isEnabled());
    QVERIFY(!spinner.isVisible());
}

void TestFeedback::spinnerTrailFades()
{
    QWaitingSpinner spinner(nullptr, false, false);
    const QImage image = Render(spinner);
    // Counter 0: line 0 points right and is the primary line, full black.
    const QColor primary = image.pixelColor(20 + 10 + 5, 20);
    QVERIFY2(primary.alpha() >= 235, qPrintable(QString::number(primary.alpha())));
    QCOMPARE(primary.rgb() & 0xffffff, 0u);
    // Line 10 points left, 10 lines behind: alpha 1 - (1 - 0.0314) / 17 * 10.
    const int behind = image.pixelColor(20 - 10 - 5, 20).alpha();
    QVERIFY2(qAbs(behind - 0.43 * primary.alpha()) <= 10, qPrintable(QString::number(behind)));
    // Line 1 is 19 lines behind, past the fade: the minimum opacity.
    const double angle = qDegreesToRadians(18.0);
    const int x = qRound(20 + 15 * std::cos(angle));
    const int y = qRound(20 + 15 * std::sin(angle));
    QVERIFY2(image.pixelColor(x, y).alpha() <= 12,
             qPrintable(QString::number(image.pixelColor(x, y).alpha())));
}

void TestFeedback::progressFollowsTheRequest()
{
    QWidget parent;
    parent.show();
    auto *request = new Acpu::Request({Acpu::VarRange{1024, 100}}, 60,
                                      QList<Acpu::Value>(100, Acpu::Value{1.5f}));
    QPointer<QProgressDialog> dialog = ShowProgress(request, &parent);
    QCOMPARE(dialog->labelText(), QStringLiteral("Writing data..."));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Please Wait"));
    QCOMPARE(dialog->minimumDuration(), 200);
    QVERIFY(!dialog->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 1000);
    request->AddProgress(60);
    QCOMPARE(dialog->value(), 60);
    request->SetFinished(true);
    QTRY_VERIFY(dialog.isNull());
}

void TestFeedback::quickRequestShowsNoWaitBox()
{
    QWidget parent;
    parent.show();
    Acpu::OfflineConnection connection;
    connection.SetHost(QStringLiteral("offline"));
    Acpu::Request *request = connection.Read({Acpu::VarRange{256, 14}}).value();
    QPointer<QProgressDialog> dialog = ShowProgress(request, &parent);
    QCOMPARE(dialog->labelText(), QStringLiteral("Reading data..."));
    bool everShown = false;
    while (dialog) {
        everShown = everShown || dialog->isVisible();
        QTest::qWait(10);
    }
    QVERIFY(!everShown);
    QTest::qWait(300);
    QVERIFY(parent.findChildren<QProgressDialog *>().isEmpty());
}

void TestFeedback::errorBoxes()
{
    QWidget parent;
    parent.show();
    auto *request = new Acpu::Request({Acpu::VarRange{256, 14}}, 60);
    request->SetErrorString(QStringLiteral("Response timeout."));
    ShowRequestError(request, &parent);
    QMessageBox *box = OpenBox(&parent);
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Communication Error"));
    QCOMPARE(box->text(), QStringLiteral("There was an error reading data from the machine."));
    QCOMPARE(box->informativeText(), QStringLiteral("Response timeout."));
    QVERIFY(box->isVisible());
    QPointer<QMessageBox> guard(box);
    box->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(guard.isNull());
    delete request;

    auto *write = new Acpu::Request({Acpu::VarRange{1024, 1}}, 60, {Acpu::Value{1}});
    ShowRequestError(write, &parent);
    QCOMPARE(OpenBox(&parent)->text(),
             QStringLiteral("There was an error writing data to the machine."));
    delete OpenBox(&parent);
    delete write;

    ShowConnectionBroken(&parent);
    box = OpenBox(&parent);
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Communication Error"));
    QCOMPARE(box->text(), QStringLiteral("Connection with the machine is broken."));
    QVERIFY(box->testAttribute(Qt::WA_DeleteOnClose));
}

VRK6_GUI_TEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
