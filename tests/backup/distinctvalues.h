#pragma once

// The four groups of a backup with a value per variable that tells variable
// and seed apart: as a simulator state file, as a backup file, and the check
// that a backup file holds them.

#include "backup/backupfile.h"
#include "backupdata.h"
#include "model/groupfactory.h"
#include "model/parametergroup.h"

#include <bit>
#include <memory>

namespace DistinctValues {

inline const QList<int> Tags = {GroupTags::TechParams, GroupTags::RParams, GroupTags::Coordsys,
                                GroupTags::Tools};

inline float of(int variable, int seed)
{
    return float(seed * 10000 + variable) / 4.0f;
}

inline QString stateFile(const QString &path, int seed)
{
    QJsonObject state;
    for (int tag : Tags) {
        std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
        for (int v = group->firstVariable(); v < group->firstVariable() + group->valueCount(); ++v)
            state.insert(QString::number(v), qint64(std::bit_cast<quint32>(of(v, seed))));
    }
    return BackupData::write(path, BackupData::json({{"variables", state}})) ? path : QString();
}

// edits replace values; NaN is a value without a number.
inline QString backupFile(const QString &path, const ModelVersion &version, int seed,
                          const QMap<int, double> &edits = {})
{
    BackupFile file(path);
    file.setMachine(version);
    for (int tag : Tags) {
        std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
        for (qsizetype i = 0; i < group->valueCount(); ++i) {
            const int v = group->firstVariable() + int(i);
            group->value(i).reset(edits.value(v, of(v, seed)));
        }
        QJsonObject section;
        group->toJson(section);
        file.setSection(tag, section);
    }
    return file.save() ? path : QString();
}

// The tags of the sections the file holds, teeth included.
inline QList<int> sections(const BackupFile &file)
{
    QList<int> tags;
    for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag)
        if (file.hasSection(tag))
            tags.append(tag);
    return tags;
}

// The variables of the file's sections that do not hold of(v, seed); T0
// never travels in a file.
inline QList<int> differences(const BackupFile &file, int seed)
{
    QList<int> differ;
    for (int tag : Tags) {
        if (!file.hasSection(tag))
            continue;
        std::unique_ptr<ParameterGroup> group(GroupFactory::create(tag));
        group->fromJson(file.section(tag), true);
        for (qsizetype i = tag == GroupTags::Tools ? 8 : 0; i < group->valueCount(); ++i) {
            const int v = group->firstVariable() + int(i);
            if (group->value(i).value() != double(of(v, seed)))
                differ.append(v);
        }
    }
    return differ;
}

} // namespace DistinctValues
