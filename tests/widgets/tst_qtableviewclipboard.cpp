// Copy and paste of tab-separated blocks through the standard key sequences,
// on a real view over a real parameter table model.
#include "model/coordsys.h"
#include "model/tablemodel.h"
#include "model/tools.h"
#include "widgets/qtableviewclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>

namespace {

QString clipboardText()
{
    return QApplication::clipboard()->text();
}

void setClipboardText(const QString &text)
{
    QApplication::clipboard()->setText(text);
}

} // namespace

class TestTableViewClipboard : public QObject
{
    Q_OBJECT

private:
    Coordsys *group = nullptr;
    TableModel *model = nullptr;
    QTableViewClipboard *view = nullptr;

    void selectBlock(int top, int left, int bottom, int right)
    {
        view->selectionModel()->select(
            QItemSelection(model->index(top, left), model->index(bottom, right)),
            QItemSelectionModel::ClearAndSelect);
    }
    void copyKeys() { QTest::keySequence(view, QKeySequence(QKeySequence::Copy)); }
    void pasteKeys() { QTest::keySequence(view, QKeySequence(QKeySequence::Paste)); }
    // Every value of the table, so that "nothing changed" can be checked whole.
    QList<double> allValues() const
    {
        QList<double> result;
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            result.append(group->value(i).value());
        return result;
    }
    QMessageBox *errorBox() const { return view->findChild<QMessageBox *>(); }

private slots:
    void init()
    {
        group = new Coordsys;
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            group->value(i).reset(double(i));
        model = group->createModel();
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        view = new QTableViewClipboard;
        view->setModel(model);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }

    void cleanup()
    {
        delete view;
        delete group;
    }

    void copy()
    {
        selectBlock(1, 2, 2, 4);
        copyKeys();
        QCOMPARE(clipboardText(), QStringLiteral("10.000000\t11.000000\t12.000000\n"
                                                 "18.000000\t19.000000\t20.000000"));
        // A non-rectangular selection lists its cells in row-major order.
        view->selectionModel()->select(model->index(3, 0), QItemSelectionModel::ClearAndSelect);
        view->selectionModel()->select(model->index(0, 7), QItemSelectionModel::Select);
        view->selectionModel()->select(model->index(0, 1), QItemSelectionModel::Select);
        copyKeys();
        QCOMPARE(clipboardText(), QStringLiteral("1.000000\t7.000000\n24.000000"));

        // Nothing selected: neither copy nor paste does anything.
        view->selectionModel()->clearSelection();
        setClipboardText(QStringLiteral("5"));
        copyKeys();
        QCOMPARE(clipboardText(), QStringLiteral("5"));
        const QList<double> before = allValues();
        pasteKeys();
        QCOMPARE(allValues(), before);
    }

    void pasteAtAnchor()
    {
        // Several cells selected: the top-left one is the anchor. The trailing
        // line feed adds no row.
        selectBlock(2, 3, 5, 7);
        setClipboardText(QStringLiteral("-1\t-2\n-3\t-4\n"));
        pasteKeys();
        QCOMPARE(group->value(2 * 8 + 3).value(), -1.0);
        QCOMPARE(group->value(2 * 8 + 4).value(), -2.0);
        QCOMPARE(group->value(3 * 8 + 3).value(), -3.0);
        QCOMPARE(group->value(3 * 8 + 4).value(), -4.0);
        QCOMPARE(group->modifiedValues().size(), 4);
        QVERIFY(!errorBox());

        // One cell of text into a large selection writes the anchor only.
        group->revert();
        setClipboardText(QStringLiteral("9.5"));
        pasteKeys();
        QCOMPARE(group->modifiedValues().size(), 1);
        QCOMPARE(group->value(2 * 8 + 3).value(), 9.5);
    }

    void trailingTabsAndExactFit()
    {
        // Two texts and two tabs are two cells; they fit exactly at column 6,
        // and three rows fit exactly above the bottom from row 3.
        selectBlock(3, 6, 3, 6);
        setClipboardText(QStringLiteral("1\t2\t\t\n3\t4\n5\t6"));
        pasteKeys();
        QCOMPARE(group->value(3 * 8 + 6).value(), 1.0);
        QCOMPARE(group->value(3 * 8 + 7).value(), 2.0);
        QCOMPARE(group->value(5 * 8 + 7).value(), 6.0);
        QCOMPARE(group->modifiedValues().size(), 6);
        QVERIFY(!errorBox());
    }

    void blockTooLarge()
    {
        const QList<double> before = allValues();
        selectBlock(4, 0, 4, 0);
        setClipboardText(QStringLiteral("1\n2\n3"));
        pasteKeys();
        QCOMPARE(allValues(), before);
        QMessageBox *box = errorBox();
        QVERIFY(box);
        QVERIFY(box->isVisible() && box->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(box->windowTitle(), QStringLiteral("Paste Error"));
        QCOMPARE(box->text(),
                 QStringLiteral("Invalid clipboard data, unable to perform paste operation."));
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);
        box->close();
        QTRY_VERIFY(!errorBox());

        // One column too wide is refused the same way.
        selectBlock(0, 6, 0, 6);
        setClipboardText(QStringLiteral("1\t2\t3"));
        pasteKeys();
        QCOMPARE(allValues(), before);
        QVERIFY(errorBox());
    }

    void raggedRowsAndEmptyText()
    {
        const QList<double> before = allValues();
        selectBlock(0, 0, 0, 0);
        setClipboardText(QStringLiteral("1\t2\n3"));
        pasteKeys();
        // An empty line in the middle is a row of no cells: ragged too.
        setClipboardText(QStringLiteral("1\n\n2"));
        pasteKeys();
        setClipboardText(QStringLiteral("\n\n"));
        pasteKeys();
        QCOMPARE(allValues(), before);
        QVERIFY(!errorBox());
    }

    void refusedCellsSkipped()
    {
        Tools tools;
        TableModel *toolsModel = tools.createModel();
        view->setModel(toolsModel);
        // Row T0 is disabled and "x" is no number: both skipped, the rest set.
        view->selectionModel()->select(toolsModel->index(0, 0),
                                       QItemSelectionModel::ClearAndSelect);
        setClipboardText(QStringLiteral("5\t6\nx\t8"));
        pasteKeys();
        QVERIFY(!tools.value(0).isModified());
        QVERIFY(!tools.value(1).isModified());
        QVERIFY(!tools.value(8).isModified());
        QCOMPARE(tools.value(9).value(), 8.0);
        QCOMPARE(tools.modifiedValues().size(), 1);
        view->setModel(model);
    }

    void otherKeysReachTheView()
    {
        view->setCurrentIndex(model->index(1, 1));
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex(), model->index(2, 1));
    }
};

QTEST_MAIN(TestTableViewClipboard)
#include "tst_qtableviewclipboard.moc"
