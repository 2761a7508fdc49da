// The parameters editor against the simulator, driven through its own actions
// and buttons: reading, editing, writing exactly the edits, the close prompt,
// automatic refresh and backups. A tap between editor and simulator shows
// what the machine was asked.
#include "app/mainwindow.h"
#include "backup/backupfile.h"
#include "editorfixture.h"
#include "editors/parameterseditor.h"
#include "model/groupfactory.h"
#include "model/tablemodel.h"
#include "widgets/qtableviewclipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
struct Editor
{
    QPointer<ParametersEditor> window;
    QAbstractItemModel *table = nullptr;

    Editor(LiveMachine &live, int tag)
        : window(new ParametersEditor(&live.machine, GroupFactory::create(tag)))
    {
        window->show();
        table = child<QTableViewClipboard>("valueEditor")->model();
    }
    ~Editor() { delete window.data(); }
    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    void trigger(const char *action) { child<QAction>(action)->trigger(); }
    void click(QDialogButtonBox::StandardButton button)
    {
        // The file dialogs have button boxes of that name too.
        window->centralWidget()->findChild<QDialogButtonBox *>()->button(button)->click();
    }
    QString text(int row, int column = 0) const
    {
        return table->index(row, column).data().toString();
    }
    bool edit(int row, int column, const QString &value)
    {
        return table->setData(table->index(row, column), value);
    }
    bool editable(int row) const { return table->flags(table->index(row, 0)) & Qt::ItemIsEditable; }
    ParameterGroup *group() const { return window->group(); }
    // Picks a file in the dialog that the action opens.
    void chooseFile(const char *action, const QString &path)
    {
        trigger(action);
        for (QFileDialog *dialog : window->findChildren<QFileDialog *>()) {
            if (dialog->isVisible()) {
                dialog->selectFile(path);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
            }
        }
    }
};
} // namespace

