#include "backup/backupfile.h"

#include "backup/validatebackup.h"
#include "model/machinevalue.h"
#include "model/parametergroup.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>

namespace {

// The first number below value that a machine variable cannot hold (see
// MachineValue::fits). Recursion is bounded by the JSON parser's nesting
// limit.
std::optional<double> firstOutOfRange(const QJsonValue &value)
{
    if (value.isDouble()) {
        if (const double number = value.toDouble(); !MachineValue::fits(number))
            return number;
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (const QJsonValue &item : array) {
            if (const auto found = firstOutOfRange(item))
                return found;
        }
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (const QJsonValue &member : object) {
            if (const auto found = firstOutOfRange(member))
                return found;
        }
    }
    return std::nullopt;
}

// The schema constrains a section only under its lower-case name; one written
// in other letter case is read all the same, so it is checked the same way.
Result<void> checkSection(const QString &key, int tag, const QJsonValue &section)
{
    const QString name = ParameterGroup::groupName(tag);
    if (key == name)
        return {};
    const QJsonObject alone{
        {QLatin1String("_machine"), QString()}, {QLatin1String("_version"), 0}, {name, section}};
    if (const auto valid = validateBackup(QJsonDocument(alone)); !valid) {
        return std::unexpected(BackupFile::tr("Section %1 is malformed.").arg(key) + u'\n' +
                               valid.error().join(u'\n'));
    }
    return {};
}

} // namespace

BackupFile::BackupFile(const QString &fileName, QObject *parent)
    : QObject(parent), m_fileName(fileName)
{
}

const QJsonObject &BackupFile::section(int tag) const
{
    static const QJsonObject empty;
    const auto it = m_sections.constFind(tag);
    return it == m_sections.cend() ? empty : *it;
}

Result<void> BackupFile::openRegularFile(QFile &file)
{
    // Opening a pipe for reading waits for a writer, and a device may never
    // end: either would freeze the window.
    // A missing file is left to open(), whose message says so.
    if (const QFileInfo info(file.fileName()); info.exists() && !info.isFile()) {
        return std::unexpected(
            tr("Not a regular file (a pipe, a device or a directory); it was not opened."));
    }
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(file.errorString());
    return {};
}

Result<void> BackupFile::readDocument(const QString &fileName, const QString &parseError,
                                      QJsonDocument &document)
{
    QFile file(fileName);
    if (auto opened = openRegularFile(file); !opened)
        return opened;
    // One byte more than allowed tells a file that is too large from one that
    // fits exactly; read() also stops an endless device.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        return std::unexpected(
            tr("The file is larger than %1 bytes; no backup file is that large.").arg(MaxFileSize));
    }
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(file.errorString());

    QJsonParseError error;
    document = QJsonDocument::fromJson(bytes, &error);
    if (document.isNull())
        return std::unexpected(parseError.arg(error.errorString()).arg(error.offset));
    return {};
}

Result<void> BackupFile::load()
{
    QJsonDocument document;
    if (auto read = readDocument(m_fileName, tr("Error: %1 on position %2"), document); !read)
        return read;

    if (const auto valid = validateBackup(document); !valid)
        return std::unexpected(valid.error().join(QLatin1Char('\n')));

    const QJsonObject root = document.object();
    const MachineType type =
        MachineDescription::machineTypeFromName(root.value(QLatin1String("_machine")).toString());
    // The schema bounds the number to what a version can be; it cannot say
    // "whole number" for one above the range of int.
    const double version = root.value(QLatin1String("_version")).toDouble(0.0);
    if (version != std::trunc(version)) {
        return std::unexpected(tr("The data model version %1 is not a whole number.")
                                   .arg(MachineValue::exactText(version)));
    }

    QMap<int, QJsonObject> sections;
    for (auto it = root.begin(); it != root.end(); ++it) {
        const int tag = ParameterGroup::tagFromName(it.key());
        if (tag == GroupTags::None)
            continue;
        if (auto checked = checkSection(it.key(), tag, *it); !checked)
            return checked;
        if (const auto number = firstOutOfRange(*it)) {
            return std::unexpected(
                tr("Section %1 holds the number %2, which is beyond the range of a machine value.")
                    .arg(it.key(), MachineValue::exactText(*number)));
        }
        sections.insert(tag, it->toObject());
    }

    // Only a file that passed every check changes this object.
    m_machine = ModelVersion(type, uint(version));
    for (auto it = sections.cbegin(); it != sections.cend(); ++it)
        m_sections.insert(it.key(), it.value());
    return {};
}

Result<void> BackupFile::save()
{
    QJsonObject root;
    root.insert(QLatin1String("_machine"), MachineDescription::machineTypeName(m_machine.type()));
    root.insert(QLatin1String("_version"), qint64(m_machine.version()));
    for (auto it = m_sections.cbegin(); it != m_sections.cend(); ++it)
        root.insert(ParameterGroup::groupName(it.key()), it.value());

    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(file.errorString());
    // QJsonObject keeps its members sorted by key, so the output is in
    // ascending key order.
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Compact);
    // A full disk shows as a short write without an error, and commit() does
    // not check its last flush: both would replace a good file with a
    // truncated one and report success. Writing on until the device refuses
    // brings out the system's error.
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return std::unexpected(file.errorString());
        written += count;
    }
    if (!file.flush())
        return std::unexpected(file.errorString());
    if (!file.commit())
        return std::unexpected(file.errorString());
    return {};
}
