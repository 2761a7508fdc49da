#pragma once

#include "mdns/browser.h"
#include "mdns/cache.h"
#include "mdns/server.h"
#include "mdns/service.h"

#include <QAbstractTableModel>
#include <QHostAddress>
#include <QList>

// The machines that announce themselves on the local network as Modbus TCP
// services, one row per service instance, with the addresses found for them.
class MdnsTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        NameColumn = 0,
        HostColumn,
        AddressColumn,
        DescriptionColumn,
        ColumnCount
    };

    // One discovered machine; what Qt::UserRole gives for every column.
    struct Record
    {
        Mdns::Service service;
        QList<QHostAddress> addresses; // in the order they were resolved

        // The host name without the trailing dot of the root.
        QString hostName() const;
        // What a user types to reach the machine: the first address, with
        // the service's port when that is not the Modbus default; empty while
        // no address is known.
        QString target() const;
    };

    explicit MdnsTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Column 3: the first TXT attribute, key and value run together, spaces
    // collapsed.
    static QString describe(const Mdns::Service &service);

private slots:
    void onServiceAdded(Mdns::Service service);
    void onServiceUpdated(Mdns::Service service);
    void onServiceRemoved(Mdns::Service service);
    void onServiceResolved(Mdns::Service service, QHostAddress address);

private:
    // The first row with this service name, -1 for none.
    int findRow(const Mdns::Service &service) const;
    // Looks up the addresses of the service's host for its row.
    void resolve(const Mdns::Service &service);
    // Keeps the rows of a host in step with its addresses once resolved.
    void onAddressRecord(const Mdns::Record &record, bool added);

    Mdns::Server m_server;
    Mdns::Cache m_cache;
    Mdns::Browser m_browser;
    QList<Record> m_rows;
};

Q_DECLARE_METATYPE(MdnsTableModel::Record)
