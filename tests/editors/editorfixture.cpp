#include "editorfixture.h"

#include "requestresult.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTcpSocket>
#include <QTest>
#include <QtEndian>

bool ModbusTap::listen(quint16 upstreamPort)
{
    upstream = upstreamPort;
    clock.start();
    connect(&server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *client = server.nextPendingConnection())
            relay(client);
    });
    return server.listen(QHostAddress::LocalHost);
}

QString ModbusTap::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
}

void ModbusTap::relay(QTcpSocket *client)
{
    auto *machine = new QTcpSocket(client);
    auto *pending = new QByteArray;
    machine->connectToHost(QHostAddress::LocalHost, upstream);
    connect(client, &QObject::destroyed, [pending] { delete pending; });
    connect(client, &QTcpSocket::readyRead, this, [this, client, machine, pending] {
        *pending += client->readAll();
        // MBAP header: transaction, protocol, length (of unit id and PDU).
        while (pending->size() >= 12) {
            const auto *bytes = reinterpret_cast<const uchar *>(pending->constData());
            const qsizetype frame = 6 + qFromBigEndian<quint16>(bytes + 4);
            if (pending->size() < frame)
                break;
            log.append({clock.elapsed(), bytes[7], qFromBigEndian<quint16>(bytes + 8) / 2,
                        qFromBigEndian<quint16>(bytes + 10) / 2});
            machine->write(pending->left(frame));
            pending->remove(0, frame);
        }
    });
    connect(machine, &QTcpSocket::readyRead, client,
            [client, machine] { client->write(machine->readAll()); });
    connect(machine, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
    connect(machine, &QTcpSocket::errorOccurred, client, &QTcpSocket::disconnectFromHost);
    connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
}

QList<ModbusTap::Transaction> ModbusTap::requests(int function, int first, int count) const
{
    QList<Transaction> found;
    for (const Transaction &t : log) {
        if (t.function == function && t.firstVariable < first + count &&
            t.firstVariable + t.variables > first)
            found.append(t);
    }
    return found;
}

bool LiveMachine::start(const QStringList &options, quint16 port)
{
    if (!sim.start(options, port) || !tap.listen(sim.port()))
        return false;
    connection.SetHost(tap.host());
    plain.SetHost(sim.host());
    const auto connected = [](Acpu::Connection &c) {
        return QTest::qWaitFor([&] { return c.State() == Acpu::Connection::Connected; }, 10000);
    };
    return connected(connection) && connected(plain) &&
           RunToEnd(machine.requestIdentification()).isEmpty() && machine.updateIdentification();
}

quint32 LiveMachine::bits(int variable)
{
    if (!RunToEnd(plain.Read({{variable, 1}})).isEmpty())
        return 0xDEADBEEF;
    return static_cast<quint32>(plain.ReadInt(variable));
}

float LiveMachine::value(int variable)
{
    return std::bit_cast<float>(bits(variable));
}

bool LiveMachine::set(const QList<std::pair<int, float>> &values)
{
    return RunToEnd(plain.WriteValues(values)).isEmpty();
}

BoxAnswer::BoxAnswer(QMessageBox::StandardButton button)
{
    connect(&timer, &QTimer::timeout, this, [this, button] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box && box->isVisible() && box->button(button)) {
                texts.append(box->text());
                box->button(button)->click();
                return;
            }
        }
    });
    timer.start(20);
}

QStringList TakeBoxes()
{
    QStringList texts;
    (void)QTest::qWaitFor(
        [&] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(widget);
                if (box && box->isVisible()) {
                    texts.append(box->text());
                    box->done(QMessageBox::Ok);
                }
            }
            return !texts.isEmpty();
        },
        10000);
    return texts;
}
