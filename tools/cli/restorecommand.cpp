#include "restorecommand.h"

#include "backup/backupreader.h"
#include "backup/backupwriter.h"
#include "backup/safetycopies.h"
#include "parameterset.h"

#include <QJsonArray>

namespace {
QJsonObject differenceJson(const ValueDifference &d, const QString &a, const QString &b)
{
    return {{QStringLiteral("variable"), d.variable},
            {QStringLiteral("group"), d.group},
            {QStringLiteral("label"), d.item},
            {a, Output::number(d.sent)},
            {b, Output::number(d.read)}};
}
} // namespace

RestoreCommand::RestoreCommand(QObject *parent)
    : MachineCommand(QStringLiteral("restore"), Machines, parent)
{
}

QString RestoreCommand::summary() const
{
    return QStringLiteral(
        "Writes a backup file into a machine: every section the file holds, or those of "
        "--sections. A file for another machine type or data-model version is refused unless "
        "--force. Before writing, the machine's current values of those sections are saved as "
        "a safety copy (in the program's before-restore folder); after writing, the values "
        "are read back and any that the machine did not take are listed. --dry-run writes "
        "nothing and lists the parameters that would change.");
}

void RestoreCommand::addOptions(QCommandLineParser &parser)
{
    parser.addOptions(
        {{QStringLiteral("sections"),
          QStringLiteral("Only these sections, comma-separated: techparams, rparams, coordsys, "
                         "tools, teeth."),
          QStringLiteral("LIST")},
         {QStringLiteral("dry-run"),
          QStringLiteral("Write nothing; list the parameters that would change.")},
         {QStringLiteral("force"),
          QStringLiteral("Restore a file made for another machine type or data-model version.")},
         {QStringLiteral("no-safety-copy"),
          QStringLiteral("Do not save the machine's current values first.")}});
}

Result<void> RestoreCommand::take(const QCommandLineParser &parser)
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return std::unexpected(QStringLiteral("name one machine and one backup file"));
    m_hosts = {args.first()};
    m_fileName = args.last();
    m_dryRun = parser.isSet(QStringLiteral("dry-run"));
    m_force = parser.isSet(QStringLiteral("force"));
    m_safetyCopy = !parser.isSet(QStringLiteral("no-safety-copy"));
    if (parser.isSet(QStringLiteral("sections"))) {
        for (const QString &name :
             parser.value(QStringLiteral("sections")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const int tag = ParameterGroup::tagFromName(name.trimmed());
            if (tag == GroupTags::None)
                return std::unexpected(
                    QStringLiteral("--sections: unknown section '%1'").arg(name));
            m_tags.append(tag);
        }
        if (m_tags.isEmpty())
            return std::unexpected(QStringLiteral("--sections: name at least one section"));
    }
    return checkHosts(m_hosts);
}

void RestoreCommand::start()
{
    // The file is checked before any machine is touched.
    m_file = std::make_unique<BackupFile>(m_fileName);
    if (const auto loaded = m_file->load(); !loaded) {
        m_out.failure(m_fileName, loaded.error());
        return done();
    }
    QList<int> present;
    for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag) {
        if (m_file->hasSection(tag))
            present.append(tag);
    }
    for (int tag : std::as_const(m_tags)) {
        if (!present.contains(tag)) {
            m_out.failure(
                m_fileName,
                QStringLiteral("the file has no section %1").arg(ParameterGroup::groupName(tag)));
            return done();
        }
    }
    if (m_tags.isEmpty())
        m_tags = present;
    MachineCommand::start();
}

void RestoreCommand::work(MachineLink &link, Outcome &outcome, MachineLink::Done ended)
{
    const ModelVersion machine = link.machine().modelVersion();
    if (m_file->machine() != machine && !m_force)
        return ended(QStringLiteral("the backup is for %1, the machine is %2; nothing written "
                                    "(give --force to restore it all the same)")
                         .arg(m_file->machine().toString(), machine.toString()));
    auto *writer = new BackupWriter(&link.machine(), &link);
    writer->setBackup(*m_file, m_tags);
    QJsonArray sections;
    for (int tag : writer->tags())
        sections.append(ParameterGroup::groupName(tag));
    outcome.json.insert(QStringLiteral("file"), m_fileName);
    outcome.json.insert(QStringLiteral("sections"), sections);
    outcome.json.insert(QStringLiteral("dryRun"), m_dryRun);
    if (m_dryRun)
        dryRun(writer, link, outcome, ended);
    else
        restore(writer, link, outcome, ended);
}

