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

    Type GetType() const { return m_type; }
    qint64 Count() const { return m_count; }
    QString ErrorString() const { return m_errorString; }
    void SetErrorString(const QString &message) { m_errorString = message; }
    bool IsFinished() const { return m_finishedFlag; }
    void SetFinished(bool value);
    qint64 ElapsedMs() const { return m_elapsedMs; }
    bool AutoDelete() const { return m_autoDelete; }
    void SetAutoDelete(bool value) { m_autoDelete = value; }
    qint64 Transferred() const { return m_transferred; }
    const VarRanges &Ranges() const { return m_ranges; }
    const QList<Value> &Values() const { return m_values; }

    VarRange CurrentChunk() const { return m_currentChunk; }
    // The next chunk of at most the maximum length; {0, 0} after the last one.
    VarRange NextChunk();
    std::pair<VarRange, QList<Value>> NextChunkWithValues();
    void AddProgress(qint64 n);

signals:
    void finished();
    void progress(int progress);

private:
    Type m_type;
    qint64 m_count = 0;
    QList<Value> m_values;
    VarRanges m_ranges;
    VarRange m_currentChunk;
    QElapsedTimer m_timer;
    qint64 m_elapsedMs = 0;
    qint64 m_maxChunk = -1;
    qsizetype m_rangeIndex = 0;
    qint64 m_rangeOffset = 0;
    qint64 m_consumed = 0;
    QString m_errorString;
    qint64 m_transferred = 0;
    bool m_finishedFlag = false;
    bool m_autoDelete = true;
};

} // namespace Acpu
