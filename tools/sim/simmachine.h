#pragma once

#include "core/result.h"
#include "simoptions.h"
#include "simpanel.h"

#include <QList>
#include <QModbusTcpServer>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

// The simulated control unit: a Modbus TCP server holding the machine's
// variables, two holding registers each, low half first.
class SimMachine : public QModbusTcpServer
{
    Q_OBJECT
public:
    explicit SimMachine(const SimOptions &options, QObject *parent = nullptr);
    ~SimMachine() override;

    // Takes the parameter memory from the --state file. A file that is not
    // one the simulator wrote is refused: it would be overwritten.
    Result<void> loadState();
    Result<void> start();

    quint32 variable(int index) const;
    void setVariable(int index, quint32 value);

protected:
    QModbusResponse processRequest(const QModbusPdu &request) override;

private:
    class Observer;

    void onDataWritten(QModbusDataUnit::RegisterType table, int address, int size);
    void clampWritten(int firstVariable, int lastVariable);
    void onKey(int code);
    void onUploadWords(int firstVariable, int count);
    void finishUpload();
    void showPanel();
    bool touchesExceptionRange(const QModbusPdu &request) const;
    void saveState();

    SimOptions m_options;
    SimPanel m_panel;
    QList<QPointer<QTcpSocket>> m_clients;
    uint m_transactions = 0;
    bool m_uploading = false;
    QList<quint32> m_program;
    int m_programsStored = 0;
    QString m_programsDir;
    QTimer m_saveTimer;
};
