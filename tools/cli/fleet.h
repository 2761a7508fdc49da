#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

// Runs one piece of work per machine on the one event loop, at most
// maxInFlight at a time, and reports when all have ended.
class Fleet : public QObject
{
    Q_OBJECT
public:
    // Starts the work for machine `index`; it calls `ended` exactly once.
    using Start = std::function<void(qsizetype index, std::function<void()> ended)>;

    Fleet(qsizetype count, int maxInFlight, Start start, QObject *parent = nullptr);
    void run();
    // Starts no more work; finished() follows once the running work has
    // ended. Returns how many were started: the others never will be.
    qsizetype stop();

signals:
    void finished();

private:
    void startNext();

    qsizetype m_count;
    int m_maxInFlight;
    Start m_start;
    qsizetype m_next = 0;
    int m_running = 0;
};
