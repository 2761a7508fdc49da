#include "widgets/qtableviewclipboard.h"

#include "widgets/celleditdelegate.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int RefusalShownMs = 6000;

QModelIndexList sortedSelection(const QItemSelectionModel *selection)
{
    QModelIndexList indexes = selection ? selection->selectedIndexes() : QModelIndexList();
    std::sort(indexes.begin(), indexes.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    return indexes;
}

QStringView withoutTrailingTabs(QStringView line)
{
    while (line.endsWith(u'\t'))
        line.chop(1);
    return line;
}

void dropTrailingEmpty(QStringList &list)
{
    while (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
}

} // namespace

QTableViewClipboard::QTableViewClipboard(QWidget *parent) : QTableView(parent)
{
    auto *delegate = new CellEditDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &CellEditDelegate::refused, this, &QTableViewClipboard::showRefused);
}

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
        // The edit text, not the display: the display may round, and a
        // pasted copy must not change a value.
        text += indexes.at(i).data(Qt::EditRole).toString();
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

    // Spreadsheets on some systems end lines with CR LF; a CR left at the end
    // of a line would count as a cell of its own.
    const QString text = QApplication::clipboard()
                             ->text(QClipboard::Clipboard)
                             .replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // The block is measured before anything is split: a whole file on the
    // clipboard would cost a string per line and per cell before it was
    // refused, enough memory to freeze the window or end the program.
    qsizetype height = 0, width = 0, lineCount = 0;
    for (const QStringView line : QStringView(text).tokenize(u'\n')) {
        ++lineCount;
        if (!line.isEmpty()) // empty lines at the end are no rows
            height = lineCount;
        if (const QStringView cells = withoutTrailingTabs(line); !cells.isEmpty())
            width = std::max(width, cells.count(u'\t') + 1);
    }
    if (height == 0)
        return;
    if (target->rowCount() - anchor.row() < height ||
        target->columnCount() - anchor.column() < width) {
        showError(tr("Invalid clipboard data, unable to perform paste operation."));
        return;
    }
    QList<QStringList> rows;
    for (const QStringView line : QStringView(text).tokenize(u'\n')) {
        if (rows.size() == height)
            break;
        QStringList cells = withoutTrailingTabs(line).toString().split(u'\t');
        dropTrailingEmpty(cells);
        // A copied cell without a number is empty, and a row ending in one
        // comes out short: the missing cells are empty, and an empty cell
        // leaves its target as it is.
        cells.resize(width);
        rows.append(cells);
    }

    // The cells to set: those with text whose target takes edits (a refused
    // or empty cell leaves its target as it is).
    QList<std::pair<QModelIndex, QString>> cells;
    bool anyText = false;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < width; ++c) {
            const QString &text = rows.at(r).at(c);
            const QModelIndex cell = target->index(anchor.row() + static_cast<int>(r),
                                                   anchor.column() + static_cast<int>(c));
            anyText = anyText || !text.isEmpty();
            if (!text.isEmpty() && cell.flags().testFlag(Qt::ItemIsEditable))
                cells.append({cell, text});
        }
    }
    // A read-only table (an editor refreshing automatically) takes no paste,
    // as it takes no typing.
    if (anyText && (cells.isEmpty() || editTriggers() == NoEditTriggers)) {
        showError(tr("The table cannot be edited at the moment (it may be refreshing "
                     "automatically), so nothing was pasted."));
        return;
    }
    // Cell by cell, so that every change is announced on its own; a refused
    // cell does not stop the rest.
    for (const auto &[cell, text] : std::as_const(cells))
        target->setData(cell, text, Qt::EditRole);
}

void QTableViewClipboard::showError(const QString &text)
{
    auto *box =
        new QMessageBox(QMessageBox::Warning, tr("Paste Error"), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void QTableViewClipboard::showRefused(const QModelIndex &index, const QString &text)
{
    // At the cell and without a box: a typo needs no click to go away. Once
    // the editor has closed, or the focus it hands back would hide the tip.
    const QString message = tr("\"%1\" is not a number the machine can hold; the value is "
                               "unchanged. Decimals are written with a point, as in 1.5.")
                                .arg(text);
    const QPoint at = viewport()->mapToGlobal(visualRect(index).bottomLeft());
    QTimer::singleShot(0, this, [this, at, message] {
        QToolTip::showText(at, message, viewport(), {}, RefusalShownMs);
    });
}
