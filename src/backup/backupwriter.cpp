#include "backup/backupwriter.h"

#include "acpu/connection.h"
#include "backup/backupfile.h"
#include "backup/backuplog.h"
#include "backup/safetycopies.h"
#include "model/groupfactory.h"
#include "model/machine.h"

#include <QDir>

#include <limits>

BackupWriter::BackupWriter(Machine *machine, QObject *parent) : MachineJob(parent), machine(machine)
{
}

BackupWriter::~BackupWriter() = default;

void BackupWriter::setBackup(const BackupFile &file, const QList<int> &tags)
{
    qDeleteAll(groups);
    groups.clear();
    planned.clear();
    for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag) {
        if (!tags.contains(tag) || !file.hasSection(tag))
            continue;
        ParameterGroup *group = GroupFactory::create(tag, this);
        // What the section does not carry stays NaN, and definedValues()
        // leaves NaN out: a missing key is never written as 0.
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            group->value(i).reset(std::numeric_limits<double>::quiet_NaN());
        group->fromJson(file.section(tag), true);
        groups.append(group);
        planned += group->definedValues();
    }
}

QList<int> BackupWriter::tags() const
{
    QList<int> tags;
    for (const ParameterGroup *group : groups)
        tags.append(group->type());
    return tags;
}

ParameterGroup::VariableValues BackupWriter::plannedValues() const
{
    return planned;
}

BackupWriter::Started BackupWriter::start()
{
    if (planned.isEmpty())
        return std::unexpected(MachineJobError{MachineJobError::NothingToWrite, {}, {}});
    return safetyDirectory.isEmpty() ? write() : startSafetyCopy();
}

BackupWriter::Started BackupWriter::startSafetyCopy()
{
    safetyReader = std::make_unique<BackupReader>(machine);
    connect(safetyReader.get(), &BackupReader::requestStarted, this, &BackupWriter::requestStarted);
    connect(safetyReader.get(), &BackupReader::done, this, &BackupWriter::onSafetyCopyRead);
    // The machine does not answer: nothing is written.
    connect(safetyReader.get(), &BackupReader::failed, this, &BackupWriter::failed);
    return safetyReader->start(tags());
}

void BackupWriter::onSafetyCopyRead()
{
    const QString host = machine->connection()->Host();
    const QString name = SafetyCopies::newFileName(safetyDirectory, host);
    Result<void> saved;
    if (!QDir().mkpath(safetyDirectory))
        saved = std::unexpected(
            tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(safetyDirectory)));
    else
        saved = safetyReader->save(name);
    if (!saved) {
        qCWarning(lcBackup) << "safety copy" << name << "not saved:" << saved.error();
        emit safetyCopyFailed(name, saved.error());
        return;
    }
    safetyFile = name;
    SafetyCopies::prune(safetyDirectory, host);
    emit safetyCopySaved(name);
    continueWith(write());
}

BackupWriter::Started BackupWriter::proceed()
{
    return write();
}

BackupWriter::Started BackupWriter::write()
{
    return track(machine->connection()->WriteValues(planned), &BackupWriter::onWriteFinished);
}

void BackupWriter::onWriteFinished()
{
    if (requestFailed())
        return;
    Acpu::VarRanges ranges;
    for (const auto &[variable, value] : std::as_const(planned))
        ranges.append({variable, 1});
    continueWith(track(machine->connection()->Read(NormalizeRanges(ranges)),
                       &BackupWriter::onReadBackFinished));
}

void BackupWriter::onReadBackFinished()
{
    if (requestFailed())
        return;
    Acpu::Connection *connection = machine->connection();
    QList<ValueDifference> differences;
    for (const auto &[variable, sent] : std::as_const(planned)) {
        const float read = connection->ReadFloat(variable);
        if (read == sent)
            continue;
        for (const ParameterGroup *group : std::as_const(groups)) {
            const qsizetype index = variable - group->firstVariable();
            if (index >= 0 && index < group->valueCount())
                differences.append({variable, group->title(),
                                    group->valueLabel(index, machine->modelVersion()), sent, read});
        }
    }
    if (!differences.isEmpty())
        qCWarning(lcBackup) << differences.size() << "values differ after the restore";
    emit done(differences);
}
