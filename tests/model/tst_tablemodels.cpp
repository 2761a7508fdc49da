// The table models and the filter proxy over real groups: what cells and
// headers show for the active version, which cells take edits, the filter,
// read-only mode and the teeth shapes; every model under Qt's model tester.
#include "model/coordsys.h"
#include "model/itemsfiltermodel.h"
#include "model/tablemodelteeth.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/teethgroupsmodel.h"
#include "model/tools.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QFont>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

const QColor black(Qt::black), red(Qt::red), grey(Qt::lightGray);

QColor colour(const QAbstractItemModel *model, int row, int column)
{
    return model->index(row, column).data(Qt::ForegroundRole).value<QBrush>().color();
}

bool italic(const QAbstractItemModel *model, int row, int column)
{
    return model->index(row, column).data(Qt::FontRole).value<QFont>().italic();
}

bool editable(const QAbstractItemModel *model, int row, int column)
{
    return model->flags(model->index(row, column)).testFlag(Qt::ItemIsEditable);
}

QString headers(const QAbstractItemModel *model, Qt::Orientation orientation, int role)
{
    QStringList texts;
    const int count = orientation == Qt::Horizontal ? model->columnCount() : model->rowCount();
    for (int section = 0; section < count; ++section)
        texts.append(model->headerData(section, orientation, role).toString());
    return texts.join(u',');
}

} // namespace

class TestTableModels : public QObject
{
    Q_OBJECT

private slots:
    // Every model and proxy, driven through its slots while the tester watches.
    void modelTester()
    {
        using Tester = QAbstractItemModelTester;
        for (int tag = 1; tag <= 5; ++tag) {
            std::unique_ptr<ParameterGroup> group(ParameterGroup::create(tag));
            TableModel *model = group->createModel();
            ItemsFilterModel *filter = group->createFilterModel();
            filter->setSourceModel(model);
            Tester modelTester(model, Tester::FailureReportingMode::QtTest);
            Tester filterTester(filter, Tester::FailureReportingMode::QtTest);
            model->setActiveVersion(ModelVersion(VrkA1, 6));
            filter->setActiveVersion(ModelVersion(VrkA1, 6));
            filter->setShowOnlyActive(true);
            QVERIFY(model->setData(model->index(2, 0), "4.5"));
            group->accept();
            model->setReadOnly(true);
            filter->setActiveVersion(ModelVersion(ZumB1, 8));
            filter->setShowOnlyActive(false);
            if (auto *teeth = qobject_cast<TableModelTeeth *>(model))
                teeth->setCurrentShape(3);
            group->revert();
        }
        Teeth teeth;
        TeethGroupsModel *shapes = teeth.createShapesModel();
        ItemsFilterModel *filter = teeth.createShapesFilterModel();
        filter->setSourceModel(shapes);
        Tester shapesTester(shapes, Tester::FailureReportingMode::QtTest);
        Tester filterTester(filter, Tester::FailureReportingMode::QtTest);
        shapes->setActiveVersion(ModelVersion(VrkD1, 6));
        filter->setActiveVersion(ModelVersion(ZumB1, 6));
        filter->setShowOnlyActive(true);
        QCOMPARE(filter->rowCount(), 1);
    }

