#include "widgets/mdnstableview.h"

#include "widgets/mdnstablemodel.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QUrl>

#include <optional>

namespace {
// The record of a row the model still has; nothing for a stale index or a
// machine whose address is not known yet.
std::optional<MdnsTableModel::Record> recordAt(const QModelIndex &index)
{
    if (!index.isValid() || index.row() >= index.model()->rowCount())
        return std::nullopt;
    return index.data(Qt::UserRole).value<MdnsTableModel::Record>();
}

std::optional<MdnsTableModel::Record> resolvedRecordAt(const QModelIndex &index)
{
    auto record = recordAt(index);
    if (!record || record->addresses.isEmpty())
        return std::nullopt;
    return record;
}
} // namespace

MdnsTableView::MdnsTableView(QWidget *parent)
    : QTableView(parent), m_model(new MdnsTableModel(this))
{
    connect(this, &QTableView::doubleClicked, this, &MdnsTableView::OnDoubleClick);
    setModel(m_model);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &MdnsTableView::OnRowsInserted);

    // Name, host and address whole; the description takes the rest of the
    // width, elided rather than pushed out of sight.
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(MdnsTableModel::ColumnCount - 1, QHeaderView::Stretch);
    setWordWrap(false);
    horizontalHeader()->setStretchLastSection(true);
    // Tab moves on to the buttons instead of from cell to cell.
    setTabKeyNavigation(false);

    auto addAction = [this](const QString &text, void (MdnsTableView::*slot)()) {
        auto *action = new QAction(text, this);
        connect(action, &QAction::triggered, this, slot);
        QWidget::addAction(action);
    };
    addAction(tr("Copy IP address"), &MdnsTableView::OnCopyIp);
    addAction(tr("Copy host name"), &MdnsTableView::OnCopyHostName);
    addAction(tr("Open web console"), &MdnsTableView::OnOpenWeb);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MdnsTableView::selectionChanged(const QItemSelection &selected,
                                     const QItemSelection &deselected)
{
    QTableView::selectionChanged(selected, deselected);
    // Only a row the user chose replaces the typed host: focus arriving by
    // Tab makes a cell current without choosing anything.
    if (selected.isEmpty() || m_removingRows)
        return;
    if (const auto record = resolvedRecordAt(selected.indexes().first()))
        emit machineSelected(record->target());
}

void MdnsTableView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    // A machine that leaves the network takes the selection with it; the one
    // the view selects next was not chosen and must not replace the host.
    m_removingRows = true;
    QTableView::rowsAboutToBeRemoved(parent, start, end);
    m_removingRows = false;
}

void MdnsTableView::OnDoubleClick(QModelIndex index)
{
    if (const auto record = resolvedRecordAt(index))
        emit machineConnect(record->target());
}

void MdnsTableView::OnCopyIp()
{
    if (const auto record = resolvedRecordAt(currentIndex()))
        QGuiApplication::clipboard()->setText(record->addresses.first().toString());
}

void MdnsTableView::OnCopyHostName()
{
    if (const auto record = recordAt(currentIndex()))
        QGuiApplication::clipboard()->setText(record->hostName());
}

void MdnsTableView::OnOpenWeb()
{
    const auto record = resolvedRecordAt(currentIndex());
    if (!record)
        return;
    // QUrl brackets an IPv6 address; a zone index has no place in a URL.
    QHostAddress address = record->addresses.first();
    address.setScopeId(QString());
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(address.toString());
    url.setPath(QStringLiteral("/"));
    QDesktopServices::openUrl(url);
}

void MdnsTableView::OnRowsInserted(QModelIndex, int, int)
{
    horizontalHeader()->setStretchLastSection(true);
}
