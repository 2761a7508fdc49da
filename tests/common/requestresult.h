#pragma once

#include "acpu/connection.h"

#include <QSignalSpy>
#include <QTest>

// Runs a request to its end: its error text (empty on success) or why it never
// ended properly (not connected, no finish, two finishes); progress to *progress.
inline QString RunToEnd(Acpu::Connection::Result result, QList<int> *progress = nullptr,
                        int timeoutMs = 20000)
{
    if (!result)
        return QStringLiteral("not connected");
    Acpu::Request *request = *result;
    request->SetAutoDelete(false);
    QSignalSpy finished(request, &Acpu::Request::finished);
    QSignalSpy steps(request, &Acpu::Request::progress);
    if (!finished.wait(timeoutMs))
        return QStringLiteral("request never finished");
    QTest::qWait(10); // room for a wrong second finish
    if (finished.size() != 1)
        return QStringLiteral("finished %1 times").arg(finished.size());
    if (progress)
        for (const auto &args : steps)
            progress->append(args.at(0).toInt());
    const QString error = request->ErrorString();
    delete request;
    return error;
}
