#include "requestresult.h"

#include <QSignalSpy>
#include <QTest>

QString RunToEnd(Acpu::Connection::Result result, QList<int> *progress, int timeoutMs)
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
