// The table models and the filter proxy over real groups: what cells and
// headers show for the active version, which cells take edits, the filter,
// read-only mode and the teeth shapes; every model under Qt's model tester.
#include "model/coordsys.h"
#include "model/itemsfiltermodel.h"
#include "model/rparameters.h"
#include "model/tablemodel.h"
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

QColor foreground(const QAbstractItemModel *model, int row, int column)
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

int visibleRows(ItemsFilterModel *filter)
{
    return filter->rowCount();
}

} // namespace

class TestTableModels : public QObject
{
    Q_OBJECT

private slots:
    // Every model and proxy, driven through its slots while the tester watches.
    void modelTester()
    {
        for (int tag = 1; tag <= 5; ++tag) {
            std::unique_ptr<ParameterGroup> group(ParameterGroup::create(tag));
            TableModel *model = group->createModel();
            ItemsFilterModel *filter = group->createFilterModel();
            filter->setSourceModel(model);
            QAbstractItemModelTester modelTester(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest);
            QAbstractItemModelTester filterTester(
                filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
            model->setActiveVersion(ModelVersion(VrkA1, 6));
            filter->setActiveVersion(ModelVersion(VrkA1, 6));
            filter->setShowOnlyActive(true);
            QVERIFY(filter->rowCount() > 0);
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
        QAbstractItemModelTester shapesTester(
            shapes, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester filterTester(
            filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
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
        QVERIFY(!model->index(0, 0).data(Qt::BackgroundRole).isValid());
        QCOMPARE(foreground(model, 0, 0), QColor(Qt::black));

        QSignalSpy groupChanged(&group, &ParameterGroup::DataChanged);
        QSignalSpy cellChanged(model, &QAbstractItemModel::dataChanged);
        QVERIFY(!model->setData(model->index(0, 0), "1,5"));
        QVERIFY(!model->setData(model->index(0, 0), "2", Qt::DisplayRole));
        QCOMPARE(group.value(0).value(), 1.5);
        QVERIFY(model->setData(model->index(0, 0), "2"));
        QCOMPARE(group.value(0).value(), 2.0);
        QCOMPARE(cellChanged.count(), 1);
        QCOMPARE(groupChanged.count(), 1);
        QCOMPARE(foreground(model, 0, 0), QColor(Qt::red));
        QVERIFY(italic(model, 0, 0));
        // A fuzzy-equal entry succeeds but changes nothing.
        QVERIFY(model->setData(model->index(1, 0), "2500.0000000000001"));
        QVERIFY(!group.value(1).isModified());

        // Not a finite number, or none a 32-bit float can carry: refused.
        for (const char *text : {"nan", "NaN", "inf", "-inf", "1e300"}) {
            QVERIFY2(!model->setData(model->index(3, 0), QString::fromLatin1(text)), text);
            QVERIFY2(!model->setData(model->index(3, 0), QVariant(std::stod(text))), text);
        }
        QCOMPARE(group.value(3).value(), -0.25);
        QVERIFY(!group.value(3).isModified());

        // Row 60 is ZumB1's: grey, explained, still editable.
        QCOMPARE(foreground(model, 60, 0), QColor(Qt::lightGray));
        QCOMPARE(model->headerData(60, Qt::Vertical, Qt::ToolTipRole).toString(),
                 QStringLiteral("Machine mismatch"));
        QCOMPARE(model->headerData(60, Qt::Vertical, Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::lightGray));
        QVERIFY(editable(model, 60, 0));
        QVERIFY(model->setData(model->index(60, 0), "7"));
        QCOMPARE(foreground(model, 60, 0), QColor(Qt::lightGray)); // inactive wins over red
        QCOMPARE(model->headerData(76, Qt::Vertical, Qt::ToolTipRole).toString(),
                 QStringLiteral("Inactive"));
        QVERIFY(!model->headerData(0, Qt::Vertical, Qt::ToolTipRole).isValid());
        QVERIFY(!model->headerData(0, Qt::Vertical, Qt::ForegroundRole).isValid());
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Value"));
        QVERIFY(!model->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QVERIFY(!model->headerData(256, Qt::Vertical).isValid());

        // Accepting repaints everything and clears the marks.
        cellChanged.clear();
        group.accept();
        QCOMPARE(cellChanged.count(), 1);
        QCOMPARE(cellChanged.first().at(1).toModelIndex(), model->index(255, 0));
        QCOMPARE(foreground(model, 0, 0), QColor(Qt::black));
        QVERIFY(!italic(model, 0, 0));
    }

    void versionSwitchesHeaders()
    {
        Coordsys group;
        TableModel *model = group.createModel();
        QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
        model->setActiveVersion(ModelVersion(ZumB1, 6));
        QCOMPARE(headers.count(), 2);
        QCOMPARE(headers.at(0).at(0).value<Qt::Orientation>(), Qt::Vertical);
        QCOMPARE(headers.at(1).at(2).toInt(), 7);
        model->setActiveVersion(ModelVersion(ZumB1, 6));
        QCOMPARE(headers.count(), 2);
        QStringList labels;
        for (int c = 0; c < model->columnCount(); ++c)
            labels.append(model->headerData(c, Qt::Horizontal).toString());
        QCOMPARE(labels.join(u','), QStringLiteral("Xu,Yu,Xd,Yd,Z,Axis 5,Axis 6,Axis 7"));
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Axis 4"));
        QCOMPARE(model->headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("Machine mismatch"));
        QCOMPARE(model->headerData(5, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("Inactive"));
        QCOMPARE(model->headerData(2, Qt::Vertical).toString(), QStringLiteral("G56"));
        QCOMPARE(foreground(model, 1, 3), QColor(Qt::black));
        QCOMPARE(foreground(model, 1, 4), QColor(Qt::lightGray));
    }

    void disabledAndReadOnly()
    {
        Tools group;
        TableModel *model = group.createModel();
        model->setActiveVersion(ModelVersion(VrkC1, 8));
        QVERIFY(!editable(model, 0, 0));
        QVERIFY(!model->setData(model->index(0, 0), "1"));
        QVERIFY(!group.value(0).isModified());
        QVERIFY(editable(model, 1, 7)); // inactive column, still editable
        QVERIFY(model->setData(model->index(1, 0), "5"));
        QCOMPARE(group.modifiedValues().first().first, 1288);

        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->setReadOnly(true);
        QCOMPARE(changed.count(), 1);
        model->setReadOnly(true);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!editable(model, 1, 0));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("5.000000"));
        QCOMPARE(foreground(model, 1, 0), QColor(Qt::red));
        model->setReadOnly(false);
        QVERIFY(editable(model, 1, 0));
    }

    void filter()
    {
        TechParameters group;
        TableModel *model = group.createModel();
        ItemsFilterModel *filter = group.createFilterModel();
        filter->setSourceModel(model);
        QCOMPARE(visibleRows(filter), 256);
        filter->setShowOnlyActive(true);
        QCOMPARE(visibleRows(filter), 0); // nothing is active for the default version
        filter->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(visibleRows(filter), 21 + 33);
        filter->setActiveVersion(ModelVersion(VrkE1, 8));
        QCOMPARE(visibleRows(filter), 21 + 33 + 2 + 6);
        QCOMPARE(filter->headerData(13, Qt::Vertical).toString(),
                 QStringLiteral("13 - SW limit Y+ [mm]"));
        filter->setActiveVersion(ModelVersion(ZumB1, 8));
        QCOMPARE(visibleRows(filter), 21 + 16);
        filter->setShowOnlyActive(false);
        QCOMPARE(visibleRows(filter), 256);

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
        QVERIFY(model);
        QCOMPARE(model->rowCount(), 64);
        QCOMPARE(model->columnCount(), 10);
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(model->headerData(42, Qt::Vertical, Qt::ToolTipRole).toString(),
                 QStringLiteral("Inactive"));
        QCOMPARE(model->headerData(37, Qt::Vertical, Qt::ToolTipRole).toString(),
                 QStringLiteral("Machine mismatch"));
        QCOMPARE(model->headerData(9, Qt::Horizontal).toString(), QStringLiteral("Tooth 9"));

        QVERIFY(model->setData(model->index(0, 0), "1"));
        QCOMPARE(group.modifiedValues().first().first, 8192);
        QCOMPARE(foreground(model, 1, 3), QColor(Qt::black));

        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
        model->setCurrentShape(8);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(headers.count(), 0);
        QCOMPARE(model->currentShape(), 8);
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column)
                QCOMPARE(foreground(model, row, column), QColor(Qt::lightGray));
        }
        QVERIFY(!model->headerData(1, Qt::Vertical, Qt::ToolTipRole).isValid());
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("0.000000"));
        // Shape L9, tooth 9, P64 is the last variable of the block.
        QVERIFY(model->setData(model->index(63, 9), "3"));
        QCOMPARE(group.modifiedValues().last().first, 13951);
        // P02 of tooth 1 in L9: index 8 * 640 + 1 * 64 + 1.
        QVERIFY(model->setData(model->index(1, 1), "4"));
        QCOMPARE(group.value(8 * 640 + 64 + 1).value(), 4.0);

        // Outside the shape list: nothing happens.
        model->setCurrentShape(9);
        model->setCurrentShape(-1);
        QCOMPARE(model->currentShape(), 8);
        QCOMPARE(changed.count(), 3);
        model->setCurrentShape(0);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("1.000000"));
        QVERIFY(italic(model, 0, 0));

        TeethGroupsModel *shapes = group.createShapesModel();
        QCOMPARE(shapes->rowCount(), 9);
        QCOMPARE(shapes->columnCount(), 1);
        shapes->setActiveVersion(ModelVersion(VrkD1, 6));
        QCOMPARE(shapes->index(7, 0).data().toString(), QStringLiteral("L8 - UNI"));
        QCOMPARE(shapes->index(8, 0).data().toString(), QStringLiteral("L9"));
        QCOMPARE(shapes->index(5, 0).data(Qt::UserRole).toInt(), 5);
        shapes->setActiveVersion(ModelVersion(VrkA1, 6));
        QCOMPARE(shapes->index(7, 0).data().toString(), QStringLiteral("L8"));
        QVERIFY(!italic(shapes, 7, 0));
        QVERIFY(italic(shapes, 8, 0));
        QCOMPARE(shapes->flags(shapes->index(8, 0)),
                 Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
        QVERIFY(!shapes->index(0, 0).data(Qt::ForegroundRole).isValid());
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

        const auto doubleClick = [&](int row, int column) {
            const QPoint centre = view.visualRect(filter->index(row, column)).center();
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre);
        };
        const auto openEditor = [&] { return view.viewport()->findChild<QLineEdit *>(); };
        doubleClick(0, 0);
        QVERIFY(!openEditor());
        doubleClick(1, 2);
        QLineEdit *editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("0.000000"));
        editor->selectAll();
        QTest::keyClicks(editor, "12.25");
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on the next event-loop turn.
        QTRY_COMPARE(group.value(8 + 2).value(), 12.25);
        QCOMPARE(foreground(filter, 1, 2), QColor(Qt::red));

        filter->setActiveVersion(ModelVersion(VrkA1, 6));
        filter->setShowOnlyActive(true);
        QCOMPARE(filter->rowCount(), 9);
        QCOMPARE(filter->headerData(0, Qt::Vertical).toString(), QStringLiteral("Tool T1"));
    }
};

QTEST_MAIN(TestTableModels)
#include "tst_tablemodels.moc"
