#pragma once

#include "acpu/connection.h"
#include "backup/machinejoberror.h"

#include <QObject>

#include <expected>

// The common ground of the machine jobs' traffic: one request at a time,
// every started request announced (for a wait box), every failure reported
// once through failed().
class MachineJob : public QObject
{
    Q_OBJECT
public:
    using Started = std::expected<void, MachineJobError>;

    using QObject::QObject;

    // A request it started has not finished yet.
    virtual bool isRunning() const { return m_running; }

signals:
    void requestStarted(Acpu::Request *request);
    void failed(const MachineJobError &error);

protected:
    // Keeps the request that result started and calls onFinished when it
    // ends; NotConnected when the connection refused to start it.
    template <typename Job>
    Started track(const Acpu::Connection::Result &result, void (Job::*onFinished)())
    {
        if (!result)
            return std::unexpected(MachineJobError{MachineJobError::NotConnected, {}, {}});
        m_request = *result;
        m_running = true;
        // Before onFinished, which may start the next request.
        connect(m_request, &Acpu::Request::finished, this, [this] { m_running = false; });
        connect(m_request, &Acpu::Request::finished, static_cast<Job *>(this), onFinished);
        emit requestStarted(m_request);
        return {};
    }
    // For a slot that starts the next request: a refusal becomes failed().
    void continueWith(const Started &started);
    // Reports the finished request's error through failed(); false when it
    // succeeded.
    bool requestFailed();

    Acpu::Request *m_request = nullptr;
    bool m_running = false;
};
