#include "backup/backupwriter.h"

#include "acpu/connection.h"
#include "backup/backupfile.h"
#include "backup/backuplog.h"
#include "backup/safetycopies.h"
#include "model/groupfactory.h"
#include "model/machine.h"
#include "model/machinevalue.h"

#include <QDir>

#include <algorithm>
#include <limits>

namespace {
// The values of a section that the file carries but no machine variable can
// hold. Filled with 0 first, a value the file lacks (the tool row T0) fits and
// is not counted.
qsizetype unwritable(int tag, const QJsonObject &section)
{
    std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
    for (qsizetype i = 0; i < group->valueCount(); ++i)
        group->value(i).reset(0.0);
    group->fromJson(section, true);
    qsizetype count = 0;
    for (qsizetype i = 0; i < group->valueCount(); ++i)
        count += MachineValue::fits(group->value(i).value()) ? 0 : 1;
    return count;
}
} // namespace

BackupWriter::BackupWriter(Machine *machine, QObject *parent)
    : MachineJob(parent), m_machine(machine)
{
}

BackupWriter::~BackupWriter() = default;

void BackupWriter::setBackup(const BackupFile &file, const QList<int> &tags)
{
    qDeleteAll(m_groups);
    m_groups.clear();
    m_planned.clear();
    m_unwritable = 0;
    for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag) {
        if (!tags.contains(tag) || !file.hasSection(tag))
            continue;
        ParameterGroup *group = GroupFactory::create(tag, this);
        // What the section does not carry stays NaN, and definedValues()
        // leaves NaN out: a missing key is never written as 0.
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            group->value(i).reset(std::numeric_limits<double>::quiet_NaN());
        group->fromJson(file.section(tag), true);
        m_groups.append(group);
        m_planned += group->definedValues();
        m_unwritable += unwritable(tag, file.section(tag));
    }
}

QList<int> BackupWriter::tags() const
{
    QList<int> tags;
    for (const ParameterGroup *group : m_groups)
        tags.append(group->type());
    return tags;
}

ParameterGroup::VariableValues BackupWriter::plannedValues() const
{
    return m_planned;
}

bool BackupWriter::isRunning() const
{
    return MachineJob::isRunning() || (m_safetyReader && m_safetyReader->isRunning());
}

BackupWriter::Started BackupWriter::start()
{
    m_written = -1;
    if (m_planned.isEmpty())
        return std::unexpected(MachineJobError{MachineJobError::NothingToWrite, {}, {}});
    return m_safetyDirectory.isEmpty() ? write() : startSafetyCopy();
}

BackupWriter::Started BackupWriter::startSafetyCopy()
{
    m_safetyReader = std::make_unique<BackupReader>(m_machine);
    connect(m_safetyReader.get(), &BackupReader::requestStarted, this,
            &BackupWriter::requestStarted);
    connect(m_safetyReader.get(), &BackupReader::done, this, &BackupWriter::onSafetyCopyRead);
    // The machine does not answer: nothing is written.
    connect(m_safetyReader.get(), &BackupReader::failed, this, &BackupWriter::failed);
    return m_safetyReader->start(tags());
}

void BackupWriter::onSafetyCopyRead()
{
    const QString host = m_machine->connection()->Host();
    const QString name = SafetyCopies::newFileName(m_safetyDirectory, host);
    Result<void> saved;
    if (!QDir().mkpath(m_safetyDirectory))
        saved = std::unexpected(tr("The folder %1 cannot be created.")
                                    .arg(QDir::toNativeSeparators(m_safetyDirectory)));
    else
        saved = m_safetyReader->save(name);
    if (!saved) {
        qCWarning(lcBackup) << "safety copy" << name << "not saved:" << saved.error();
        emit safetyCopyFailed(name, saved.error());
        return;
    }
    m_safetyFile = name;
    SafetyCopies::prune(m_safetyDirectory, host);
    emit safetyCopySaved(name);
    continueWith(write());
}

BackupWriter::Started BackupWriter::proceed()
{
    return write();
}

BackupWriter::Started BackupWriter::write()
{
    return track(m_machine->connection()->WriteValues(m_planned), &BackupWriter::onWriteFinished);
}

void BackupWriter::onWriteFinished()
{
    m_written = m_request->Transferred();
    if (requestFailed())
        return;
    Acpu::VarRanges ranges;
    for (const auto &[variable, value] : std::as_const(m_planned))
        ranges.append({variable, 1});
    continueWith(track(m_machine->connection()->Read(NormalizeRanges(ranges)),
                       &BackupWriter::onReadBackFinished));
}

void BackupWriter::onReadBackFinished()
{
    if (requestFailed())
        return;
    Acpu::Connection *connection = m_machine->connection();
    QList<ValueDifference> differences;
    for (const auto &[variable, sent] : std::as_const(m_planned)) {
        const float read = connection->ReadFloat(variable);
        if (read == sent)
            continue;
        for (const ParameterGroup *group : std::as_const(m_groups)) {
            const qsizetype index = variable - group->firstVariable();
            if (index >= 0 && index < group->valueCount())
                differences.append({variable, group->title(),
                                    group->valueLabel(index, m_machine->modelVersion()), sent,
                                    read});
        }
    }
    if (!differences.isEmpty())
        qCWarning(lcBackup) << differences.size() << "values differ after the restore";
    emit done(differences);
}

QString BackupWriter::writtenText() const
{
    // Cut short while writing: the chunks confirmed so far.
    const qsizetype writtenCount =
        m_written >= 0 ? m_written : (MachineJob::isRunning() ? m_request->Transferred() : 0);
    if (writtenCount >= m_planned.size())
        return tr("Every value was written; reading them back for the check failed.");
    // The write goes in ascending variable order (not group order), and its
    // chunks are confirmed in turn: what lies below the first unconfirmed
    // variable was taken.
    QList<int> variables;
    for (const auto &[variable, value] : m_planned)
        variables.append(variable);
    std::sort(variables.begin(), variables.end());
    const int firstUnconfirmed = variables.value(writtenCount);
    QStringList written, notWritten;
    for (const ParameterGroup *group : std::as_const(m_groups)) {
        qsizetype all = 0, confirmed = 0;
        for (const auto &[variable, value] : m_planned) {
            const qsizetype index = variable - group->firstVariable();
            if (index < 0 || index >= group->valueCount())
                continue;
            ++all;
            if (variable < firstUnconfirmed)
                ++confirmed;
        }
        if (all == 0)
            continue;
        if (confirmed == all)
            written.append(group->title());
        else if (confirmed > 0)
            written.append(tr("%1 (in part)").arg(group->title()));
        else
            notWritten.append(group->title());
    }
    if (written.isEmpty())
        return tr("Nothing was written to the machine.");
    QString text = tr("Written before the error: %1.").arg(written.join(QStringLiteral(", ")));
    if (!notWritten.isEmpty())
        text += u'\n' + tr("Not written: %1.").arg(notWritten.join(QStringLiteral(", ")));
    return text;
}
