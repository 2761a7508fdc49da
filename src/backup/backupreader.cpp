#include "backup/backupreader.h"

#include "acpu/connection.h"
#include "model/groupfactory.h"
#include "model/machine.h"
#include "model/parametergroup.h"

const QList<int> &BackupReader::backupTags()
{
    static const QList<int> tags{GroupTags::TechParams, GroupTags::RParams, GroupTags::Coordsys,
                                 GroupTags::Tools};
    return tags;
}

BackupReader::BackupReader(Machine *machine, QObject *parent)
    : MachineJob(parent), m_machine(machine)
{
}

BackupReader::Started BackupReader::start(const QList<int> &tags)
{
    qDeleteAll(m_groups);
    m_groups.clear();
    Acpu::VarRanges ranges;
    for (int tag : tags) {
        if (ParameterGroup *group = GroupFactory::create(tag, this)) {
            m_groups.append(group);
            ranges.append(group->variableRange());
        }
    }
    std::sort(
        m_groups.begin(), m_groups.end(),
        [](const ParameterGroup *a, const ParameterGroup *b) { return a->type() < b->type(); });
    return track(m_machine->connection()->Read(Acpu::NormalizeRanges(ranges)),
                 &BackupReader::onRequestFinished);
}

void BackupReader::onRequestFinished()
{
    if (requestFailed())
        return;
    for (ParameterGroup *group : std::as_const(m_groups))
        group->loadFromMachine(*m_machine->connection());
    emit done();
}

void BackupReader::fill(BackupFile &file) const
{
    file.setMachine(m_machine->modelVersion());
    for (const ParameterGroup *group : m_groups) {
        QJsonObject section;
        group->toJson(section);
        file.setSection(group->type(), section);
    }
}

Result<void> BackupReader::save(const QString &fileName) const
{
    BackupFile file(fileName);
    fill(file);
    return file.save();
}
