// Copy and paste of tab-separated blocks through the standard key sequences,
// on a real view over the tool table (10 rows of 8; row T0 refuses edits).
#include "model/tablemodel.h"
#include "model/tools.h"
#include "widgets/qtableviewclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>

class TestTableViewClipboard : public QObject
{
    Q_OBJECT

private:
    Tools *group = nullptr;
    QTableViewClipboard *view = nullptr;

    void select(const QRect &block)
    {
        const QItemSelection cells(view->model()->index(block.top(), block.left()),
                                   view->model()->index(block.bottom(), block.right()));
        view->selectionModel()->select(cells, QItemSelectionModel::ClearAndSelect);
    }
    void keys(QKeySequence::StandardKey key) { QTest::keySequence(view, QKeySequence(key)); }

private slots:
    void init()
    {
        group = new Tools;
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            group->value(i).reset(double(i));
        view = new QTableViewClipboard;
        view->setModel(group->createModel());
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
        select({2, 1, 3, 2}); // columns 2-4 of rows 1-2
        keys(QKeySequence::Copy);
        QCOMPARE(
            QApplication::clipboard()->text(),
            QStringLiteral("10.000000\t11.000000\t12.000000\n18.000000\t19.000000\t20.000000"));
        // A selection that is no block lists its cells in row-major order.
        select({0, 3, 1, 1});
        view->selectionModel()->select(view->model()->index(0, 7), QItemSelectionModel::Select);
        view->selectionModel()->select(view->model()->index(0, 1), QItemSelectionModel::Select);
        keys(QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("1.000000\t7.000000\n24.000000"));
        view->selectionModel()->clearSelection(); // nothing to copy
        keys(QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("1.000000\t7.000000\n24.000000"));
        // Other keys still reach the view.
        view->setCurrentIndex(view->model()->index(1, 1));
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex(), view->model()->index(2, 1));
    }

    void paste_data()
    {
        QTest::addColumn<QRect>("selection"); // columns x, rows y
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("changes"); // value index = new value
        QTest::addColumn<bool>("errorBox");
        QTest::newRow("block at the anchor, trailing line feed")
            << QRect(3, 2, 5, 4) << "-1\t-2\n-3\t-4\n"
            << "19=-1 20=-2 27=-3 28=-4" << false;
        QTest::newRow("one cell into a selection") << QRect(3, 2, 5, 4) << "-9.5"
                                                   << "19=-9.5" << false;
        QTest::newRow("trailing tabs, exact fit")
            << QRect(6, 7, 1, 1) << "-1\t-2\t\t\n-3\t-4\n-5\t-6"
            << "62=-1 63=-2 70=-3 71=-4 78=-5 79=-6" << false;
        QTest::newRow("one row too many") << QRect(0, 8, 1, 1) << "-1\n-2\n-3"
                                          << "" << true;
        QTest::newRow("one column too many") << QRect(6, 1, 1, 1) << "-1\t-2\t-3"
                                             << "" << true;
        QTest::newRow("ragged rows") << QRect(0, 1, 1, 1) << "-1\t-2\n-3"
                                     << "" << false;
        QTest::newRow("empty row inside") << QRect(0, 1, 1, 1) << "-1\n\n-2"
                                          << "" << false;
        QTest::newRow("only line feeds") << QRect(0, 1, 1, 1) << "\n\n"
                                         << "" << false;
        QTest::newRow("T0 and no number skipped") << QRect(0, 0, 1, 1) << "-5\t-6\nx\t-8"
                                                  << "9=-8" << false;
        QTest::newRow("nothing selected") << QRect() << "-5"
                                          << "" << false;
    }

    void paste()
    {
        QFETCH(QRect, selection);
        QFETCH(QString, text);
        QFETCH(QString, changes);
        QFETCH(bool, errorBox);
        if (selection.isValid())
            select(selection);
        QApplication::clipboard()->setText(text);
        keys(QKeySequence::Paste);
        QStringList actual;
        for (const auto &[variable, value] : group->modifiedValues())
            actual.append(
                QStringLiteral("%1=%2").arg(variable - group->firstVariable()).arg(value));
        QCOMPARE(actual.join(u' '), changes);
        QMessageBox *box = view->findChild<QMessageBox *>();
        QCOMPARE(box != nullptr, errorBox);
        if (box) {
            QVERIFY(box->isVisible());
            QCOMPARE(box->windowTitle(), QStringLiteral("Paste Error"));
            QCOMPARE(box->text(),
                     QStringLiteral("Invalid clipboard data, unable to perform paste operation."));
            box->close();
            QTRY_VERIFY(!view->findChild<QMessageBox *>()); // deleted on close
        }
    }
};

QTEST_MAIN(TestTableViewClipboard)
#include "tst_qtableviewclipboard.moc"
