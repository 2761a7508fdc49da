#include "backupcommand.h"

#include "backup/backupreader.h"
#include "model/parametergroup.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

BackupCommand::BackupCommand(QObject *parent)
    : MachineCommand(QStringLiteral("backup"), MachineFleet, parent)
{
}

QString BackupCommand::summary() const
{
    return QStringLiteral(
        "Reads the technological parameters, R parameters, coordinate systems and tools (with "
        "--with-teeth also the teeth) of each machine into a backup file: with --dir one file "
        "per machine named <type>-<serial>-<yyyyMMdd-HHmmss>.vrk, with -o the file of the one "
        "machine named.");
}

void BackupCommand::addOptions(QCommandLineParser &parser)
{
    parser.addOptions(
        {{{QStringLiteral("o"), QStringLiteral("output")},
          QStringLiteral("The backup file of the one machine named."),
          QStringLiteral("FILE")},
         {QStringLiteral("dir"),
          QStringLiteral("A new backup file per machine in this directory (created if needed)."),
          QStringLiteral("DIR")},
         {QStringLiteral("with-teeth"), QStringLiteral("Back up the teeth parameters too.")},
         {QStringLiteral("overwrite"), QStringLiteral("With -o: replace an existing file.")}});
}

Result<void> BackupCommand::take(const QCommandLineParser &parser)
{
    m_hosts = parser.positionalArguments();
    m_file = parser.value(QStringLiteral("output"));
    m_dir = parser.value(QStringLiteral("dir"));
    m_overwrite = parser.isSet(QStringLiteral("overwrite"));
    if (m_hosts.isEmpty())
        return std::unexpected(QStringLiteral("name at least one machine"));
    if (m_file.isEmpty() == m_dir.isEmpty())
        return std::unexpected(QStringLiteral("give either -o FILE or --dir DIR"));
    if (!m_file.isEmpty() && m_hosts.size() > 1)
        return std::unexpected(
            QStringLiteral("-o names the file of one machine; use --dir for several"));
    // Before any machine is read, which may take minutes.
    if (!m_dir.isEmpty() && !QDir().mkpath(m_dir))
        return std::unexpected(QStringLiteral("cannot create the directory %1").arg(m_dir));
    m_tags = BackupReader::backupTags();
    if (parser.isSet(QStringLiteral("with-teeth")))
        m_tags.append(GroupTags::Teeth);
    return checkHosts(m_hosts);
}

QString BackupCommand::fileNameFor(Machine &machine) const
{
    const QString serial =
        machine.serialNumber() != 0
            ? QString::number(machine.serialNumber())
            : QStringLiteral("BN%1").arg(machine.bnNumber(), 6, 10, QLatin1Char('0'));
    const QString base =
        QStringLiteral("%1-%2-%3")
            .arg(MachineDescription::machineTypeName(machine.machineType()), serial,
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    // The same machine twice in one second (named twice, or two runs).
    QString name = QDir(m_dir).filePath(base + QStringLiteral(".vrk"));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QDir(m_dir).filePath(QStringLiteral("%1-%2.vrk").arg(base).arg(n));
    return name;
}

void BackupCommand::work(MachineLink &link, Outcome &outcome, MachineLink::Done ended)
{
    if (!m_overwrite && !m_file.isEmpty() && QFileInfo::exists(m_file))
        return ended(QStringLiteral("%1 exists; give --overwrite to replace it").arg(m_file));
    auto *reader = new BackupReader(&link.machine(), &link);
    follow(reader, link, QStringLiteral("reading"), ended);
    connect(reader, &BackupReader::done, this, [this, reader, &link, &outcome, ended] {
        link.unwatch();
        if (!m_dir.isEmpty() && !QDir().mkpath(m_dir))
            return ended(QStringLiteral("cannot create the directory %1").arg(m_dir));
        const QString file = m_dir.isEmpty() ? m_file : fileNameFor(link.machine());
        if (const auto saved = reader->save(file); !saved)
            return ended(QStringLiteral("cannot save %1: %2").arg(file, saved.error()));
        QJsonArray sections;
        for (int tag : m_tags)
            sections.append(ParameterGroup::groupName(tag));
        outcome.json.insert(QStringLiteral("file"), file);
        outcome.json.insert(QStringLiteral("sections"), sections);
        outcome.lines.append(
            QStringLiteral("%1: %2 -> %3").arg(link.host(), identityText(link.machine()), file));
        ended(QString());
    });
    startOrEnd(reader->start(m_tags), link, ended);
}
