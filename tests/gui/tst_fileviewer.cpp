// The Backup File Editor as a user meets it: start-up, documents, the save
// question, import, export, window modes, views and the data-model dialog, on
// real files, with every dialog answered by a simulated user.
#include "app/startup.h"
#include "backup/backupdata.h"
#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backup/fileviewer.h"
#include "common/simulateduser.h"
#include "editors/modelversiondialog.h"
#include "editors/parametersview.h"
#include "editors/teethview.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"
#include "privatenetwork.h"
#include "widgetlookup.h"
#include "widgets/qtableviewclipboard.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <sys/resource.h>

using namespace BackupData;

namespace {
BackupDocument *documentOf(QWidget *window)
{
    return window->findChild<BackupDocument *>(QString(), Qt::FindDirectChildrenOnly);
}

QAction *exportAction(QWidget *window, const QString &title)
{
    for (QAction *action : child<QMenu>(window, "menuExport")->actions())
        if (action->text() == title + QStringLiteral("..."))
            return action;
    return nullptr;
}

QMdiArea *area(QWidget *window)
{
    return window->findChild<QMdiArea *>();
}

// The table of the sub-window of a group.
QAbstractItemModel *table(QWidget *window, const QString &title)
{
    for (QMdiSubWindow *sub : area(window)->subWindowList())
        if (sub->widget()->windowTitle().startsWith(title))
            return sub->widget()->findChild<QTableView *>()->model();
    return nullptr;
}

QString title(const QString &name, const QString &version)
{
    return QStringLiteral("Backup File Editor :: %1[*] (%2)").arg(name, version);
}

FileViewer *openWindow(const QString &fileName)
{
    auto *window = new FileViewer(fileName);
    window->show();
    return window;
}

} // namespace

