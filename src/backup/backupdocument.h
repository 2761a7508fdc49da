#pragma once

#include "core/result.h"
#include "model/modelversion.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

class BackupFile;
class ParameterGroup;
class TableModel;

// The editable in-memory form of a backup file: owns one live group per
// section, tracks unsaved changes and moves them through BackupFile.
class BackupDocument : public QObject
{
    Q_OBJECT
public:
    // Bit (1 << tag) for each group the import added.

    // Starts with all five groups and the default data model.
    explicit BackupDocument(QObject *parent = nullptr);
    ~BackupDocument() override;

    QString fileName() const { return m_fileName; }
    ModelVersion version() const { return m_version; }
    bool isUntouched() const { return m_untouched; }
    bool isDirty() const { return m_dirty; }
    ParameterGroup *group(int tag) const { return m_groups.value(tag); }
    QList<int> groupTags() const { return m_groups.keys(); }

    void setFileName(const QString &fileName);
    void setVersion(const ModelVersion &version);

    // A new table model over the group of tag (which must be present); it
    // follows the document's version.
    TableModel *createModel(int tag);
    // Null when the document has the group already.
    ParameterGroup *addGroup(int tag);

    // Replaces the groups with the file's sections; the document is unchanged
    // on error.
    Result<void> load(const QString &fileName);
    Result<void> save(const QString &fileName);
    // Merges the file's sections as edits; its stamp is ignored.
    Result<int> import(const QString &fileName);
    // A part written over the document's own file leaves the rest unsaved
    // there: the document turns dirty.
    Result<void> exportWithoutTeeth(const QString &fileName);
    Result<void> exportGroup(int tag, const QString &fileName);

signals:
    void dirtyChanged(bool dirty);
    void titleChanged(QString fileName, ModelVersion version);
    void versionChanged(ModelVersion version);

public slots:
    void onDataChanged();

private:
    ParameterGroup *adoptGroup(int tag);
    void clearGroups();
    void updateDirty();
    // Writes the groups whose tag passes include into fileName, stamped with
    // the document's version.
    template <typename Include> Result<void> write(const QString &fileName, Include include) const;
    template <typename Include> Result<void> exportPart(const QString &fileName, Include include);

    QString m_fileName;
    bool m_untouched = true;
    bool m_dirty = false;
    ModelVersion m_version;
    // The data model of the file as last loaded or saved.
    ModelVersion m_savedVersion;
    // The own file was overwritten with a part of the document.
    bool m_partSaved = false;
    QMap<int, ParameterGroup *> m_groups;
};
