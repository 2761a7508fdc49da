#pragma once

#include "core/result.h"
#include "model/modelversion.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QString>

class QFile;

// One backup file (.vrk): the machine stamp and one JSON object per group
// section, keyed by group tag. Knows nothing of parameters.
class BackupFile : public QObject
{
    Q_OBJECT
public:
    // No real backup comes near this (a full one is some 150 kB); anything
    // larger is refused before it is parsed.
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

    explicit BackupFile(const QString &fileName, QObject *parent = nullptr);

    // Reads, validates and takes the stamp and sections. Call once, on a new
    // object.
    Result<void> load();
    // Writes atomically: an existing file keeps its content unless the whole
    // new one has been written.
    Result<void> save();

    const ModelVersion &machine() const { return m_machine; }
    void setMachine(const ModelVersion &machine) { m_machine = machine; }

    bool hasSection(int tag) const { return m_sections.contains(tag); }
    // An empty object when the section is absent.
    const QJsonObject &section(int tag) const;
    void setSection(int tag, const QJsonObject &section) { m_sections.insert(tag, section); }

    // Opens file for reading if it is a regular file (or a link to one);
    // anything else is refused before it is opened. For every file the
    // program reads that a user picks.
    static Result<void> openRegularFile(QFile &file);
    // Reads and parses fileName, a regular file, refusing a file (or an endless device) above
    // MaxFileSize, into document. parseError is the translated "Error: %1 on position %2"
    // (parser's message, byte offset) of the caller's context.
    static Result<void> readDocument(const QString &fileName, const QString &parseError,
                                     QJsonDocument &document);

private:
    QMap<int, QJsonObject> m_sections;
    QString m_fileName;
    ModelVersion m_machine;
};
