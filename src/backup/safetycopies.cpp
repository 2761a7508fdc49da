#include "backup/safetycopies.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <tuple>

QString SafetyCopies::defaultDirectory()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("before-restore"));
}

QString SafetyCopies::filePrefix(const QString &host)
{
    // Host strings carry ':' and brackets ("[fe80::1]:1502"), which some file
    // systems refuse.
    QString safe = host;
    safe.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._]")), QStringLiteral("_"));
    return safe.isEmpty() ? QStringLiteral("machine") : safe;
}

QString SafetyCopies::newFileName(const QString &directory, const QString &host,
                                  const QDateTime &when)
{
    const QString base =
        filePrefix(host) + QLatin1Char('-') + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(directory);
    QString name = dir.filePath(base + QStringLiteral(".vrk"));
    // Two restores within one second must not overwrite the first copy.
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = dir.filePath(QStringLiteral("%1-%2.vrk").arg(base).arg(n));
    return name;
}

QStringList SafetyCopies::list(const QString &directory, const QString &host)
{
    const QRegularExpression pattern(QStringLiteral("^%1-(\\d{8}-\\d{6})(?:-(\\d+))?\\.vrk$")
                                         .arg(QRegularExpression::escape(filePrefix(host))));
    // Time stamp (sorts as text) and counter within one second.
    QList<std::tuple<QString, int, QString>> found;
    const QDir dir(directory);
    for (const QString &name : dir.entryList({QStringLiteral("*.vrk")}, QDir::Files)) {
        if (const QRegularExpressionMatch match = pattern.match(name); match.hasMatch())
            found.append({match.captured(1), match.captured(2).toInt(), dir.filePath(name)});
    }
    std::sort(found.begin(), found.end());
    QStringList names;
    for (const auto &entry : std::as_const(found))
        names.append(std::get<2>(entry));
    return names;
}

void SafetyCopies::prune(const QString &directory, const QString &host)
{
    const QStringList copies = list(directory, host);
    for (qsizetype i = 0; i + KeepPerHost < copies.size(); ++i)
        QFile::remove(copies.at(i));
}
