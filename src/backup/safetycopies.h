#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The backups a restore takes of the machine's values before it writes: one
// folder, file names by host and time, the newest few per host kept.
class SafetyCopies
{
public:
    static constexpr int KeepPerHost = 50;

    // <application data>/before-restore
    static QString defaultDirectory();
    // directory/<host>-<yyyyMMdd-HHmmss>.vrk, with the host made safe for a
    // file name and a counter added when that name is taken already.
    static QString newFileName(const QString &directory, const QString &host,
                               const QDateTime &when = QDateTime::currentDateTime());
    // The copies of host in directory, oldest first.
    static QStringList list(const QString &directory, const QString &host);
    // Deletes all but the newest KeepPerHost copies of host.
    static void prune(const QString &directory, const QString &host);

private:
    static QString filePrefix(const QString &host);
};
