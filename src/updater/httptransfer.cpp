#include "updater/httptransfer.h"

#include "updater/updatepolicy.h"
#include "updater/updaterlog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
qint64 seconds(const QTimer &timer)
{
    return std::chrono::round<std::chrono::seconds>(timer.intervalAsDuration()).count();
}
} // namespace

HttpTransfer::HttpTransfer(QNetworkAccessManager *manager, QObject *parent)
    : QObject(parent), m_manager(manager)
{
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(UpdatePolicy::StallTimeout);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] {
        fail(tr("The transfer stalled: no data arrived for %1 s.").arg(seconds(m_stallTimer)));
    });
    m_totalTimer.setSingleShot(true);
    m_totalTimer.setInterval(0);
    connect(&m_totalTimer, &QTimer::timeout, this, [this] {
        fail(tr("The transfer did not end within %1 s.").arg(seconds(m_totalTimer)));
    });
}

HttpTransfer::~HttpTransfer()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    if (m_part.isOpen()) {
        m_part.close();
        m_part.remove();
    }
}

void HttpTransfer::get(const QUrl &url)
{
    m_target.clear();
    start(url);
}

void HttpTransfer::download(const QUrl &url, const QString &filePath)
{
    m_target = filePath;
    m_part.setFileName(filePath + QLatin1StringView(".part"));
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    if (!m_part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        finishLater(tr("Cannot write %1: %2").arg(m_part.fileName(), m_part.errorString()));
        return;
    }
    start(url);
}

void HttpTransfer::start(const QUrl &url)
{
    Q_ASSERT(!m_reply);
    m_error.clear();
    m_cancelled = false;
    m_buffer.clear();
    m_received = 0;
    m_redirects = 0;
    m_hash.reset();
    m_current = url;
    if (url.isEmpty()) {
        finishLater(tr("The update information gives no address to download from."));
        return;
    }
    if (!UpdatePolicy::isAllowedAddress(url)) {
        finishLater(
            tr("Refused the address \"%1\": only HTTPS is allowed.").arg(url.toDisplayString()));
        return;
    }
    if (m_totalTimer.interval() > 0)
        m_totalTimer.start();
    send();
}

void HttpTransfer::send()
{
    QNetworkRequest request(m_current);
    // Redirects are followed here, one checked request after another.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (!m_userAgent.isEmpty())
        request.setRawHeader("User-Agent", m_userAgent.toUtf8());
    qCDebug(lcUpdater) << "GET" << m_current;
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpTransfer::onReadyRead);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &HttpTransfer::onProgress);
    connect(m_reply, &QNetworkReply::finished, this, &HttpTransfer::onFinished);
    m_stallTimer.start();
}

void HttpTransfer::abort()
{
    if (!m_reply)
        return;
    m_cancelled = true;
    fail(tr("The transfer was cancelled."));
}

void HttpTransfer::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    if (m_reply && m_reply->isRunning())
        m_reply->abort();
}

void HttpTransfer::finishLater(const QString &reason)
{
    m_error = reason;
    QTimer::singleShot(0, this, &HttpTransfer::complete);
}

bool HttpTransfer::isRedirect() const
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 300 && status <= 399 &&
           m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid();
}

bool HttpTransfer::followRedirect()
{
    const QUrl to =
        m_current.resolved(m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    if (++m_redirects > UpdatePolicy::MaxRedirects) {
        m_error = tr("Too many redirects (more than %1).").arg(UpdatePolicy::MaxRedirects);
        return false;
    }
    if (!UpdatePolicy::isAllowedRedirect(m_current, to)) {
        m_error = tr("Refused the redirect to \"%1\".").arg(to.toDisplayString());
        return false;
    }
    qCDebug(lcUpdater) << "redirected to" << to;
    m_current = to;
    return true;
}

void HttpTransfer::onReadyRead()
{
    const QByteArray chunk = m_reply->readAll();
    // A redirect's own body is not part of what is fetched.
    if (chunk.isEmpty() || !m_error.isEmpty() || isRedirect())
        return;
    m_stallTimer.start();
    m_received += chunk.size();
    if (m_maximumSize >= 0 && m_received > m_maximumSize) {
        fail(tooLarge());
        return;
    }
    if (m_target.isEmpty()) {
        m_buffer.append(chunk);
        return;
    }
    m_hash.addData(chunk);
    if (m_part.write(chunk) != chunk.size())
        fail(tr("Cannot write %1: %2").arg(m_part.fileName(), m_part.errorString()));
}

void HttpTransfer::onProgress(qint64 bytes, qint64 total)
{
    if (isRedirect())
        return;
    // The announced size is refused before the data arrives.
    if (m_maximumSize >= 0 && total > m_maximumSize)
        fail(tooLarge());
    else if (m_error.isEmpty())
        emit progress(bytes, total);
}

QString HttpTransfer::tooLarge() const
{
    return tr("The transfer is larger than the %1 allowed.")
        .arg(QLocale().formattedDataSize(m_maximumSize));
}

void HttpTransfer::onFinished()
{
    m_stallTimer.stop();
    const bool redirect =
        m_error.isEmpty() && m_reply->error() == QNetworkReply::NoError && isRedirect();
    if (redirect) {
        if (followRedirect()) {
            m_reply->disconnect(this);
            m_reply->deleteLater();
            m_reply = nullptr;
            send();
            return;
        }
    } else if (m_reply->error() == QNetworkReply::NoError) {
        onReadyRead();
    }
    if (m_error.isEmpty()) {
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (m_reply->error() != QNetworkReply::NoError)
            m_error = m_reply->errorString();
        else if (status < 200 || status > 299)
            m_error =
                tr("The server answered %1 %2.")
                    .arg(status)
                    .arg(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        else if (endedEarly())
            m_error = tr("The transfer ended after %1 of %2 bytes.")
                          .arg(m_received)
                          .arg(m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    }
    m_reply->disconnect(this);
    m_reply->deleteLater();
    m_reply = nullptr;
    complete();
}

bool HttpTransfer::endedEarly() const
{
    // A connection closed before the announced length can still end without
    // an error. (A compressed body has another length once decoded.)
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = m_reply->rawHeader("Content-Encoding");
    return length.isValid() && (encoding.isEmpty() || encoding == "identity") &&
           m_received != length.toLongLong();
}

void HttpTransfer::complete()
{
    m_totalTimer.stop();
    if (!m_target.isEmpty()) {
        if (m_part.isOpen()) {
            if (m_error.isEmpty() && !m_part.flush())
                m_error = tr("Cannot write %1: %2").arg(m_part.fileName(), m_part.errorString());
            m_part.close();
        }
        if (m_error.isEmpty() && !m_expectedSha256.isEmpty() &&
            m_hash.result().toHex() != m_expectedSha256)
            m_error = tr("The downloaded file is damaged: its SHA-256 checksum does not match the "
                         "update information.");
        if (m_error.isEmpty()) {
            QFile::remove(m_target);
            if (!m_part.rename(m_target))
                m_error = tr("Cannot move %1 into place: %2").arg(m_target, m_part.errorString());
        }
        if (!m_error.isEmpty())
            m_part.remove();
    }
    if (!m_error.isEmpty())
        qCWarning(lcUpdater).noquote() << m_current.toDisplayString() << m_error;
    emit finished();
}
