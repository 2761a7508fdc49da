#include "backup/backupfile.h"

#include "backup/validatebackup.h"
#include "model/parametergroup.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace {

// The groups hold every value as a 32-bit float on the machine; a number the
// float cannot hold would be written as infinity. Finds the first such number
// below value. Recursion is bounded by the JSON parser's nesting limit.
std::optional<double> firstOutOfRange(const QJsonValue &value)
{
    constexpr double limit = std::numeric_limits<float>::max();
    if (value.isDouble()) {
        if (const double number = value.toDouble(); std::abs(number) > limit)
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

BackupFile::Result BackupFile::readDocument(const QString &fileName, const QString &parseError,
                                            QJsonDocument &document)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(file.errorString());
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

BackupFile::Result BackupFile::load()
{
    QJsonDocument document;
    if (auto read = readDocument(m_fileName, tr("Error: %1 on position %2"), document); !read)
        return read;

    if (const auto valid = validateBackup(document); !valid)
        return std::unexpected(valid.error().join(QLatin1Char('\n')));

    const QJsonObject root = document.object();
    const MachineType type =
        MachineDescription::machineTypeFromName(root.value(QLatin1String("_machine")).toString());
    const int version = root.value(QLatin1String("_version")).toInt(0);

    QMap<int, QJsonObject> sections;
    for (auto it = root.begin(); it != root.end(); ++it) {
        const int tag = ParameterGroup::tagFromName(it.key());
        if (tag == GroupTags::None)
            continue;
        const QJsonObject section = it->toObject();
        if (const auto number = firstOutOfRange(*it)) {
            return std::unexpected(
                tr("Section %1 holds the number %2, which is beyond the range of a machine value.")
                    .arg(it.key())
                    .arg(*number));
        }
        sections.insert(tag, section);
    }

    // Only a file that passed every check changes this object.
    m_machine = ModelVersion(type, uint(std::max(version, 0)));
    for (auto it = sections.cbegin(); it != sections.cend(); ++it)
        m_sections.insert(it.key(), it.value());
    return {};
}

BackupFile::Result BackupFile::save()
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
