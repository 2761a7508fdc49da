// Copy and paste of tab-separated blocks through the standard key sequences,
// on a real view over the tool table (10 rows of 8; row T0 refuses edits).
#include "model/tablemodel.h"
#include "model/tools.h"
#include "widgets/qtableviewclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QToolTip>

#include <cfloat>
#include <cstring>
#include <memory>
#include <sys/resource.h>

class TestTableViewClipboard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Tools> group;
    std::unique_ptr<QTableViewClipboard> view;

    void select(const QRect &block)
    {
        const QItemSelection cells(view->model()->index(block.top(), block.left()),
                                   view->model()->index(block.bottom(), block.right()));
        view->selectionModel()->select(cells, QItemSelectionModel::ClearAndSelect);
    }
    void keys(QKeySequence::StandardKey key) { QTest::keySequence(view.get(), QKeySequence(key)); }

private slots:
    void init()
    {
        group = std::make_unique<Tools>();
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            group->value(i).reset(double(i));
        view = std::make_unique<QTableViewClipboard>();
        view->setModel(group->createModel());
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

    void copy()
    {
        select({2, 1, 3, 2}); // columns 2-4 of rows 1-2
        keys(QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("10\t11\t12\n18\t19\t20"));
        // A selection that is no block lists its cells in row-major order.
        select({0, 3, 1, 1});
        view->selectionModel()->select(view->model()->index(0, 7), QItemSelectionModel::Select);
        view->selectionModel()->select(view->model()->index(0, 1), QItemSelectionModel::Select);
        keys(QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\t7\n24"));
        view->selectionModel()->clearSelection(); // nothing to copy
        keys(QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\t7\n24"));
        // Other keys still reach the view.
        view->setCurrentIndex(view->model()->index(1, 1));
        QTest::keyClick(view.get(), Qt::Key_Down);
        QCOMPARE(view->currentIndex(), view->model()->index(2, 1));
    }

    // An editor opened and closed without typing changes nothing, and copy
    // carries the same text: the shortest that gives back the machine's float.
    // Text the model refuses changes nothing either, and is said at the cell.
    void editorAndCopyKeepTheValue_data()
    {
        QTest::addColumn<float>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed"); // null: nothing typed
        QTest::newRow("0.0003125") << 0.0003125f << "0.0003125" << QString();
        QTest::newRow("1e-7") << 1e-7f << "1e-07" << QString();
        QTest::newRow("largest") << FLT_MAX << "3.4028235e+38" << QString();
        QTest::newRow("no number") << float(qQNaN()) << "" << QString();
        QTest::newRow("decimal comma") << 1.5f << "1.5" << QStringLiteral("1,5");
    }

    void editorAndCopyKeepTheValue()
    {
        QFETCH(float, number);
        QFETCH(QString, typed);
        ParameterValue &value = group->value(8 + 2);
        value.reset(number);
        view->edit(view->model()->index(1, 2));
        auto *editor = view->findChild<QLineEdit *>();
        QVERIFY(editor);
        QTEST(editor->text(), "text");
        if (!typed.isNull())
            editor->setText(typed);
        // What Enter does, without waiting on the delegate's queued call.
        emit view->itemDelegate()->commitData(editor);
        emit view->itemDelegate()->closeEditor(editor);
        const double after = value.value(), before = value.storedValue();
        QVERIFY(!value.isModified() && std::memcmp(&after, &before, sizeof after) == 0);
        QTest::qWait(20); // the tip shows once the editor has closed
        QCOMPARE(QToolTip::text().contains(u'"' + typed + u'"'), !typed.isNull());

        select({2, 1, 1, 1});
        keys(QKeySequence::Copy);
        QTEST(QApplication::clipboard()->text(), "text");
    }

    void paste_data()
    {
        QTest::addColumn<QRect>("selection"); // columns x, rows y
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("changes"); // value index = new value
        QTest::addColumn<int>("box");         // 0 none, 1 the block does not fit, 2 read-only
        const auto row = [](const char *name, QRect selection, const char *text,
                            const char *changes, int box = 0) {
            QTest::newRow(name) << selection << QString(text) << QString(changes) << box;
        };
        // A copied cell that holds no number is empty, and the target keeps its value.
        row("at the anchor: empty last cell, empty row, trailing line feed", QRect(3, 2, 5, 4),
            "-1\t\n\n-3\t-4\n", "19=-1 35=-3 36=-4");
        // Spreadsheets on other systems end their lines with CR LF.
        row("CR LF, trailing tabs, exact fit", QRect(6, 7, 1, 1),
            "-1\t-2\t\t\r\n-3\t-4\r\n-5\t-6\r\n\r\n", "62=-1 63=-2 70=-3 71=-4 78=-5 79=-6");
        row("one row too many", QRect(0, 8, 1, 1), "-1\n-2\n-3", "", 1);
        row("one column too many", QRect(6, 1, 1, 1), "-1\t-2\t-3", "", 1);
        row("read-only", QRect(3, 2, 1, 1), "-1", "", 2);
        row("only line feeds", QRect(0, 1, 1, 1), "\n\n", "");
        row("T0 and no number skipped", QRect(0, 0, 1, 1), "-5\t-6\nx\t-8", "9=-8");
        row("nothing selected", QRect(), "-5", "");
        // A file copied by mistake: refused at once, not after a string per line.
        QTest::newRow("a file's worth")
            << QRect(0, 1, 1, 1) << (QString("1\n").repeated(4'000'000) + "\t") << "" << 1;
    }

    void paste()
    {
        QFETCH(QRect, selection);
        QFETCH(QString, text);
        QFETCH(int, box);
        qobject_cast<TableModel *>(view->model())->setReadOnly(box == 2);
        if (selection.isValid())
            select(selection);
        QApplication::clipboard()->setText(text);
        // Splitting the whole text first took about 1 GiB for the big row.
        const auto peakKiB = [] {
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            return usage.ru_maxrss;
        };
        const long before = peakKiB();
        keys(QKeySequence::Paste);
        QCOMPARE_LT(peakKiB() - before, 200 * 1024);
        QStringList changes;
        for (const auto &[variable, value] : group->modifiedValues())
            changes << QStringLiteral("%1=%2").arg(variable - group->firstVariable()).arg(value);
        QTEST(changes.join(u' '), "changes");
        QMessageBox *shown = view->findChild<QMessageBox *>();
        QCOMPARE(shown ? (shown->text().startsWith("The table cannot be edited") ? 2 : 1) : 0, box);
        if (shown) {
            QVERIFY(shown->isVisible());
            shown->close();
            QTRY_VERIFY(!view->findChild<QMessageBox *>()); // deleted on close
        }
    }
};

QTEST_MAIN(TestTableViewClipboard)
#include "tst_qtableviewclipboard.moc"
