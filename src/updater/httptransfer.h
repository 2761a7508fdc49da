#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

// One GET under the update rules: an allowed address (UpdatePolicy), at most
// UpdatePolicy::MaxRedirects redirects and none to a less safe address, a
// size limit, and an error when no byte arrives for the stall time-out. Into
// memory, or into a file: every byte is written to "<file>.part", which is
// moved into place only when the transfer finished without error (and the
// SHA-256 matches, when one is expected); otherwise it is removed.
class HttpTransfer : public QObject
{
    Q_OBJECT
public:
    explicit HttpTransfer(QNetworkAccessManager *manager, QObject *parent = nullptr);
    ~HttpTransfer() override;

    void setUserAgent(const QString &agent) { m_userAgent = agent; }
    void setMaximumSize(qint64 bytes) { m_maximumSize = bytes; }
    void setStallTimeout(std::chrono::milliseconds timeout) { m_stallTimer.setInterval(timeout); }
    // The longest the whole transfer may take, redirects included; none by default.
    void setTotalTimeout(std::chrono::milliseconds timeout) { m_totalTimer.setInterval(timeout); }
    // Lower-case hex; empty: not checked.
    void setExpectedSha256(const QByteArray &hex) { m_expectedSha256 = hex; }

    void get(const QUrl &url);
    void download(const QUrl &url, const QString &filePath);
    // Ends a running transfer as cancelled.
    void abort();

    bool isRunning() const { return !m_reply.isNull(); }
    bool wasCancelled() const { return m_cancelled; }
    // Empty when the transfer succeeded.
    QString errorString() const { return m_error; }
    // What a memory transfer received.
    QByteArray data() const { return m_buffer; }
    QString filePath() const { return m_target; }

signals:
    void progress(qint64 received, qint64 total);
    // Once per transfer, after the file is in place or removed.
    void finished();

private:
    void start(const QUrl &url);
    void fail(const QString &reason);
    void finishLater(const QString &reason);
    void send();
    bool isRedirect() const;
    bool endedEarly() const;
    // False (with the reason) when the redirect must not be followed.
    bool followRedirect();
    void onReadyRead();
    void onProgress(qint64 received, qint64 total);
    void onFinished();
    void complete();
    QString tooLarge() const;

    QNetworkAccessManager *m_manager;
    QPointer<QNetworkReply> m_reply;
    QUrl m_current;
    QString m_userAgent;
    qint64 m_maximumSize = -1;
    QByteArray m_expectedSha256;
    QTimer m_stallTimer;
    QTimer m_totalTimer;
    QString m_error;
    bool m_cancelled = false;
    QByteArray m_buffer;
    qint64 m_received = 0;
    int m_redirects = 0;
    QString m_target;
    QFile m_part;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};
