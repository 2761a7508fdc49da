#include "editors/valuecolumns.h"

#include <QHeaderView>
#include <QTableView>

namespace {
// The widest value the tables usually show, and the header's margins and
// padding around a section text.
constexpr QStringView WideValue = u"-00000.000000";
constexpr int SectionExtra = 2 * 10 + 12;
} // namespace

void fitValueColumns(QTableView *table)
{
    table->setWordWrap(false);
    QHeaderView *header = table->horizontalHeader();
    int width = table->fontMetrics().horizontalAdvance(WideValue.toString());
    if (QAbstractItemModel *model = table->model()) {
        for (int column = 0; column < model->columnCount(); ++column)
            width = std::max(width, header->fontMetrics().horizontalAdvance(
                                        model->headerData(column, Qt::Horizontal).toString()));
    }
    header->setMinimumSectionSize(std::max(header->minimumSectionSize(), width + SectionExtra));
}
