// The machine-less views: what they show, the modified mark, the shape
// selector and its filter, and that they refuse to close on their own.
#include "editors/parametersview.h"
#include "editors/teethview.h"
#include "model/itemsfiltermodel.h"
#include "model/tablemodelteeth.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/teethgroupsmodel.h"
#include "widgets/qtableviewclipboard.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QTest>

class TestViews : public QObject
{
    Q_OBJECT
private slots:
    void parametersView()
    {
        TechParameters group;
        TableModel *model = group.createModel();
        model->setActiveVersion(ModelVersion(VrkA1, 6));
        ParametersView view(&group, model);
        view.show();
        QCOMPARE(view.windowTitle(), group.title() + QStringLiteral(" [*]"));
        QAbstractItemModel *shown = view.table()->model();
        QVERIFY(!view.isWindowModified());
        QVERIFY(shown->setData(shown->index(3, 0), QStringLiteral("7")));
        QVERIFY(view.isWindowModified());
        group.revert();
        QVERIFY(!view.isWindowModified());
        view.setActiveItemsFilter(true); // rows a VRK-A1 lacks go
        QCOMPARE_LT(shown->rowCount(), 256);
        QVERIFY(!view.close() && view.isVisible());
    }

    void teethView()
    {
        Teeth group;
        auto *model = static_cast<TableModelTeeth *>(group.createModel());
        TeethGroupsModel *shapes = group.createShapesModel();
        model->setActiveVersion(ModelVersion(ZumB1, 8));
        shapes->setActiveVersion(ModelVersion(ZumB1, 8));
        TeethView view(&group, model, shapes);
        view.show();
        auto *combo = view.findChild<QComboBox *>(QStringLiteral("group"));
        QCOMPARE(model->currentShape(), 0);
        combo->setCurrentIndex(2);
        QCOMPARE(model->currentShape(), 2);
        // Only L1 exists on a ZUM-B1: the other shapes leave the selector.
        view.setActiveItemsFilter(true);
        QCOMPARE(combo->count(), 1);
        QCOMPARE(model->currentShape(), 0);
        view.setActiveItemsFilter(false);
        combo->setCurrentIndex(4);
        QCOMPARE(model->currentShape(), 4);
        // An entry without a shape number selects nothing.
        QStandardItemModel foreign;
        foreign.appendRow(new QStandardItem(QStringLiteral("L3")));
        foreign.appendRow(new QStandardItem(QStringLiteral("x")));
        foreign.item(1)->setData(QStringLiteral("x"), Qt::UserRole);
        combo->setModel(&foreign);
        combo->setCurrentIndex(1);
        QCOMPARE(model->currentShape(), 4);
        QVERIFY(!view.close());
    }
};

QTEST_MAIN(TestViews)
#include "tst_views.moc"
