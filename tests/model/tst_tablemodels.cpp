// The table models and the filter proxy over real groups: what cells and
// headers show for the active version, which cells take edits, the filter,
// read-only mode and the teeth shapes; every model under Qt's model tester.
#include "model/coordsys.h"
#include "model/groupfactory.h"
#include "model/itemsfiltermodel.h"
#include "model/tablemodelteeth.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/teethgroupsmodel.h"
#include "model/tools.h"
#include "widgets/itemstylemodel.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QFont>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QColor black(Qt::black), red(Qt::red), grey(Qt::lightGray);

QVariant cell(const QAbstractItemModel *model, int row, int column, int role = Qt::DisplayRole)
{
    return model->index(row, column).data(role);
}

// A cell as the windows show it, font and colour included.
QVariant shown(QAbstractItemModel *model, int row, int column, int role)
{
    const ItemStyleModel styled(model);
    return cell(&styled, row, column, role);
}

QColor colour(QAbstractItemModel *model, int row, int column)
{
    return shown(model, row, column, Qt::ForegroundRole).value<QBrush>().color();
}

bool editable(const QAbstractItemModel *model, int row, int column)
{
    return model->flags(model->index(row, column)).testFlag(Qt::ItemIsEditable);
}

} // namespace

class TestTableModels : public QObject
{
    Q_OBJECT

private slots:
    // Every model and proxy, driven through its slots while the tester watches.
    void modelTester()
    {
        const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
        for (int tag = 1; tag <= 5; ++tag) {
            std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
            TableModel *model = group->createModel();
            ItemsFilterModel *filter = group->createFilterModel();
            filter->setSourceModel(model);
            ItemStyleModel styled(filter);
            QAbstractItemModelTester modelTester(model, mode), filterTester(filter, mode),
                styledTester(&styled, mode);
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
    }

    // Text, font and colour of clean, modified and mismatched cells, and the
    // numbers that a cell refuses.
    void cells()
    {
        TechParameters group;
        TableModel *model = group.createModel();
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        group.value(0).reset(1.5);
        group.value(3).reset(-0.25);
        QCOMPARE(cell(model, 0, 0).toString(), QStringLiteral("1.500000"));
        QCOMPARE(cell(model, 3, 0, Qt::EditRole).toString(), QStringLiteral("-0.25"));
        QVERIFY(!shown(model, 0, 0, Qt::FontRole).isValid());
        QCOMPARE(colour(model, 0, 0), black);

        QSignalSpy groupChanged(&group, &ParameterGroup::DataChanged);
        QVERIFY(!model->setData(model->index(0, 0), "2", Qt::DisplayRole));
        QVERIFY(model->setData(model->index(0, 0), "2"));
        QCOMPARE(group.value(0).value(), 2.0);
        QCOMPARE(colour(model, 0, 0), red);
        QVERIFY(shown(model, 0, 0, Qt::FontRole).value<QFont>().italic());
        // No number, not a finite one, or none a 32-bit float can carry: refused.
        for (const char *text : {"1,5", "nan", "inf", "1e300"})
            QVERIFY2(!model->setData(model->index(3, 0), QString::fromLatin1(text)), text);
        QCOMPARE(group.value(3).value(), -0.25);
        QCOMPARE(groupChanged.count(), 1);

        // Row 60 is ZumB1's: grey, still editable; grey beats red.
        QVERIFY(model->setData(model->index(60, 0), "7"));
        QCOMPARE(colour(model, 60, 0), grey);
        const QVariant header =
            ItemStyleModel(model).headerData(60, Qt::Vertical, Qt::ForegroundRole);
        QCOMPARE(header.value<QBrush>().color(), grey);

        // Accepting repaints every cell and clears the marks.
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        group.accept();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(colour(model, 0, 0), black);
    }

    void disabledAndReadOnly()
    {
        Tools group;
        TableModel *model = group.createModel();
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        QStringList tips;
        for (int column = 0; column < model->columnCount(); ++column)
            tips << model->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString();
        QCOMPARE(tips.join(u','), QString(",,,,Machine mismatch,Inactive,Inactive,Inactive"));
        QCOMPARE(colour(model, 1, 3), black);
        QCOMPARE(colour(model, 1, 4), grey);
        // Tool T0 is disabled: no edits, not even directly.
        QVERIFY(!editable(model, 0, 0));
        QVERIFY(!model->setData(model->index(0, 0), "1"));
        QVERIFY(editable(model, 1, 7));
        QVERIFY(model->setData(model->index(1, 0), "5"));
        QCOMPARE(group.modifiedValues(), (ParameterGroup::VariableValues{{1288, 5.0f}}));

        model->setReadOnly(true);
        QVERIFY(!editable(model, 1, 0));
        QCOMPARE(cell(model, 1, 0).toString(), QStringLiteral("5.000000"));
        QCOMPARE(colour(model, 1, 0), red);
    }

    // The census of active rows and columns: every mask and first version at once.
    void filter()
    {
        const std::tuple<int, ModelVersion, int, int> census[] = {
            {1, {}, 0, 1},
            {1, {VrkA1, 6}, 21 + 33, 1},
            {1, {VrkE1, 8}, 21 + 33 + 6 + 2, 1},
            {1, {ZumB1, 8}, 21 + 16, 1},
            {3, {ZumB1, 6}, 6, 5},
            {5, {VrkA1, 6}, 7 + 25, 10},
            {5, {VrkE1, 8}, 7 + 25 + 9 + 5, 10},
            {5, {ZumB1, 8}, 7 + 5, 10}};
        for (const auto &[tag, version, rows, columns] : census) {
            std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
            ItemsFilterModel *filter = group->createFilterModel();
            filter->setSourceModel(group->createModel());
            filter->setActiveVersion(version);
            filter->setShowOnlyActive(true);
            const QString at = QStringLiteral("%1 %2: ").arg(tag).arg(version.toString());
            QCOMPARE(at + QString("%1x%2").arg(filter->rowCount()).arg(filter->columnCount()),
                     at + QString("%1x%2").arg(rows).arg(columns));
            filter->setShowOnlyActive(false);
            QCOMPARE(filter->rowCount(), filter->sourceModel()->rowCount());
        }
    }

    void teethShapes()
    {
        Teeth group;
        auto *model = qobject_cast<TableModelTeeth *>(group.createModel());
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        QVERIFY(model->setData(model->index(0, 0), "1"));
        // L9 greys even an active parameter.
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->setCurrentShape(8);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(colour(model, 0, 9), grey);
        QCOMPARE(cell(model, 0, 0).toString(), QStringLiteral("0.000000"));
        QVERIFY(model->setData(model->index(1, 1), "4"));
        QCOMPARE(group.value(8 * 640 + 64 + 1).value(), 4.0);
        model->setCurrentShape(9); // outside the list: ignored
        model->setCurrentShape(-1);
        QCOMPARE(model->currentShape(), 8);
        model->setCurrentShape(0);
        QCOMPARE(cell(model, 0, 0).toString(), QStringLiteral("1.000000"));

        TeethGroupsModel *shapes = group.createShapesModel();
        ItemsFilterModel *filter = group.createShapesFilterModel();
        filter->setSourceModel(shapes);
        const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
        QAbstractItemModelTester shapesTester(shapes, mode), filterTester(filter, mode);
        shapes->setActiveVersion(ModelVersion(VrkD1, 6));
        QCOMPARE(cell(shapes, 7, 0).toString(), QStringLiteral("L8 - UNI"));
        QCOMPARE(cell(shapes, 5, 0, Qt::UserRole).toInt(), 5);
        filter->setActiveVersion(ModelVersion(ZumB1, 6));
        filter->setShowOnlyActive(true);
        QCOMPARE(filter->rowCount(), 1);
        shapes->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(cell(shapes, 7, 0).toString(), QStringLiteral("L8"));
        QVERIFY(!shown(shapes, 7, 0, Qt::FontRole).value<QFont>().italic());
        QVERIFY(shown(shapes, 8, 0, Qt::FontRole).value<QFont>().italic());
    }
};

QTEST_MAIN(TestTableModels)
#include "tst_tablemodels.moc"
