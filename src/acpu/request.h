#pragma once

#include "acpu/varrange.h"

#include <QElapsedTimer>
#include <QObject>

#include <utility>

namespace Acpu {

// One asynchronous read or write of machine variables, sent in chunks.
// Nobody owns it: with auto delete on it deletes itself after finished().
class Request : public QObject
{
    Q_OBJECT
public:
    enum Type
    {
        Read = 0,
        Write = 1
    };
    Q_ENUM(Type)

    Request(const VarRanges &ranges, qint64 maxChunk, QObject *parent = nullptr);
    Request(const VarRanges &ranges, qint64 maxChunk, QList<Value> &&values,
            QObject *parent = nullptr);

    Type GetType() const { return type; }
    qint64 Count() const { return count; }
    QString ErrorString() const { return errorString; }
    void SetErrorString(const QString &message) { errorString = message; }
    bool IsFinished() const { return finishedFlag; }
    void SetFinished(bool value);
    qint64 ElapsedMs() const { return elapsedMs; }
    bool AutoDelete() const { return autoDelete; }
    void SetAutoDelete(bool value) { autoDelete = value; }
    qint64 Transferred() const { return transferred; }
    const VarRanges &Ranges() const { return ranges; }
    const QList<Value> &Values() const { return values; }

    VarRange CurrentChunk() const { return currentChunk; }
    // The next chunk of at most the maximum length; {0, 0} after the last one.
    VarRange NextChunk();
    std::pair<VarRange, QList<Value>> NextChunkWithValues();
    void AddProgress(qint64 n);

signals:
    void finished();
    void progress(int progress);

private:
    Type type;
    qint64 count = 0;
    QList<Value> values;
    VarRanges ranges;
    VarRange currentChunk;
    QElapsedTimer timer;
    qint64 elapsedMs = 0;
    qint64 maxChunk = -1;
    qsizetype rangeIndex = 0;
    qint64 rangeOffset = 0;
    qint64 consumed = 0;
    QString errorString;
    qint64 transferred = 0;
    bool finishedFlag = false;
    bool autoDelete = true;
};

} // namespace Acpu
