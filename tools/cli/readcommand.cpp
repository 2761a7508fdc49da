#include "readcommand.h"

#include <QJsonArray>

namespace {
// Variables of a Modbus machine end here (two 16-bit registers each).
constexpr qint64 LastVariable = 32767;
} // namespace

ReadCommand::ReadCommand(QObject *parent) : MachineCommand(QStringLiteral("read"), Machines, parent)
{
}

QString ReadCommand::summary() const
{
    return QStringLiteral("Reads machine variables: START alone is one variable, START:LEN a run "
                          "of LEN. Each is shown as an integer and as a float unless --int or "
                          "--float picks one.");
}

void ReadCommand::addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("int"), QStringLiteral("Show the values as integers only.")});
    parser.addOption({QStringLiteral("float"), QStringLiteral("Show the values as floats only.")});
}

Result<void> ReadCommand::take(const QCommandLineParser &parser)
{
    const QStringList args = parser.positionalArguments();
    if (args.size() < 2)
        return std::unexpected(QStringLiteral("name one machine and at least one variable"));
    m_hosts = {args.first()};
    if (parser.isSet(QStringLiteral("int")) && parser.isSet(QStringLiteral("float")))
        return std::unexpected(QStringLiteral("--int and --float exclude each other"));
    m_int = !parser.isSet(QStringLiteral("float"));
    m_float = !parser.isSet(QStringLiteral("int"));
    for (const QString &arg : args.mid(1)) {
        const QStringList parts = arg.split(QLatin1Char(':'));
        bool okStart = false, okLength = parts.size() == 1;
        const qint64 start = parts.first().toLongLong(&okStart);
        const qint64 length = parts.size() == 2 ? parts.last().toLongLong(&okLength) : 1;
        if (parts.size() > 2 || !okStart || !okLength || start < 0 || length < 1 ||
            start + length - 1 > LastVariable)
            return std::unexpected(
                QStringLiteral("not a variable range: '%1' (START or START:LEN, variables 0 "
                               "to %2)")
                    .arg(arg)
                    .arg(LastVariable));
        m_ranges.append({static_cast<int>(start), length});
    }
    return checkHosts(m_hosts);
}

void ReadCommand::work(MachineLink &link, Outcome &outcome, MachineLink::Done ended)
{
    m_out.progress(link.host(), QStringLiteral("reading"), 0);
    link.run(
        link.connection().Read(m_ranges),
        [this, &link, &outcome, ended](const QString &error) {
            if (!error.isEmpty())
                return ended(error);
            QJsonArray values;
            for (const Acpu::VarRange &range : m_ranges) {
                for (int index = range.start; index <= range.last(); ++index) {
                    const int i = link.connection().ReadInt(index);
                    const float f = link.connection().ReadFloat(index);
                    QJsonObject value{{QStringLiteral("variable"), index}};
                    QString line = QString::number(index);
                    if (m_int) {
                        value.insert(QStringLiteral("int"), i);
                        line += QLatin1Char('\t') + QString::number(i);
                    }
                    if (m_float) {
                        value.insert(QStringLiteral("float"), Output::number(f));
                        line += QLatin1Char('\t') + Output::floatText(f);
                    }
                    values.append(value);
                    outcome.lines.append(line);
                }
            }
            outcome.json.insert(QStringLiteral("values"), values);
            ended(QString());
        },
        [this, &link](int percent) {
            m_out.progress(link.host(), QStringLiteral("reading"), percent);
        });
}
