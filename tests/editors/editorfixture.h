#pragma once

#include "acpu/modbusconnection.h"
#include "model/machine.h"
#include "simprocess.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTcpServer>
#include <QTimer>

// A Modbus TCP relay between the editor and the simulator that notes every
// request it passes on: what the machine was asked, and when.
class ModbusTap : public QObject
{
public:
    struct Transaction
    {
        qint64 ms;
        int function;
        int firstVariable;
        int variables;
    };
    bool listen(quint16 upstreamPort);
    QString host() const;
    // Requests of one function code (3 read, 16 write) touching [first, first + count).
    QList<Transaction> requests(int function, int first, int count) const;

    QList<Transaction> log;

private:
    void relay(QTcpSocket *client);
    QTcpServer server;
    quint16 upstream = 0;
    QElapsedTimer clock;
};

// The simulator, the editor's connection and machine on it (through the tap),
// and a plain second connection that sets and checks the machine's values.
struct LiveMachine
{
    SimProcess sim;
    ModbusTap tap;
    Acpu::ModbusConnection connection;
    Acpu::ModbusConnection plain;
    Machine machine{&connection};

    // Starts, connects both and identifies the machine.
    bool start(const QStringList &options = {}, quint16 port = 0);
    float value(int variable);
    quint32 bits(int variable);
    bool set(const QList<std::pair<int, float>> &values);
};

// Answers the next question box (a blocking one) with a button and keeps its
// text; also closes the window-modal warnings the windows open.
class BoxAnswer : public QObject
{
public:
    explicit BoxAnswer(QMessageBox::StandardButton button);
    QStringList texts;

private:
    QTimer timer;
};

// Closes the visible message boxes and returns their texts, waiting for one.
QStringList TakeBoxes();
