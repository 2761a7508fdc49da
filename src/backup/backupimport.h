#pragma once

#include "core/result.h"
#include "model/modelversion.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <utility>

class ParameterGroup;

// The family of the software that wrote a version 5 backup.
enum class BackupFamily : quint8
{
    Invalid = 0,
    Cvrk = 1,
    Zum = 2,
    Vrk = 3
};

// Reads a version 5 backup (.cvrk) and maps its technological parameters onto
// the current numbering. Call order: load, selectMapping, parseSections,
// importTechParams.
class BackupImport : public QObject
{
    Q_OBJECT
public:
    // (current index, old index) pairs.
    using Mapping = QList<std::pair<qsizetype, qsizetype>>;

    BackupImport(const QString &fileName, QObject *parent = nullptr);

    Result<void> load();
    // True when a mapping table fits the family and data level.
    bool selectMapping();
    Result<void> parseSections();
    // Sets the mapped values of group (technological parameters) as edits and
    // returns the active indices that could not be taken, ascending.
    QList<qsizetype> importTechParams(ParameterGroup *group, const ModelVersion &version);

    BackupFamily family() const { return m_family; }
    int dataLevel() const { return m_dataLevel; }
    bool hasSection(int tag) const { return m_sections.contains(tag); }

    static QString familyName(BackupFamily family);
    static BackupFamily familyFromName(const QString &name);

private:
    QString m_fileName;
    QJsonObject m_root;
    BackupFamily m_family = BackupFamily::Invalid;
    int m_dataLevel = 0;
    QMap<int, QJsonArray> m_sections;
    const Mapping *m_mapping = nullptr;
};