class TestParametersEditor : public QObject
{
    Q_OBJECT
    LiveMachine live;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        QVERIFY(live.start());
    }

    // Read, edit, Apply (exactly the edits reach the machine), Reset, and OK
    // with nothing modified, for each of the four groups.
    void readEditApply_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("variable");
        QTest::addColumn<int>("next"); // rows below in one-column groups
        QTest::newRow("techparams") << 1 << 3 << 0 << 1027 << 1;
        QTest::newRow("rparams") << 2 << 200 << 0 << 1992 << 1;
        QTest::newRow("coordsys") << 3 << 2 << 1 << 1561 << 0;
        QTest::newRow("tools") << 4 << 9 << 3 << 1355 << 0;
    }
    void readEditApply()
    {
        QFETCH(int, tag);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, variable);
        QFETCH(int, next);
        const int row2 = row + next, column2 = column + 1 - next;
        QVERIFY(live.set({{variable, 3.5f}, {variable + 1, -2.25f}}));
        Editor editor(live, tag);
        editor.trigger("actionRefreshOnce");
        QTRY_COMPARE(editor.text(row, column), QStringLiteral("3.500000"));
        QCOMPARE(editor.text(row2, column2), QStringLiteral("-2.250000"));

        QVERIFY(editor.edit(row, column, QStringLiteral("7.25")));
        QVERIFY(editor.edit(row2, column2, QStringLiteral("1")));
        QVERIFY(editor.window->isWindowModified());
        QVERIFY(editor.table->index(row, column).data(Qt::FontRole).value<QFont>().italic());
        const qsizetype before = live.tap.log.size();
        editor.click(QDialogButtonBox::Apply);
        QTRY_VERIFY(!editor.window->isWindowModified());
        QCOMPARE(editor.table->index(row, column).data(Qt::FontRole), QVariant());
        const QList<ModbusTap::Transaction> writes = live.tap.log.mid(before);
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes.first().function, 16);
        QCOMPARE(writes.first().firstVariable, variable);
        QCOMPARE(writes.first().variables, 2);
        QCOMPARE(live.value(variable), 7.25f);
        QCOMPARE(live.value(variable + 1), 1.0f);

        QVERIFY(editor.edit(row, column, QStringLiteral("-9")));
        editor.click(QDialogButtonBox::Reset);
        QCOMPARE(editor.text(row, column), QStringLiteral("7.250000"));
        QVERIFY(!editor.window->isWindowModified());
        const qsizetype requests = live.tap.log.size();
        editor.click(QDialogButtonBox::Ok);
        QTRY_VERIFY(!editor.window);
        QCOMPARE(live.tap.log.size(), requests);
    }

    // Cancel keeps the edits (the place is saved anyway), Yes with the machine
    // gone keeps window and edits, No drops them.
    void closePrompt()
    {
        LiveMachine lost;
        QVERIFY(lost.start());
        Editor editor(lost, 1);
        QVERIFY(editor.edit(5, 0, QStringLiteral("12.5")));
        {
            BoxAnswer cancel(QMessageBox::Cancel);
            QVERIFY(!editor.window->close());
            QCOMPARE(cancel.texts.size(), 1);
        }
        QVERIFY(QSettings().contains(QStringLiteral("Parameters/techparams/geometry")));
        lost.sim.stop();
        QTRY_VERIFY(lost.connection.State() != Acpu::Connection::Connected);
        {
            BoxAnswer yes(QMessageBox::Yes);
            QVERIFY(!editor.window->close());
        }
        QCOMPARE(TakeBoxes(),
                 QStringList{QStringLiteral("Connection with the machine is broken.")});
        QVERIFY(editor.window->isVisible());
        QCOMPARE(editor.text(5), QStringLiteral("12.500000"));
        BoxAnswer no(QMessageBox::No);
        QVERIFY(editor.window->close());
        QTRY_VERIFY(!editor.window);
    }

    // A write still under way when the window goes (the main window deletes
    // its editors when it is destroyed) must find nothing of it when it
    // finishes; run under ASan or Valgrind to see a fault.
    void writeFinishingAfterClose()
    {
        Editor editor(live, 2);
        QVERIFY(editor.edit(7, 0, QStringLiteral("70.5")));
        editor.click(QDialogButtonBox::Apply);
        delete editor.window.data(); // before the reply can arrive
        QTRY_COMPARE(live.tap.requests(16, 1799, 1).size(), 1);
        QTRY_COMPARE(live.value(1799), 70.5f);
    }

    // Both periods exclude each other and lock the table; reads follow the
    // machine and never overlap, each starting a period after the last ended.
    void automaticRefresh()
    {
        Editor editor(live, 1);
        editor.trigger("actionRefresh100ms");
        QVERIFY(!editor.editable(0));
        QVERIFY(!editor.child<QAction>("actionOpen")->isEnabled());
        const qsizetype before = live.tap.log.size();
        QVERIFY(live.set({{1030, 42.0f}}));
        QTRY_COMPARE(editor.text(6), QStringLiteral("42.000000"));
        QTest::qWait(1500);
        editor.trigger("actionRefresh1s");
        QVERIFY(editor.child<QAction>("actionRefresh1s")->isChecked());
        QVERIFY(!editor.child<QAction>("actionRefresh100ms")->isChecked());
        QVERIFY(!editor.editable(0));
        editor.trigger("actionRefresh1s");
        QVERIFY(editor.editable(0));

        // The group is five chunks, 1024 to 1279: one read is five requests in
        // order; the next read's first chunk comes after a full period.
        QList<ModbusTap::Transaction> reads = live.tap.log.mid(before);
        reads.removeIf([](const auto &t) { return t.function != 3; });
        QVERIFY2(reads.size() >= 5 * 4, qPrintable(QString::number(reads.size())));
        for (qsizetype i = 0; i + 1 < reads.size(); ++i) {
            const int chunk = static_cast<int>(i % 5);
            QCOMPARE(reads.at(i).firstVariable, 1024 + 60 * chunk);
            if (chunk == 4)
                QVERIFY2(reads.at(i + 1).ms - reads.at(i).ms >= 90,
                         qPrintable(QString::number(reads.at(i + 1).ms - reads.at(i).ms)));
        }
    }

    // A machine that cannot be asked keeps the refresh trying; it resumes by
    // itself once the machine is back (with a value set while it was away).
    void refreshSurvivesLostMachine()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("state.json"));
        LiveMachine lost;
        QVERIFY(lost.start({QStringLiteral("--state"), state}));
        lost.connection.StartPolling();
        Editor editor(lost, 1);
        editor.trigger("actionRefresh100ms");
        const quint16 port = lost.sim.port();
        lost.sim.stop();
        QTRY_COMPARE(editor.window->statusBar()->currentMessage(),
                     QStringLiteral("Communication error"));
        QFile file(state);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"variables": {"1025": 1088421888}})"); // 7.0f
        file.close();
        QTest::qWait(500);
        QVERIFY(lost.sim.start({QStringLiteral("--state"), state}, port));
        QTRY_COMPARE_WITH_TIMEOUT(editor.text(1), QStringLiteral("7.000000"), 20000);
    }

    // Unwritten edits are not thrown away by switching refresh on: the user
    // is asked, No keeps them and refresh off, Yes reads.
    void refreshAsksBeforeDroppingEdits()
    {
        Editor editor(live, 1);
        QSignalSpy loaded(editor.group(), &ParameterGroup::DataChanged);
        editor.trigger("actionRefreshOnce");
        QVERIFY(loaded.wait());
        QVERIFY(editor.edit(8, 0, QStringLiteral("3")) && editor.edit(9, 0, QStringLiteral("4")));
        {
            BoxAnswer no(QMessageBox::No);
            editor.trigger("actionRefresh1s");
            QCOMPARE(no.texts, QStringList{QStringLiteral(
                                   "Values edited but not written to the machine: 2.")});
        }
        QVERIFY(!editor.child<QAction>("actionRefresh1s")->isChecked());
        QVERIFY(editor.editable(8));
        QTest::qWait(1200);
        QCOMPARE(editor.text(8), QStringLiteral("3.000000"));
        BoxAnswer yes(QMessageBox::Yes);
        editor.trigger("actionRefresh100ms");
        QTRY_VERIFY(!editor.window->isWindowModified());
        QCOMPARE(editor.text(8), QString::number(live.value(1032), 'f', 6));
    }

    void backups()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("tools.vrk"));
        QVERIFY(live.set({{1288, 1.5f}, {1289, 2.5f}}));
        Editor editor(live, 4);
        editor.trigger("actionRefreshOnce");
        QTRY_COMPARE(editor.text(1, 0), QStringLiteral("1.500000"));
        QVERIFY(editor.edit(1, 1, QStringLiteral("6")));
        editor.chooseFile("actionSave", saved);
        BackupFile file(saved);
        QVERIFY(file.load());
        QCOMPARE(file.machine(), live.machine.modelVersion());
        for (int tag = 1; tag <= 5; ++tag)
            QCOMPARE(file.hasSection(tag), tag == 4);
        QCOMPARE(file.section(4).value(QStringLiteral("T1")).toArray().at(1).toDouble(), 6.0);

        // Loaded as edits: only what differs from the table is marked.
        editor.click(QDialogButtonBox::Reset);
        QJsonObject tools = file.section(4);
        QJsonArray t3 = tools.value(QStringLiteral("T3")).toArray();
        t3[7] = 11.0;
        tools.insert(QStringLiteral("T3"), t3);
        const auto load = [&](const ModelVersion &version, QJsonObject section, int tag) {
            BackupFile out(dir.filePath(QStringLiteral("in.vrk")));
            out.setMachine(version);
            out.setSection(tag, section);
            QVERIFY(out.save());
            editor.chooseFile("actionOpen", dir.filePath(QStringLiteral("in.vrk")));
        };
        load(live.machine.modelVersion(), tools, 4);
        QCOMPARE(editor.group()->modifiedValues(),
                 (ParameterGroup::VariableValues{{1289, 6.0f}, {1311, 11.0f}}));

        editor.click(QDialogButtonBox::Reset);
        QJsonObject coordsys;
        std::unique_ptr<ParameterGroup>(GroupFactory::create(3))->toJson(coordsys);
        load(live.machine.modelVersion(), coordsys, 3);
        QCOMPARE(TakeBoxes(),
                 QStringList{QStringLiteral("Backup does not contain Tools Parameters.")});
        {
            BoxAnswer no(QMessageBox::No);
            load(ModelVersion(ZumB1, 8), tools, 4);
            QCOMPARE(no.texts.size(), 1);
            QVERIFY(no.texts.first().startsWith(QStringLiteral("Backup is for different")));
        }
        QVERIFY(!editor.group()->isModified());
        BoxAnswer yes(QMessageBox::Yes);
        load(ModelVersion(ZumB1, 8), tools, 4);
        QCOMPARE(editor.group()->modifiedValues().size(), 2);
    }

    // Choosing an editor twice opens one; after it closed, a new one reads again.
    void mainWindowOpensOneEditorPerGroup()
    {
        MainWindow main(&live.machine);
        main.show();
        auto *action = main.findChild<QAction *>(QStringLiteral("actionTechParameters"));
        const auto editors = [] {
            QList<ParametersEditor *> found;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *editor = qobject_cast<ParametersEditor *>(widget))
                    found.append(editor);
            }
            return found;
        };
        // Each read of the group starts with the chunk at variable 1024.
        const auto reads = [&] { return live.tap.requests(3, 1024, 1).size(); };
        const auto shown = [&](float value) {
            QVERIFY(live.set({{1024, value}}));
            const qsizetype before = reads();
            action->trigger();
            action->trigger();
            QCOMPARE(editors().size(), 1);
            QTRY_COMPARE_WITH_TIMEOUT(editors()
                                          .first()
                                          ->findChild<QTableView *>()
                                          ->model()
                                          ->index(0, 0)
                                          .data()
                                          .toString(),
                                      QString::number(value, 'f', 6), 20000);
            QCOMPARE(reads(), before + 1);
        };
        shown(21.5f);
        QPointer<ParametersEditor> first = editors().first();
        first->close();
        QTRY_VERIFY(!first);
        shown(22.5f);
        QVERIFY(main.close());
        QTRY_VERIFY(editors().isEmpty());
    }
};

QTEST_MAIN(TestParametersEditor)
#include "tst_parameterseditor.moc"
