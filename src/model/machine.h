#pragma once

#include "acpu/connection.h"
#include "model/modelversion.h"

#include <QObject>

// The machine behind one connection: its identity as the control unit
// reports it. Holds the connection without owning it.
class Machine : public QObject
{
    Q_OBJECT
public:
    explicit Machine(Acpu::Connection *connection, QObject *parent = nullptr);

    Acpu::Connection *connection() const { return m_connection; }
    Acpu::Connection::Result requestIdentification();
    // Takes the identification block from the connection's cache; false (and
    // nothing changed) when the software version is not plausible.
    bool updateIdentification();

    MachineType machineType() const { return m_modelVersion.type(); }
    QString typeTitle() const;
    ModelVersion modelVersion() const { return m_modelVersion; }
    uint serialNumber() const { return m_serialNumber; }
    uint bnNumber() const { return m_bnNumber; }
    uint softwareVersion() const { return m_softwareVersion; }
    QString identText() const;
    QString softwareText() const;

private:
    Acpu::Connection *m_connection;
    uint m_serialNumber = 0;
    uint m_bnNumber = 0;
    uint m_softwareVersion = 0;
    ModelVersion m_modelVersion;
};
