#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include "updater/httptransfer.h"

#include <memory>
class QNetworkAccessManager;

namespace Ui {
class Downloader;
}

// The download window: fetches an installer into the download directory with
// progress and a time estimate, then offers to open it. Only a file that
// arrived completely (and with the expected checksum) is ever offered.
class Downloader : public QWidget
{
    Q_OBJECT
public:
    explicit Downloader(QWidget *parent = nullptr);
    ~Downloader() override;

    bool useCustomInstallProcedures() const { return m_useCustomProcedures; }
    QString downloadDir() const { return m_downloadDir.absolutePath(); }
    void setDownloadDir(const QString &dir) { m_downloadDir.setPath(dir); }
    QString fileName() const { return m_fileName; }
    // Lower-case hex SHA-256 the file must have; empty: not checked.
    void setExpectedSha256(const QByteArray &hex) { m_sha256 = hex; }
    HttpTransfer *transfer() const { return m_transfer; }

signals:
    void downloadFinished(QString url, QString filepath);

public slots:
    void setUrlId(QString url);
    void startDownload(QUrl url);
    void setFileName(QString file);
    void setUserAgentString(QString agent);
    void setUseCustomInstallProcedures(bool custom);
    void setMandatoryUpdate(bool mandatory_update);

private slots:
    void finished();
    void openDownload();
    void installUpdate();
    void cancelDownload();
    void calculateSizes(qint64 received, qint64 total);
    void updateProgress(qint64 received, qint64 total);
    void calculateTimeRemaining(qint64 received, qint64 total);

private:
    QString filePath() const { return m_downloadDir.filePath(m_fileName); }

    QString m_url;
    QElapsedTimer m_startTime;
    QDir m_downloadDir;
    QString m_fileName;
    std::unique_ptr<Ui::Downloader> ui;
    QPointer<HttpTransfer> m_transfer;
    QString m_userAgentString;
    bool m_useCustomProcedures = false;
    bool m_mandatoryUpdate = false;
    QByteArray m_sha256;
    QNetworkAccessManager *m_manager;
};
