// The teeth editor against the simulator: edits of several shapes written
// together, the shape selector and its filter, a foreign selector entry; and
// values that are no number, which show empty and are never written back.
#include "editorfixture.h"
#include "editors/teetheditor.h"
#include "model/tablemodelteeth.h"
#include "model/teeth.h"
#include "requestresult.h"
#include "widgets/qtableviewclipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTest>

namespace {
constexpr quint32 NanPattern = 0x7FC01234;
// Shape s, tooth t, parameter p (from 0) as a machine variable.
constexpr int variable(int s, int t, int p)
{
    return 8192 + s * 640 + t * 64 + p;
}
} // namespace

class TestTeethEditor : public QObject
{
    Q_OBJECT
    LiveMachine live;
    QPointer<TeethEditor> editor;
    QComboBox *shapes = nullptr;
    QTableViewClipboard *table = nullptr;

    QString text(int row, int column) const
    {
        return table->model()->index(row, column).data().toString();
    }
    bool edit(int row, int column, const QString &value) const
    {
        return table->model()->setData(table->model()->index(row, column), value);
    }
    void click(QDialogButtonBox::StandardButton button) const
    {
        editor->centralWidget()->findChild<QDialogButtonBox *>()->button(button)->click();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        QVERIFY(live.start());
    }
    void init()
    {
        editor = new TeethEditor(&live.machine, new Teeth);
        editor->show();
        shapes = editor->findChild<QComboBox *>(QStringLiteral("group"));
        table = editor->findChild<QTableViewClipboard *>(QStringLiteral("valueEditor"));
        QSignalSpy loaded(editor->group(), &ParameterGroup::DataChanged);
        editor->on_actionRefreshOnce_triggered();
        QVERIFY(loaded.wait(20000));
    }
    void cleanup() { delete editor.data(); }

    // Switching shapes keeps the edits of the other; OK writes all of them.
    void editsOfSeveralShapes()
    {
        QVERIFY(live.set({{variable(2, 3, 4), 8.5f}}));
        editor->findChild<QAction *>(QStringLiteral("actionRefreshOnce"))->trigger();
        shapes->setCurrentIndex(2);
        QTRY_COMPARE(text(4, 3), QStringLiteral("8.500000"));
        QVERIFY(edit(4, 3, QStringLiteral("9.5")));
        shapes->setCurrentIndex(6);
        QVERIFY(edit(10, 9, QStringLiteral("-1")));
        shapes->setCurrentIndex(2);
        QCOMPARE(text(4, 3), QStringLiteral("9.500000"));
        QVERIFY(editor->isWindowModified());
        click(QDialogButtonBox::Ok);
        QTRY_VERIFY(!editor);
        QCOMPARE(live.value(variable(2, 3, 4)), 9.5f);
        QCOMPARE(live.value(variable(6, 9, 10)), -1.0f);
    }

    // VRK-C1: shape L9 is inactive and leaves the selector with the filter
    // on; an entry without a shape number selects nothing.
    void shapeSelector()
    {
        QCOMPARE(shapes->count(), 9);
        editor->findChild<QAction *>(QStringLiteral("actionFilterItems"))->trigger();
        QCOMPARE(shapes->count(), 8);
        QVERIFY(shapes->findText(QStringLiteral("L9")) < 0);
        shapes->setCurrentIndex(5);
        auto *model = editor->findChild<TableModelTeeth *>();
        QCOMPARE(model->currentShape(), 5);
        QStandardItemModel foreign;
        foreign.appendRow(new QStandardItem(QStringLiteral("L3")));
        shapes->setModel(&foreign);
        QCOMPARE(model->currentShape(), 5);
    }

    // A NaN pattern shows empty, copies, and survives an Apply of other edits
    // untouched; only a number typed there is written.
    void valuesThatAreNoNumber()
    {
        QVERIFY(RunToEnd(live.plain.WriteInt(variable(0, 0, 1), NanPattern)).isEmpty());
        editor->findChild<QAction *>(QStringLiteral("actionRefreshOnce"))->trigger();
        QTRY_COMPARE(text(1, 0), QString());
        table->selectionModel()->select(
            QItemSelection(table->model()->index(0, 0), table->model()->index(1, 1)),
            QItemSelectionModel::Select);
        QTest::keySequence(table, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text().count(u'\n'), 1);
        QVERIFY(edit(2, 0, QStringLiteral("4")));
        const qsizetype before = live.tap.log.size();
        click(QDialogButtonBox::Apply);
        QTRY_VERIFY(!editor->isWindowModified());
        QCOMPARE(live.tap.log.size(), before + 1);
        QCOMPARE(live.tap.log.last().firstVariable, variable(0, 0, 2));
        QCOMPARE(live.bits(variable(0, 0, 1)), NanPattern);
        QVERIFY(edit(1, 0, QStringLiteral("5")));
        click(QDialogButtonBox::Apply);
        QTRY_COMPARE(live.value(variable(0, 0, 1)), 5.0f);
    }
};

QTEST_MAIN(TestTeethEditor)
#include "tst_teetheditor.moc"
