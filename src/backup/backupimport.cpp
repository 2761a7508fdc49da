#include "backup/backupimport.h"

#include "backup/backupfile.h"
#include "model/machinevalue.h"
#include "model/parameterlist.h"

namespace {

// Appends current indices first..last taken from old indices oldFirst onwards.
void pair(BackupImport::Mapping &mapping, qsizetype first, qsizetype last, qsizetype oldFirst)
{
    for (qsizetype i = first; i <= last; ++i)
        mapping.append({i, oldFirst + (i - first)});
}

// CVRK, data level 1.
BackupImport::Mapping cvrkLevel1()
{
    BackupImport::Mapping mapping;
    pair(mapping, 0, 12, 0);
    pair(mapping, 15, 25, 13);
    mapping.append({{28, 25}, {29, 27}, {30, 28}, {31, 30}, {32, 31}});
    pair(mapping, 33, 52, 33);
    return mapping;
}

// CVRK, data levels 2 to 4.
BackupImport::Mapping cvrkLevel2()
{
    BackupImport::Mapping mapping = cvrkLevel1();
    mapping.append({53, 32});
    return mapping;
}

// CVRK, data level 5.
BackupImport::Mapping cvrkLevel5()
{
    BackupImport::Mapping mapping = cvrkLevel2();
    mapping.append({57, 29});
    return mapping;
}

// VRK, data levels 2 to 5.
BackupImport::Mapping vrkLevel2()
{
    BackupImport::Mapping mapping;
    pair(mapping, 0, 56, 0);
    return mapping;
}

const BackupImport::Mapping MappingCvrk1 = cvrkLevel1();
const BackupImport::Mapping MappingCvrk2 = cvrkLevel2();
const BackupImport::Mapping MappingCvrk5 = cvrkLevel5();
const BackupImport::Mapping MappingVrk2 = vrkLevel2();

std::optional<qsizetype> oldIndex(const BackupImport::Mapping &mapping, qsizetype current)
{
    for (const auto &[index, old] : mapping) {
        if (index == current)
            return old;
    }
    return std::nullopt;
}

} // namespace

BackupImport::BackupImport(const QString &fileName, QObject *parent)
    : QObject(parent), m_fileName(fileName)
{
}

QString BackupImport::familyName(BackupFamily family)
{
    switch (family) {
    case BackupFamily::Cvrk:
        return QStringLiteral("CVRK");
    case BackupFamily::Zum:
        return QStringLiteral("ZUM");
    case BackupFamily::Vrk:
        return QStringLiteral("VRK");
    case BackupFamily::Invalid:
        break;
    }
    return QStringLiteral("Invalid");
}

BackupFamily BackupImport::familyFromName(const QString &name)
{
    for (const BackupFamily family : {BackupFamily::Cvrk, BackupFamily::Zum, BackupFamily::Vrk}) {
        if (name == familyName(family))
            return family;
    }
    return BackupFamily::Invalid;
}

Result<void> BackupImport::load()
{
    QJsonDocument document;
    if (auto read = BackupFile::readDocument(m_fileName, tr("Error: %1 on position %2"), document);
        !read)
        return read;
    // An array would read as an object without members: a backup of nothing
    // whose every parameter is zero.
    if (!document.isObject())
        return std::unexpected(tr("The file holds no backup: its content is not a JSON object."));

    m_root = document.object();
    m_family =
        familyFromName(m_root.take(QLatin1String("machine")).toString(QStringLiteral("CVRK")));
    if (m_family == BackupFamily::Invalid)
        m_family = BackupFamily::Cvrk;
    m_dataLevel = m_root.take(QLatin1String("dataLevel")).toInt(1);
    return {};
}

bool BackupImport::selectMapping()
{
    m_mapping = nullptr;
    if (m_family == BackupFamily::Cvrk) {
        if (m_dataLevel == 1)
            m_mapping = &MappingCvrk1;
        else if (m_dataLevel >= 2 && m_dataLevel <= 4)
            m_mapping = &MappingCvrk2;
        else if (m_dataLevel == 5)
            m_mapping = &MappingCvrk5;
    } else if (m_family == BackupFamily::Vrk && m_dataLevel >= 2 && m_dataLevel <= 5) {
        m_mapping = &MappingVrk2;
    }
    return m_mapping != nullptr;
}

Result<void> BackupImport::parseSections()
{
    const QString type = m_root.take(QLatin1String("type")).toString();
    if (type.isEmpty() || type == QLatin1String("global")) {
        for (auto it = m_root.begin(); it != m_root.end(); ++it) {
            if (!it->isArray())
                return std::unexpected(tr("Section %1 is not an array.").arg(it.key()));
            const int tag = ParameterGroup::tagFromName(it.key());
            if (tag == GroupTags::None)
                return std::unexpected(tr("Section %1 unknown.").arg(it.key()));
            m_sections.insert(tag, it->toArray());
        }
        return {};
    }

    const QJsonValue values = m_root.value(QLatin1String("values"));
    if (!values.isArray()) {
        return std::unexpected(
            tr("Section %1 missing or is not an array.").arg(QStringLiteral("values")));
    }
    const int tag = ParameterGroup::tagFromName(type);
    if (tag == GroupTags::None)
        return std::unexpected(tr("Section %1 unknown.").arg(type));
    m_sections.insert(tag, values.toArray());
    return {};
}

QList<qsizetype> BackupImport::importTechParams(ParameterGroup *group, const ModelVersion &version)
{
    const auto *list = qobject_cast<ParameterList *>(group);
    const QJsonArray old = m_sections.value(GroupTags::TechParams);

    QList<qsizetype> missed;
    bool changed = false;
    for (qsizetype i = 0; i < group->valueCount(); ++i) {
        if (list && i < list->items().size() &&
            list->items().at(i).state(version) != ModelItem::Active)
            continue;
        const auto from = m_mapping ? oldIndex(*m_mapping, i) : std::nullopt;
        // at() of an index past the end is undefined, which is not a number.
        const QJsonValue number = from ? old.at(*from) : QJsonValue(QJsonValue::Undefined);
        // A number the machine's 32-bit float cannot hold would reach it as
        // infinity: such a value is not taken over either.
        if (!number.isDouble() || !MachineValue::fits(number.toDouble())) {
            missed.append(i);
            continue;
        }
        const bool wasModified = group->value(i).isModified();
        const double before = group->value(i).value();
        group->value(i).setValue(number.toDouble());
        changed = changed || group->value(i).isModified() != wasModified ||
                  group->value(i).value() != before;
    }
    // The values were changed behind the group's back; tell the views and the
    // document, so it turns dirty and asks before the edits are lost.
    if (changed) {
        emit group->DataChangedPrivate();
        emit group->DataChanged();
    }
    return missed;
}