class TestFileViewer : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QJsonObject all = full();
        QVERIFY(
            write(path("full.vrk"), json(all)) && write(path("bad.vrk"), "{\"_machine\": ") &&
            write(path("coordsys.vrk"),
                  json({{"_machine", "VrkD1"}, {"_version", 7}, {"coordsys", all["coordsys"]}})) &&
            write(path("teeth.vrk"),
                  json({{"_machine", "VrkA1"}, {"_version", 6}, {"teeth", teeth(0.5)}})) &&
            write(
                path("cvrk1.cvrk"),
                json({{"machine", "CVRK"}, {"dataLevel", 1}, {"techparams", numbers(53, 2.0)}})) &&
            write(path("zum3.cvrk"), json({{"machine", "ZUM"}, {"dataLevel", 3}})) &&
            write(path("bad.cvrk"), "{\"machine\""));
    }

    void init() { QSettings().clear(); }

    void cleanup()
    {
        QList<QPointer<QWidget>> left; // a window takes its dialogs with it
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (qobject_cast<FileViewer *>(widget))
                left.append(widget);
        for (const QPointer<QWidget> &window : left)
            delete window;
        QCOMPARE(FileViewer::windowCount(), 0);
    }

    // The program ends with its last editor window: not while another is
    // open, and not kept alive by a stray window.
    void lastWindowEndsProgram()
    {
        SimulatedUser user;
        QWidget stray;
        QPointer<FileViewer> first, second;
        bool secondKept = false, loopAlive = false, hung = false;
        QTimer::singleShot(100, &user, [&] {
            first = shownWindows<FileViewer>().value(0);
            table(first, "Technological")->setData(table(first, "Technological")->index(0, 0), 4.5);
            child(first, "actionNew")->trigger();
            second = shownWindows<FileViewer>().value(
                shownWindows<FileViewer>().value(0) == first ? 1 : 0);
            stray.show();
            user.buttons = {QMessageBox::No};
            first->close();
            secondKept = second && second->isVisible();
            // Still running a while later, then the last window goes.
            QTimer::singleShot(300, &user, [&] {
                loopAlive = true;
                second->close();
                QTimer::singleShot(10000, &stray, [&] {
                    hung = true;
                    stray.close();
                });
            });
        });
        QCOMPARE(runApplication({"vrk6-display", "-f", path("full.vrk")}), 0);
        QVERIFY(secondKept && loopAlive);
        QVERIFY2(!hung, "the last editor window closed, the program went on");
        QCOMPARE(user.said.size(), 1); // asked, answered No
    }

    void documents()
    {
        SimulatedUser user;
        auto *first = new FileViewer;
        first->show();

        // An untouched document gives way; a used one keeps its window.
        user.files = {{path("full.vrk")}, {path("coordsys.vrk")}};
        child(first, "actionOpen")->trigger();
        QCOMPARE(documentOf(first)->fileName(), path("full.vrk"));
        QCOMPARE(area(first)->subWindowList().size(), 5);
        child(first, "actionOpen")->trigger();
        QCOMPARE(shownWindows<FileViewer>().size(), 2);
        FileViewer *second =
            shownWindows<FileViewer>().at(shownWindows<FileViewer>().at(0) == first ? 1 : 0);
        QCOMPARE(documentOf(second)->fileName(), path("coordsys.vrk"));

        // Closing the document of one of two windows closes that window; of
        // the last one, leaves it open and empty.
        child(second, "actionClose")->trigger();
        QTRY_COMPARE(FileViewer::windowCount(), 1);
        child(first, "actionClose")->trigger();
        QCOMPARE(shownWindows<FileViewer>(), QList<FileViewer *>{first});
        QVERIFY(!documentOf(first) && area(first)->subWindowList().isEmpty());
        QCOMPARE(first->windowTitle(), QStringLiteral("Backup File Editor"));
        QVERIFY(!child(first, "actionSave")->isEnabled());
        QVERIFY(user.said.isEmpty());

        // A fresh document in the empty window, in the untouched one's place;
        // the title shows its name as it is, even one holding the
        // modified-marker placeholder.
        child(first, "actionNew")->trigger();
        user.files = {{path("fresh[*].vrk")}};
        child(first, "actionSave")->trigger();
        QCOMPARE(first->windowHandle()->title(),
                 QStringLiteral("Backup File Editor :: %1 (VRK-C1 (v. 6))")
                     .arg(QDir::toNativeSeparators(path("fresh[*].vrk"))));
        QVERIFY(QFile::exists(path("fresh[*].vrk")));
        QCOMPARE(shownWindows<FileViewer>().size(), 1);
    }

    void saveQuestion_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("inEditor"); // the value still in the cell's open editor
        QTest::newRow("yes") << QMessageBox::Yes << false << false;
        QTest::newRow("no") << QMessageBox::No << false << false;
        QTest::newRow("cancel") << QMessageBox::Cancel << false << false;
        QTest::newRow("yes, save fails") << QMessageBox::Yes << true << false;
        QTest::newRow("yes, value in its editor") << QMessageBox::Yes << false << true;
    }

    void saveQuestion()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, inEditor);
        const bool saved = answer == QMessageBox::Yes && !saveFails;
        const bool closes = saved || answer == QMessageBox::No;
        const QString file = path("question.vrk");
        QFile::remove(file);
        QVERIFY(QFile::copy(path("full.vrk"), file));
        const QByteArray before = read(file);
        SimulatedUser user;
        QPointer<FileViewer> window = openWindow(file);
        const QModelIndex cell = table(window, "Technological")->index(0, 0);
        if (inEditor) {
            auto *view = area(window)->subWindowList().first()->findChild<QTableView *>();
            view->edit(cell);
            view->viewport()->findChild<QLineEdit *>()->setText("4.5");
        } else {
            table(window, "Technological")->setData(cell, 4.5);
            QVERIFY(window->isWindowModified());
        }

        user.buttons = {answer};
        // A real failure: the file size limit stops the write of the (larger
        // than the limit) document half-way, as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit smaller{saveFails ? 8192 : limit.rlim_cur, limit.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &smaller), 0);
        window->close();
        setrlimit(RLIMIT_FSIZE, &limit);

        QCOMPARE(!window->isVisible(), closes);
        QCOMPARE(read(file) != before, saved);
        QVERIFY(closes || window->isWindowModified());
        QTRY_COMPARE(user.said.size(), saveFails ? 2 : 1);
        QVERIFY(!saveFails ||
                user.said.last().startsWith("There was an error saving the backup file.\n"));
    }

    void imports_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("said"); // how the one box begins
        QTest::addColumn<int>("brought");  // the group the import adds, or 0
        const QString loadError = "There was an error loading the backup file.\n";
        // Of two files the first fails and is reported; the second still comes in.
        QTest::newRow("two files")
            << "actionImport" << QStringList{path("bad.vrk"), path("teeth.vrk")}
            << loadError + QDir::toNativeSeparators(path("bad.vrk")) << 5;
        const QString v5 = "actionImportV5Backup";
        QTest::newRow("CVRK level 1")
            << v5 << QStringList{path("cvrk1.cvrk")}
            << "Import completed. Following parameters were not imported and must be checked:\n"
            << 1;
        QTest::newRow("unsupported")
            << v5 << QStringList{path("zum3.cvrk")} << "Unsupported backup data.\nZUM: 3" << 0;
        QTest::newRow("malformed") << v5 << QStringList{path("bad.cvrk")} << loadError << 0;
    }

    // An import brings its group, as edits, into a sub-window the document
    // gets for it; a version 5 backup lists what it lacked; a file the import
    // cannot take changes nothing.
    void imports()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, files);
        QFETCH(QString, said);
        QFETCH(int, brought);
        SimulatedUser user;
        auto *window = openWindow(path("coordsys.vrk"));
        user.files = {files};
        child(window, qPrintable(action))->trigger();
        QTRY_COMPARE(user.said.size(), 1);
        const QString listed = user.said.first();
        QVERIFY2(listed.startsWith(said), qPrintable(listed));
        const TechParameters tech;
        QCOMPARE(area(window)->subWindowList().size(), brought ? 2 : 1);
        QCOMPARE(exportAction(window, tech.title())->isEnabled(), brought == 1);
        QCOMPARE(exportAction(window, Teeth().title())->isEnabled(), brought == 5);
        QCOMPARE(window->isWindowModified(), brought != 0);
        if (brought != 1)
            return;
        QAbstractItemModel *values = table(window, tech.title());
        QCOMPARE(values->data(values->index(1, 0)).toDouble(), 2.25);
        const QStringList lines = listed.split('\n');
        QVERIFY(lines.contains(tech.items().at(53).label(ModelVersion(VrkD1, 7))));
        QVERIFY(!lines.contains(tech.items().at(1).label(ModelVersion(VrkD1, 7))));
    }

    // Each export action writes its sections elsewhere (what the document
    // keeps: tst_backup).
    void exports()
    {
        SimulatedUser user;
        auto *window = openWindow(path("full.vrk"));
        const QString out = path("export.vrk");
        for (const auto &[action, tags] :
             {std::pair{child(window, "actionExportConfig"), QList<int>{1, 2, 3, 4}},
              std::pair{exportAction(window, Tools().title()), QList<int>{4}}}) {
            QFile::remove(out);
            user.files = {{out}};
            action->trigger();
            QTRY_VERIFY(QFile::exists(out));
            BackupFile exported(out);
            QVERIFY(exported.load());
            for (int tag = 1; tag <= 5; ++tag)
                QCOMPARE(exported.hasSection(tag), tags.contains(tag));
        }
    }

    void windowModes_data()
    {
        QTest::addColumn<bool>("multiWindow");
        QTest::newRow("tabbed") << false;
        QTest::newRow("multiple windows") << true;
    }

    void windowModes()
    {
        QFETCH(bool, multiWindow);
        QSettings().setValue("FileViewer/mdiMode", multiWindow);
        auto *window = openWindow(path("full.vrk"));
        QMdiArea *mdi = area(window);
        for (const char *name : {"actionTile", "actionCascade", "actionColumns"})
            QCOMPARE(child(window, name)->isEnabled(), multiWindow);
        QCOMPARE(mdi->viewMode(), multiWindow ? QMdiArea::SubWindowView : QMdiArea::TabbedView);
        const QList<QMdiSubWindow *> subs = mdi->subWindowList();
        for (QMdiSubWindow *sub : subs)
            QVERIFY(!(sub->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
        if (!multiWindow) {
            // A file of one group fills the area too.
            auto *single = openWindow(path("teeth.vrk"));
            QTRY_VERIFY(area(single)->subWindowList().first()->isMaximized());
            return;
        }

        // Tiled on open: side by side, none over another, over the whole area.
        QTRY_VERIFY(subs.at(0)->isVisible());
        QRect covered;
        for (int i = 0; i < subs.size(); ++i) {
            covered |= subs[i]->geometry();
            for (int j = i + 1; j < subs.size(); ++j)
                QVERIFY(!subs[i]->geometry().intersects(subs[j]->geometry()));
        }
        QCOMPARE(covered, mdi->viewport()->rect());

        window->resize(window->width() + 900 - mdi->viewport()->width(), window->height());
        QTRY_COMPARE(mdi->viewport()->width(), 900);
        child(window, "actionColumns")->trigger();
        for (int i = 0; i < subs.size(); ++i)
            QCOMPARE(subs[i]->geometry(), QRect(i * 180, 0, 180, mdi->viewport()->height()));
    }

    // The groups' sub-windows: each marks its own edits, the filter action
    // thins rows and teeth shapes, the shape selector picks the teeth shown
    // (an entry without a shape number picks none), none closes on its own.
    void views()
    {
        auto *window = openWindow(path("full.vrk")); // a VRK-C1
        auto *tech = area(window)->subWindowList().first()->findChild<ParametersView *>();
        auto *teeth = window->findChild<TeethView *>();
        QAbstractItemModel *rows = tech->table()->model(), *teethShown = teeth->table()->model();
        QVERIFY(tech->windowTitle().endsWith(QStringLiteral(" [*]")));
        QVERIFY(rows->setData(rows->index(3, 0), QStringLiteral("7")));
        QVERIFY(tech->isWindowModified() && !teeth->isWindowModified());
        auto *shapes = teeth->findChild<QComboBox *>(QStringLiteral("group"));
        const int all = rows->rowCount();
        trigger(window, "actionFilterItems");
        QCOMPARE_LT(rows->rowCount(), all);
        QCOMPARE(shapes->count(), 8); // no L9
        trigger(window, "actionFilterItems");
        QCOMPARE(rows->rowCount(), all);
        shapes->setCurrentIndex(2);
        QCOMPARE(teethShown->index(0, 0).data().toString(), QStringLiteral("303.000000"));
        QStandardItemModel foreign;
        foreign.appendRow(new QStandardItem(QStringLiteral("x")));
        foreign.item(0)->setData(QStringLiteral("x"), Qt::UserRole);
        shapes->setModel(&foreign);
        QCOMPARE(teethShown->index(0, 0).data().toString(), QStringLiteral("303.000000"));
        QVERIFY(!tech->close() && !teeth->close());
    }

    // The dialog starts at the version given, at the first machine when it
    // knows none.
    void dataModelDialog()
    {
        const std::tuple<ModelVersion, QString, ModelVersion> rows[] = {
            {ModelVersion(), "VRK-A1", {VrkA1, 6}},
            {{Unknown, 7}, "VRK-A1", {VrkA1, 7}},
            {{VrkE1, 9}, "VRK-E1", {VrkE1, 9}}};
        for (const auto &[given, shown, chosen] : rows) {
            ModelVersionDialog dialog(given);
            QCOMPARE(dialog.findChild<QComboBox *>("machine")->currentText(), shown);
            QCOMPARE(dialog.version(), chosen);
        }
    }

    // The chosen model reaches the document (which saves it: tst_backup), the
    // title and the greying of the views.
    void dataModelOfDocument()
    {
        SimulatedUser user;
        const QString file = path("full.vrk");
        auto *window = openWindow(file);
        const ModelVersion after(ZumB1, 7);
        user.other = [](QDialog *dialog) {
            auto *machine = dialog->findChild<QComboBox *>("machine");
            machine->setCurrentIndex(machine->findText("ZUM-B1"));
            dialog->findChild<QSpinBox *>("modelVersion")->setValue(7);
            dialog->accept();
        };
        child(window, "actionSelectDataModel")->trigger();
        QTRY_COMPARE(documentOf(window)->version(), after);
        QCOMPARE(window->windowTitle(),
                 title(QDir::toNativeSeparators(file), QStringLiteral("ZUM-B1 (v. 7)")));
        // Row 60 is the ZUM-B1's only: grey before, black now.
        const QModelIndex cell = table(window, "Technological")->index(60, 0);
        QCOMPARE(cell.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
    }
};

VRK6_GUI_TEST_MAIN(TestFileViewer, false)
#include "tst_fileviewer.moc"
