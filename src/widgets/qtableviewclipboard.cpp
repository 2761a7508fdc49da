#include "widgets/qtableviewclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>

#include <algorithm>

namespace {

QModelIndexList sortedSelection(const QItemSelectionModel *selection)
{
    QModelIndexList indexes = selection ? selection->selectedIndexes() : QModelIndexList();
    std::sort(indexes.begin(), indexes.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    return indexes;
}

void dropTrailingEmpty(QStringList &list)
{
    while (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
}

} // namespace

QTableViewClipboard::QTableViewClipboard(QWidget *parent) : QTableView(parent) {}

void QTableViewClipboard::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::Paste))
        paste();
    else
        QTableView::keyPressEvent(event);
}

void QTableViewClipboard::copy()
{
    const QModelIndexList indexes = sortedSelection(selectionModel());
    if (indexes.isEmpty())
        return;
    QString text;
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        text += indexes.at(i).data(Qt::DisplayRole).toString();
        if (i + 1 < indexes.size())
            text += indexes.at(i + 1).row() == indexes.at(i).row() ? u'\t' : u'\n';
    }
    QApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void QTableViewClipboard::paste()
{
    QAbstractItemModel *target = model();
    const QModelIndexList indexes = sortedSelection(selectionModel());
    if (!target || indexes.isEmpty())
        return;
    QModelIndex anchor = indexes.first();
    if (!anchor.isValid())
        anchor = target->index(0, 0);

    QStringList lines = QApplication::clipboard()->text(QClipboard::Clipboard).split(u'\n');
    dropTrailingEmpty(lines);
    if (lines.isEmpty())
        return;
    QList<QStringList> rows;
    for (const QString &line : std::as_const(lines)) {
        QStringList cells = line.split(u'\t');
        dropTrailingEmpty(cells);
        rows.append(cells);
    }
    const qsizetype width = rows.first().size();
    if (std::any_of(rows.cbegin(), rows.cend(),
                    [width](const QStringList &cells) { return cells.size() != width; }))
        return;

    if (target->rowCount() - anchor.row() < rows.size() ||
        target->columnCount() - anchor.column() < width) {
        auto *box =
            new QMessageBox(QMessageBox::Warning, tr("Paste Error"),
                            tr("Invalid clipboard data, unable to perform paste operation."),
                            QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    // Cell by cell, so that every change is announced on its own; a refused
    // cell does not stop the rest.
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < width; ++c) {
            const QModelIndex cell = target->index(anchor.row() + static_cast<int>(r),
                                                   anchor.column() + static_cast<int>(c));
            target->setData(cell, rows.at(r).at(c), Qt::EditRole);
        }
    }
}