    void cellsAndHeaders()
    {
        TechParameters group;
        TableModel *model = group.createModel();
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        group.value(0).reset(1.5);
        group.value(1).reset(2500);
        group.value(3).reset(-0.25);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("1.500000"));
        QCOMPARE(model->index(1, 0).data(Qt::EditRole).toString(), QStringLiteral("2500.000000"));
        QCOMPARE(model->index(3, 0).data().toString(), QStringLiteral("-0.250000"));
        QCOMPARE(model->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
        QVERIFY(!model->index(0, 0).data(Qt::FontRole).isValid());
        QVERIFY(!model->index(0, 0).data(10).isValid());
        QCOMPARE(colour(model, 0, 0), black);

        QSignalSpy groupChanged(&group, &ParameterGroup::DataChanged);
        QVERIFY(!model->setData(model->index(0, 0), "1,5"));
        QVERIFY(!model->setData(model->index(0, 0), "2", Qt::DisplayRole));
        QVERIFY(model->setData(model->index(0, 0), "2"));
        QCOMPARE(group.value(0).value(), 2.0);
        QCOMPARE(groupChanged.count(), 1);
        QCOMPARE(colour(model, 0, 0), red);
        QVERIFY(italic(model, 0, 0));
        // Not a finite number, or none a 32-bit float can carry: refused.
        for (const char *text : {"nan", "inf", "-inf", "1e300"}) {
            QVERIFY2(!model->setData(model->index(3, 0), QString::fromLatin1(text)), text);
            QVERIFY2(!model->setData(model->index(3, 0), std::stod(text)), text);
        }
        QVERIFY(!group.value(3).isModified());
        QCOMPARE(groupChanged.count(), 1);

        // Row 60 is ZumB1's: grey, explained, still editable; grey beats red.
        QCOMPARE(colour(model, 60, 0), grey);
        QCOMPARE(model->headerData(60, Qt::Vertical, Qt::ForegroundRole).value<QBrush>().color(),
                 grey);
        QVERIFY(model->setData(model->index(60, 0), "7"));
        QCOMPARE(colour(model, 60, 0), grey);
        QStringList tips = headers(model, Qt::Vertical, Qt::ToolTipRole).split(u',');
        QCOMPARE(tips.mid(58, 4), (QStringList{"", "", "Machine mismatch", "Machine mismatch"}));
        QCOMPARE(tips.at(76), QStringLiteral("Inactive"));
        QCOMPARE(headers(model, Qt::Horizontal, Qt::DisplayRole), QStringLiteral("Value"));
        QVERIFY(!model->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());

        // Accepting repaints every cell and clears the marks.
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        group.accept();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(1).toModelIndex(), model->index(255, 0));
        QCOMPARE(colour(model, 0, 0), black);
    }

    void versionDisabledAndReadOnly()
    {
        Tools group;
        TableModel *model = group.createModel();
        QSignalSpy headerChanges(model, &QAbstractItemModel::headerDataChanged);
        model->setActiveVersion(ModelVersion(ZumB1, 6));
        model->setActiveVersion(ModelVersion(ZumB1, 6));
        QCOMPARE(headerChanges.count(), 2);
        QCOMPARE(headers(model, Qt::Horizontal, Qt::DisplayRole),
                 QStringLiteral("Xu,Yu,Xd,Yd,Z,Axis 5,Axis 6,Axis 7"));
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(headers(model, Qt::Horizontal, Qt::ToolTipRole),
                 QStringLiteral(",,,,Machine mismatch,Inactive,Inactive,Inactive"));
        QCOMPARE(colour(model, 1, 3), black);
        QCOMPARE(colour(model, 1, 4), grey);

        // Tool T0 is disabled: no edits, not even directly.
        QVERIFY(!editable(model, 0, 0));
        QVERIFY(!model->setData(model->index(0, 0), "1"));
        QVERIFY(editable(model, 1, 7));
        QVERIFY(model->setData(model->index(1, 0), "5"));
        QCOMPARE(group.modifiedValues(), (ParameterGroup::VariableValues{{1288, 5.0f}}));

        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->setReadOnly(true);
        model->setReadOnly(true);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!editable(model, 1, 0));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("5.000000"));
        QCOMPARE(colour(model, 1, 0), red);
        model->setReadOnly(false);
        QVERIFY(editable(model, 1, 0));
    }

    void filter()
    {
        TechParameters group;
        ItemsFilterModel *filter = group.createFilterModel();
        filter->setSourceModel(group.createModel());
        filter->setShowOnlyActive(true);
        QCOMPARE(filter->rowCount(), 0); // nothing is active for the default version
        filter->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(filter->rowCount(), 21 + 33);
        filter->setActiveVersion(ModelVersion(VrkE1, 8));
        QCOMPARE(filter->rowCount(), 21 + 33 + 6 + 2);
        filter->setActiveVersion(ModelVersion(ZumB1, 8));
        QCOMPARE(filter->rowCount(), 21 + 16);
        filter->setShowOnlyActive(false);
        QCOMPARE(filter->rowCount(), 256);

        Coordsys coordsys;
        ItemsFilterModel *columns = coordsys.createFilterModel();
        columns->setSourceModel(coordsys.createModel());
        columns->setActiveVersion(ModelVersion(VrkA1, 6));
        columns->setShowOnlyActive(true);
        QCOMPARE(columns->columnCount(), 4);
        QCOMPARE(columns->rowCount(), 6);
        columns->setActiveVersion(ModelVersion(ZumB1, 6));
        QCOMPARE(columns->columnCount(), 5);
    }

    void teethShapes()
    {
        Teeth group;
        auto *model = qobject_cast<TableModelTeeth *>(group.createModel());
        QCOMPARE(model->rowCount(), 64);
        QCOMPARE(model->columnCount(), 10);
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        const QString rowTips = headers(model, Qt::Vertical, Qt::ToolTipRole);
        QVERIFY(model->setData(model->index(0, 0), "1"));
        QCOMPARE(group.modifiedValues().first().first, 8192);

        // L9 greys every cell and leaves the headers alone.
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy headerChanges(model, &QAbstractItemModel::headerDataChanged);
        model->setCurrentShape(8);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(headerChanges.count(), 0);
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column)
                QCOMPARE(colour(model, row, column), grey);
        }
        QCOMPARE(headers(model, Qt::Vertical, Qt::ToolTipRole), rowTips);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("0.000000"));
        // Shape L9, tooth 9, P64 is the last variable; P02 of tooth 1 in L9 is
        // index 8 * 640 + 64 + 1.
        QVERIFY(model->setData(model->index(63, 9), "3"));
        QCOMPARE(group.modifiedValues().last().first, 13951);
        QVERIFY(model->setData(model->index(1, 1), "4"));
        QCOMPARE(group.value(8 * 640 + 64 + 1).value(), 4.0);
        // A shape outside the list is ignored.
        model->setCurrentShape(9);
        model->setCurrentShape(-1);
        QCOMPARE(model->currentShape(), 8);
        model->setCurrentShape(0);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("1.000000"));

        TeethGroupsModel *shapes = group.createShapesModel();
        QCOMPARE(shapes->columnCount(), 1);
        shapes->setActiveVersion(ModelVersion(VrkD1, 6));
        QCOMPARE(shapes->index(7, 0).data().toString(), QStringLiteral("L8 - UNI"));
        QCOMPARE(shapes->index(5, 0).data(Qt::UserRole).toInt(), 5);
        shapes->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(shapes->index(7, 0).data().toString(), QStringLiteral("L8"));
        QVERIFY(!italic(shapes, 7, 0));
        QVERIFY(italic(shapes, 8, 0));
        QCOMPARE(shapes->flags(shapes->index(8, 0)),
                 Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
    }

    // Editing through a real view: a double click opens an editor on T1 but
    // not on the disabled T0, and the typed value reaches the group.
    void editThroughView()
    {
        Tools group;
        TableModel *model = group.createModel();
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        ItemsFilterModel *filter = group.createFilterModel();
        filter->setSourceModel(model);
        QTableView view;
        view.setModel(filter);
        view.resize(800, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto openEditor = [&](int row, int column) {
            const QPoint centre = view.visualRect(filter->index(row, column)).center();
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre);
            return view.viewport()->findChild<QLineEdit *>();
        };
        QVERIFY(!openEditor(0, 0));
        QLineEdit *editor = openEditor(1, 2);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("0.000000"));
        editor->selectAll();
        QTest::keyClicks(editor, "12.25");
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on the next event-loop turn.
        QTRY_COMPARE(group.value(8 + 2).value(), 12.25);
        QCOMPARE(colour(filter, 1, 2), red);
    }
};

QTEST_MAIN(TestTableModels)
#include "tst_tablemodels.moc"