void RestoreCommand::dryRun(BackupWriter *writer, MachineLink &link, Outcome &outcome,
                            MachineLink::Done ended)
{
    // The machine's current values of the sections, read as a backup is.
    auto *reader = new BackupReader(&link.machine(), &link);
    follow(reader, link, QStringLiteral("reading"), ended);
    connect(reader, &BackupReader::done, this, [this, reader, writer, &link, &outcome, ended] {
        link.unwatch();
        ParameterSet current;
        current.version = link.machine().modelVersion();
        current.takeGroups(reader->groups());
        QJsonArray changes;
        for (const auto &[variable, value] : writer->plannedValues()) {
            const ParameterGroup *group = current.group(ParameterSet::tagOfVariable(variable));
            const qsizetype index = variable - group->firstVariable();
            const float now = static_cast<float>(group->value(index).value());
            if (now == value)
                continue;
            const ValueDifference d{variable, group->title(),
                                    group->valueLabel(index, current.version), value, now};
            changes.append(differenceJson(d, QStringLiteral("file"), QStringLiteral("machine")));
            outcome.lines.append(
                QStringLiteral("%1 | %2 | %3 -> %4")
                    .arg(d.group, d.item, Output::floatText(now), Output::floatText(value)));
        }
        outcome.json.insert(QStringLiteral("changes"), changes);
        outcome.lines.prepend(QStringLiteral("%1: dry run of %2: %3 parameters would change")
                                  .arg(link.host(), m_fileName, QString::number(changes.size())));
        ended(QString());
    });
    startOrEnd(reader->start(writer->tags()), link, ended);
}

void RestoreCommand::restore(BackupWriter *writer, MachineLink &link, Outcome &outcome,
                             MachineLink::Done ended)
{
    if (m_safetyCopy)
        writer->setSafetyCopyDirectory(SafetyCopies::defaultDirectory());
    // Cut short (an error, silence, an interrupt): what the machine holds
    // now, and where its former values are.
    follow(writer, link, QStringLiteral("restoring"),
           [writer, &link, &outcome, ended](const QString &error) {
               for (const QString &line : writer->writtenText().split(u'\n'))
                   outcome.lines.append(link.host() + QStringLiteral(": ") + line);
               if (const QString copy = writer->safetyCopyFile(); !copy.isEmpty())
                   outcome.lines.append(
                       QStringLiteral("%1: the values before the restore are in %2")
                           .arg(link.host(), copy));
               ended(error);
           });
    connect(writer, &BackupWriter::safetyCopySaved, this, [&outcome](const QString &file) {
        outcome.json.insert(QStringLiteral("safetyCopy"), file);
    });
    // Nobody to ask: without its safety copy nothing is written.
    connect(writer, &BackupWriter::safetyCopyFailed, this,
            [&link, ended](const QString &file, const QString &error) {
                link.unwatch();
                ended(QStringLiteral("the safety copy %1 cannot be saved (%2); nothing written "
                                     "(give --no-safety-copy to restore without one)")
                          .arg(file, error));
            });
    connect(
        writer, &BackupWriter::done, this,
        [this, writer, &link, &outcome, ended](const QList<ValueDifference> &differences) {
            link.unwatch();
            const QString copy = writer->safetyCopyFile();
            outcome.json.insert(QStringLiteral("written"), writer->plannedValues().size());
            QJsonArray refused;
            for (const ValueDifference &d : differences)
                refused.append(differenceJson(d, QStringLiteral("sent"), QStringLiteral("read")));
            outcome.json.insert(QStringLiteral("notTaken"), refused);
            const qsizetype left = writer->unwritableCount();
            outcome.json.insert(QStringLiteral("leftOut"), left);
            outcome.lines.append(
                QStringLiteral("%1: %2 values of %3 written%4%5")
                    .arg(link.host(), QString::number(writer->plannedValues().size()), m_fileName,
                         left == 0
                             ? QString()
                             : QStringLiteral(" (%1 empty or out of range left out)").arg(left),
                         copy.isEmpty() ? QString() : QStringLiteral(", safety copy ") + copy));
            if (differences.isEmpty())
                return ended(QString());
            for (const ValueDifference &d : differences)
                outcome.lines.append(QStringLiteral("%1 | %2 | sent %3, reads %4")
                                         .arg(d.group, d.item, Output::floatText(d.sent),
                                              Output::floatText(d.read)));
            ended(QStringLiteral("%1 values read back differ from what was sent")
                      .arg(differences.size()));
        });
    startOrEnd(writer->start(), link, ended);
}
