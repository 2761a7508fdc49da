#pragma once

// Backup documents built in code, so each test states only what it changes.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <cstdlib>

namespace BackupData {

inline QJsonArray numbers(qsizetype count, double first = 0.0, double step = 0.25)
{
    QJsonArray array;
    for (qsizetype i = 0; i < count; ++i)
        array.append(first + double(i) * step);
    return array;
}

inline QJsonObject rows(const QString &prefix, int from, int to, qsizetype count, double first)
{
    QJsonObject object;
    for (int i = from; i <= to; ++i)
        object.insert(prefix + QString::number(i), numbers(count, first + i));
    return object;
}

inline QJsonObject teeth(double first = 3.0)
{
    QJsonObject section;
    for (int shape = 1; shape <= 9; ++shape)
        section.insert(QStringLiteral("L%1").arg(shape), rows("T", 0, 9, 64, first + shape * 100));
    return section;
}

// A file with all five sections and distinct values everywhere.
inline QJsonObject full(const QString &machine = QStringLiteral("VrkC1"), int version = 8)
{
    return {{"_machine", machine},
            {"_version", version},
            {"techparams", QJsonObject{{"values", numbers(256, 1.5)}}},
            {"rparams", QJsonObject{{"values", numbers(256, -7.0, 0.5)}}},
            {"coordsys", rows("G", 54, 59, 8, 0.125)},
            {"tools", rows("T", 1, 9, 8, 10.0)},
            {"teeth", teeth()}};
}

inline QByteArray json(const QJsonObject &root)
{
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A fuzz input as a file of this process in the temporary folder.
inline QString fuzzFile(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = QDir::temp().filePath(
        QStringLiteral("fuzz_%1_%2").arg(QCoreApplication::applicationPid()).arg(name));
    if (!write(path,
               QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size))))
        std::abort();
    return path;
}

} // namespace BackupData
