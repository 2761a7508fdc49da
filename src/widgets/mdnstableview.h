#pragma once

#include <QTableView>

class MdnsTableModel;

// The table of machines found on the network, with a context menu to copy a
// machine's address or host name and to open its web console.
class MdnsTableView : public QTableView
{
    Q_OBJECT
public:
    explicit MdnsTableView(QWidget *parent = nullptr);

    MdnsTableModel *mdnsModel() const { return m_model; }

signals:
    // The address to type for the machine of the current row.
    void machineSelected(QString address);
    // The user asked to connect to that machine at once.
    void machineConnect(QString address);

protected:
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

private slots:
    void OnRowsInserted(QModelIndex parent, int first, int last);
    void OnCopyIp();
    void OnCopyHostName();
    void OnOpenWeb();
    void OnDoubleClick(QModelIndex index);

private:
    MdnsTableModel *m_model;
    // Set while the view moves the selection off rows about to go.
    bool m_removingRows = false;
};
