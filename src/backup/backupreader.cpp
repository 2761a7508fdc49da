#include "backup/backupreader.h"

#include "acpu/connection.h"
#include "model/machine.h"
#include "model/parametergroup.h"

const QList<int> &BackupReader::BackupTags()
{
    static const QList<int> tags{GroupTags::TechParams, GroupTags::RParams, GroupTags::Coordsys,
                                 GroupTags::Tools};
    return tags;
}

BackupReader::BackupReader(Machine *machine, QObject *parent) : MachineJob(parent), machine(machine)
{
}

BackupReader::Started BackupReader::Start(const QList<int> &tags)
{
    qDeleteAll(groups);
    groups.clear();
    Acpu::VarRanges ranges;
    for (int tag : tags) {
        if (ParameterGroup *group = ParameterGroup::create(tag, this)) {
            groups.append(group);
            ranges.append(group->variableRange());
        }
    }
    std::sort(groups.begin(), groups.end(), [](const ParameterGroup *a, const ParameterGroup *b) {
        return a->type() < b->type();
    });
    return Track(machine->connection()->Read(Acpu::NormalizeRanges(ranges)),
                 &BackupReader::OnRequestFinished);
}

void BackupReader::OnRequestFinished()
{
    if (RequestFailed())
        return;
    for (ParameterGroup *group : std::as_const(groups))
        group->loadFromMachine(*machine->connection());
    emit done();
}

void BackupReader::Fill(BackupFile &file) const
{
    file.setMachine(machine->modelVersion());
    for (const ParameterGroup *group : groups) {
        QJsonObject section;
        group->toJson(section);
        file.setSection(group->type(), section);
    }
}

BackupFile::Result BackupReader::Save(const QString &fileName) const
{
    BackupFile file(fileName);
    Fill(file);
    return file.save();
}
