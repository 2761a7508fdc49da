#include "widgets/mdnstablemodel.h"

#include "acpu/modbusconnection.h"
#include "mdns/resolver.h"

#include <QRegularExpression>

namespace {
const QByteArray ServiceType = QByteArrayLiteral("_modbus._tcp.local.");

QByteArray upToNul(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.first(nul);
}

QString latin1Text(const QByteArray &bytes)
{
    return QString::fromLatin1(upToNul(bytes));
}
} // namespace

QString MdnsTableModel::Record::hostName() const
{
    // DNS names are UTF-8 (RFC 6762 section 16); for ASCII names this is the
    // same as Latin-1.
    QString name = QString::fromUtf8(upToNul(service.hostname()));
    static const QRegularExpression trailingDot(QStringLiteral("\\.$"));
    return name.remove(trailingDot);
}

QString MdnsTableModel::Record::target() const
{
    if (addresses.isEmpty())
        return {};
    QHostAddress address = addresses.first();
    const quint16 port = service.port();
    if (port == 0 || port == Acpu::ModbusConnection::DefaultPort)
        return address.toString();
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        return QStringLiteral("[%1]:%2").arg(address.toString()).arg(port);
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

MdnsTableModel::MdnsTableModel(QObject *parent)
    : QAbstractTableModel(parent), m_browser(&m_server, ServiceType, &m_cache)
{
    connect(&m_browser, &Mdns::Browser::serviceAdded, this, &MdnsTableModel::onServiceAdded);
    connect(&m_browser, &Mdns::Browser::serviceUpdated, this, &MdnsTableModel::onServiceUpdated);
    connect(&m_browser, &Mdns::Browser::serviceRemoved, this, &MdnsTableModel::onServiceRemoved);
    connect(&m_cache, &Mdns::Cache::recordAdded, this,
            [this](const Mdns::Record &record) { onAddressRecord(record, true); });
    connect(&m_cache, &Mdns::Cache::recordExpired, this,
            [this](const Mdns::Record &record) { onAddressRecord(record, false); });
}

int MdnsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int MdnsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString MdnsTableModel::describe(const Mdns::Service &service)
{
    const QMap<QByteArray, QByteArray> attributes = service.attributes();
    if (attributes.isEmpty())
        return {};
    const auto first = attributes.constBegin();
    const QString text = latin1Text(first.key()) + latin1Text(first.value());
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts).join(QLatin1Char(' '));
}

QVariant MdnsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= ColumnCount)
        return {};
    const Record &record = m_rows.at(index.row());
    if (role == Qt::UserRole)
        return QVariant::fromValue(record);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case NameColumn:
        // Instance names are UTF-8 (RFC 6763 section 4.1.1).
        return QString::fromUtf8(upToNul(record.service.name()));
    case HostColumn:
        return record.hostName();
    case AddressColumn:
        return record.addresses.isEmpty() ? QString() : record.addresses.first().toString();
    case DescriptionColumn:
        return describe(record.service);
    }
    return {};
}

QVariant MdnsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return tr("Machine name");
    case HostColumn:
        return tr("Host name");
    case AddressColumn:
        return tr("IP address");
    case DescriptionColumn:
        return tr("Machine description");
    }
    return {};
}

int MdnsTableModel::findRow(const Mdns::Service &service) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).service.name() == service.name())
            return static_cast<int>(i);
    }
    return -1;
}

void MdnsTableModel::onServiceAdded(Mdns::Service service)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(Record{service, {}});
    endInsertRows();
    resolve(service);
}

void MdnsTableModel::resolve(const Mdns::Service &service)
{
    auto *resolver = new Mdns::Resolver(&m_server, service.hostname(), &m_cache, this);
    resolver->setObjectName(QString::fromUtf8(service.name()));
    connect(resolver, &Mdns::Resolver::resolved, this,
            [this, service, resolver](const QHostAddress &address) {
                onServiceResolved(service, address);
                resolver->deleteLater();
            });
}

void MdnsTableModel::onServiceResolved(Mdns::Service service, QHostAddress address)
{
    const int row = findRow(service);
    if (row < 0 || m_rows.at(row).addresses.contains(address))
        return;
    m_rows[row].addresses.append(address);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void MdnsTableModel::onServiceUpdated(Mdns::Service service)
{
    const int row = findRow(service);
    if (row < 0)
        return;
    // The addresses stay while the host does: nothing would find them again.
    // A machine that moved to another host is no longer at the old host's
    // address; connecting there would reach whatever took it over.
    Record &record = m_rows[row];
    const bool moved = record.service.hostname() != service.hostname();
    record.service = service;
    if (moved) {
        record.addresses.clear();
        // Nor may a late answer for the old host come in.
        for (auto *resolver : findChildren<Mdns::Resolver *>(QString::fromUtf8(service.name()),
                                                             Qt::FindDirectChildrenOnly))
            delete resolver;
    }
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    if (moved)
        resolve(service);
}

void MdnsTableModel::onServiceRemoved(Mdns::Service service)
{
    const int row = findRow(service);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void MdnsTableModel::onAddressRecord(const Mdns::Record &record, bool added)
{
    if (record.type != Mdns::A && record.type != Mdns::AAAA)
        return;
    // A machine given a new address (a new DHCP lease) announces it and the
    // old one goes stale; a row that kept it would connect to whatever took
    // it over.
    for (int row = 0; row < m_rows.size(); ++row) {
        QList<QHostAddress> &addresses = m_rows[row].addresses;
        if (!(Mdns::Name::fromDotted(m_rows.at(row).service.hostname()) == record.name))
            continue;
        if (added == addresses.contains(record.address))
            continue;
        if (added)
            addresses.append(record.address);
        else
            addresses.removeOne(record.address);
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }
}
