#include "backup/backupdocument.h"

#include "backup/backupfile.h"
#include "model/groupfactory.h"
#include "model/parametergroup.h"
#include "model/tablemodel.h"

#include <QFileInfo>

#include <algorithm>

namespace {
constexpr int AllTags[] = {GroupTags::TechParams, GroupTags::RParams, GroupTags::Coordsys,
                           GroupTags::Tools, GroupTags::Teeth};
} // namespace

BackupDocument::BackupDocument(QObject *parent) : QObject(parent)
{
    for (const int tag : AllTags)
        adoptGroup(tag);
    m_version = m_savedVersion = ModelVersion(VrkC1, 6);
}

BackupDocument::~BackupDocument()
{
    clearGroups();
}

void BackupDocument::setFileName(const QString &fileName)
{
    if (fileName == m_fileName)
        return;
    m_fileName = fileName;
    emit titleChanged(m_fileName, m_version);
}

void BackupDocument::setVersion(const ModelVersion &version)
{
    if (version == m_version)
        return;
    m_version = version;
    emit versionChanged(version);
    emit titleChanged(m_fileName, version);
    m_untouched = false;
    updateDirty();
}

TableModel *BackupDocument::createModel(int tag)
{
    TableModel *model = m_groups.value(tag)->createModel();
    model->setActiveVersion(m_version);
    connect(this, &BackupDocument::versionChanged, model, &TableModel::setActiveVersion);
    return model;
}

ParameterGroup *BackupDocument::addGroup(int tag)
{
    if (m_groups.contains(tag))
        return nullptr;
    // It is filled from a file (an import) that may not carry every value.
    ParameterGroup *group = adoptGroup(tag);
    if (group)
        group->clear();
    return group;
}

ParameterGroup *BackupDocument::adoptGroup(int tag)
{
    ParameterGroup *group = GroupFactory::create(tag, this);
    if (!group)
        return nullptr;
    m_groups.insert(group->type(), group);
    connect(group, &ParameterGroup::DataChanged, this, &BackupDocument::onDataChanged,
            Qt::DirectConnection);
    return group;
}

void BackupDocument::clearGroups()
{
    const auto groups = std::exchange(m_groups, {});
    qDeleteAll(groups);
}

void BackupDocument::onDataChanged()
{
    m_untouched = false;
    updateDirty();
}

void BackupDocument::updateDirty()
{
    // The file's stamp is saved with the values: another data model is an
    // edit too.
    bool dirty = m_version != m_savedVersion || m_partSaved;
    for (const ParameterGroup *group : std::as_const(m_groups))
        dirty = dirty || group->isModified();
    if (dirty == m_dirty)
        return;
    m_dirty = dirty;
    emit dirtyChanged(dirty);
}

Result<void> BackupDocument::load(const QString &fileName)
{
    BackupFile file(fileName);
    if (auto loaded = file.load(); !loaded)
        return loaded;

    // The groups made below are new, so no model needs telling of the version.
    m_version = m_savedVersion = file.machine();
    m_partSaved = false;
    clearGroups();
    for (const int tag : AllTags) {
        if (!file.hasSection(tag))
            continue;
        ParameterGroup *group = adoptGroup(tag);
        if (!group)
            continue;
        group->clear();
        group->fromJson(file.section(tag), true);
    }
    // A file without sections sends no change signal; a document that was
    // dirty before must not stay so with its groups gone.
    updateDirty();
    m_untouched = false;
    setFileName(fileName);
    return {};
}

template <typename Include>
Result<void> BackupDocument::write(const QString &fileName, Include include) const
{
    BackupFile file(fileName);
    file.setMachine(m_version);
    for (ParameterGroup *group : m_groups) {
        if (!include(group->type()))
            continue;
        QJsonObject section;
        group->toJson(section);
        file.setSection(group->type(), section);
    }
    return file.save();
}

Result<void> BackupDocument::save(const QString &fileName)
{
    if (auto saved = write(fileName, [](int) { return true; }); !saved)
        return saved;
    m_savedVersion = m_version;
    m_partSaved = false;
    for (ParameterGroup *group : std::as_const(m_groups))
        group->accept();
    updateDirty();
    m_untouched = false;
    setFileName(fileName);
    return {};
}

Result<int> BackupDocument::import(const QString &fileName)
{
    BackupFile file(fileName);
    if (auto loaded = file.load(); !loaded)
        return std::unexpected(loaded.error());

    int added = 0;
    for (const int tag : AllTags) {
        if (!file.hasSection(tag))
            continue;
        ParameterGroup *group = m_groups.value(tag);
        if (!group) {
            group = addGroup(tag);
            added |= 1 << tag;
        }
        group->fromJson(file.section(tag), false);
    }
    m_untouched = false;
    return added;
}

template <typename Include>
Result<void> BackupDocument::exportPart(const QString &fileName, Include include)
{
    if (auto written = write(fileName, include); !written)
        return written;
    const bool part =
        std::ranges::any_of(std::as_const(m_groups),
                            [&](const ParameterGroup *group) { return !include(group->type()); });
    // Close must not pass by the groups the own file no longer holds.
    if (part && !m_fileName.isEmpty() &&
        QFileInfo(fileName).canonicalFilePath() == QFileInfo(m_fileName).canonicalFilePath()) {
        m_partSaved = true;
        updateDirty();
    }
    return {};
}

Result<void> BackupDocument::exportWithoutTeeth(const QString &fileName)
{
    return exportPart(fileName, [](int tag) { return tag != GroupTags::Teeth; });
}

Result<void> BackupDocument::exportGroup(int tag, const QString &fileName)
{
    return exportPart(fileName, [tag](int groupTag) { return groupTag == tag; });
}
