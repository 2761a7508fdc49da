#include "updater/httptransfer.h"

#include "updater/updatepolicy.h"
#include "updater/updaterlog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

HttpTransfer::HttpTransfer(QNetworkAccessManager *manager, QObject *parent)
    : QObject(parent), manager(manager)
{
    stallTimer.setSingleShot(true);
    stallTimer.setInterval(UpdatePolicy::StallTimeout);
    connect(&stallTimer, &QTimer::timeout, this, [this] {
        const auto seconds =
            std::chrono::round<std::chrono::seconds>(stallTimer.intervalAsDuration());
        fail(tr("The transfer stalled: no data arrived for %1 s.").arg(seconds.count()));
    });
}

HttpTransfer::~HttpTransfer()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (part.isOpen()) {
        part.close();
        part.remove();
    }
}

void HttpTransfer::get(const QUrl &url)
{
    target.clear();
    start(url);
}

void HttpTransfer::download(const QUrl &url, const QString &filePath)
{
    target = filePath;
    part.setFileName(filePath + QLatin1StringView(".part"));
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        finishLater(tr("Cannot write %1: %2").arg(part.fileName(), part.errorString()));
        return;
    }
    start(url);
}

void HttpTransfer::start(const QUrl &url)
{
    Q_ASSERT(!reply);
    error.clear();
    cancelled = false;
    buffer.clear();
    received = 0;
    redirects = 0;
    hash.reset();
    current = url;
    if (url.isEmpty()) {
        finishLater(tr("The update information gives no address to download from."));
        return;
    }
    if (!UpdatePolicy::isAllowedAddress(url)) {
        finishLater(
            tr("Refused the address \"%1\": only HTTPS is allowed.").arg(url.toDisplayString()));
        return;
    }
    send();
}

void HttpTransfer::send()
{
    QNetworkRequest request(current);
    // Redirects are followed here, one checked request after another.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (!userAgent.isEmpty())
        request.setRawHeader("User-Agent", userAgent.toUtf8());
    qCDebug(lcUpdater) << "GET" << current;
    reply = manager->get(request);
    connect(reply, &QNetworkReply::readyRead, this, &HttpTransfer::onReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &HttpTransfer::onProgress);
    connect(reply, &QNetworkReply::finished, this, &HttpTransfer::onFinished);
    stallTimer.start();
}

void HttpTransfer::abort()
{
    if (!reply)
        return;
    cancelled = true;
    fail(tr("The transfer was cancelled."));
}

void HttpTransfer::fail(const QString &reason)
{
    if (error.isEmpty())
        error = reason;
    if (reply && reply->isRunning())
        reply->abort();
}

void HttpTransfer::finishLater(const QString &reason)
{
    error = reason;
    QTimer::singleShot(0, this, &HttpTransfer::complete);
}

bool HttpTransfer::isRedirect() const
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 300 && status <= 399 &&
           reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid();
}

bool HttpTransfer::followRedirect()
{
    const QUrl to =
        current.resolved(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    if (++redirects > UpdatePolicy::MaxRedirects) {
        error = tr("Too many redirects (more than %1).").arg(UpdatePolicy::MaxRedirects);
        return false;
    }
    if (!UpdatePolicy::isAllowedRedirect(current, to)) {
        error = tr("Refused the redirect to \"%1\".").arg(to.toDisplayString());
        return false;
    }
    qCDebug(lcUpdater) << "redirected to" << to;
    current = to;
    return true;
}

void HttpTransfer::onReadyRead()
{
    const QByteArray chunk = reply->readAll();
    // A redirect's own body is not part of what is fetched.
    if (chunk.isEmpty() || !error.isEmpty() || isRedirect())
        return;
    stallTimer.start();
    received += chunk.size();
    if (maximumSize >= 0 && received > maximumSize) {
        fail(tooLarge());
        return;
    }
    if (target.isEmpty()) {
        buffer.append(chunk);
        return;
    }
    hash.addData(chunk);
    if (part.write(chunk) != chunk.size())
        fail(tr("Cannot write %1: %2").arg(part.fileName(), part.errorString()));
}

void HttpTransfer::onProgress(qint64 bytes, qint64 total)
{
    if (isRedirect())
        return;
    // The announced size is refused before the data arrives.
    if (maximumSize >= 0 && total > maximumSize)
        fail(tooLarge());
    else if (error.isEmpty())
        emit progress(bytes, total);
}

QString HttpTransfer::tooLarge() const
{
    return tr("The transfer is larger than the %1 allowed.")
        .arg(QLocale().formattedDataSize(maximumSize));
}

void HttpTransfer::onFinished()
{
    stallTimer.stop();
    const bool redirect =
        error.isEmpty() && reply->error() == QNetworkReply::NoError && isRedirect();
    if (redirect) {
        if (followRedirect()) {
            reply->disconnect(this);
            reply->deleteLater();
            reply = nullptr;
            send();
            return;
        }
    } else if (reply->error() == QNetworkReply::NoError) {
        onReadyRead();
    }
    if (error.isEmpty()) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError)
            error = reply->errorString();
        else if (status < 200 || status > 299)
            error =
                tr("The server answered %1 %2.")
                    .arg(status)
                    .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        else if (endedEarly())
            error = tr("The transfer ended after %1 of %2 bytes.")
                        .arg(received)
                        .arg(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    }
    reply->disconnect(this);
    reply->deleteLater();
    reply = nullptr;
    complete();
}

bool HttpTransfer::endedEarly() const
{
    // A connection closed before the announced length can still end without
    // an error. (A compressed body has another length once decoded.)
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply->rawHeader("Content-Encoding");
    return length.isValid() && (encoding.isEmpty() || encoding == "identity") &&
           received != length.toLongLong();
}

void HttpTransfer::complete()
{
    if (!target.isEmpty()) {
        if (part.isOpen()) {
            if (error.isEmpty() && !part.flush())
                error = tr("Cannot write %1: %2").arg(part.fileName(), part.errorString());
            part.close();
        }
        if (error.isEmpty() && !expectedSha256.isEmpty() && hash.result().toHex() != expectedSha256)
            error = tr("The downloaded file is damaged: its SHA-256 checksum does not match the "
                       "update information.");
        if (error.isEmpty()) {
            QFile::remove(target);
            if (!part.rename(target))
                error = tr("Cannot move %1 into place: %2").arg(target, part.errorString());
        }
        if (!error.isEmpty())
            part.remove();
    }
    if (!error.isEmpty())
        qCWarning(lcUpdater).noquote() << current.toDisplayString() << error;
    emit finished();
}
