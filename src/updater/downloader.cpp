#include "updater/downloader.h"
#include "ui_downloader.h"

#include "updater/httptransfer.h"
#include "updater/updatepolicy.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>

namespace {
constexpr qint64 KiB = 1024;
constexpr qint64 MiB = 1024 * 1024;
} // namespace

Downloader::Downloader(QWidget *parent)
    : QWidget(parent), m_downloadDir(QDir::temp()), ui(new Ui::Downloader),
      m_manager(new QNetworkAccessManager(this))
{
    ui->setupUi(this);
    setWindowIcon(QIcon());
    // No close button: the download ends through Stop, which asks first.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    ui->openButton->setEnabled(false);
    ui->openButton->hide();
    connect(ui->stopButton, &QPushButton::clicked, this, &Downloader::cancelDownload);
    connect(ui->openButton, &QPushButton::clicked, this, &Downloader::installUpdate);
    // Never narrower than designed: the progress texts grow while downloading.
    setFixedSize(minimumSizeHint().expandedTo(size()));
}

Downloader::~Downloader() = default;

void Downloader::setUrlId(QString url)
{
    m_url = url;
}

void Downloader::setFileName(QString file)
{
    // The name comes from the network: it must stay inside the directory.
    m_fileName =
        UpdatePolicy::isSafeFileName(file) ? file : QString(UpdatePolicy::FallbackFileName);
}

void Downloader::setUserAgentString(QString agent)
{
    m_userAgentString = agent;
}

void Downloader::setUseCustomInstallProcedures(bool custom)
{
    m_useCustomProcedures = custom;
}

void Downloader::setMandatoryUpdate(bool mandatory_update)
{
    m_mandatoryUpdate = mandatory_update;
}

void Downloader::startDownload(QUrl url)
{
    delete m_transfer; // a download still running is dropped with its ".part"
    if (m_fileName.isEmpty())
        setFileName({});
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    ui->stopButton->setText(tr("Stop"));
    ui->downloadLabel->setText(tr("Downloading updates"));
    ui->timeLabel->setText(tr("Time remaining: %1").arg(tr("unknown")));
    ui->openButton->setEnabled(false);
    ui->openButton->hide();

    m_transfer = new HttpTransfer(m_manager, this);
    m_transfer->setUserAgent(m_userAgentString);
    m_transfer->setMaximumSize(UpdatePolicy::MaxDownloadSize);
    m_transfer->setExpectedSha256(m_sha256);
    connect(m_transfer, &HttpTransfer::progress, this, &Downloader::updateProgress);
    connect(m_transfer, &HttpTransfer::finished, this, &Downloader::finished);
    m_startTime.start();
    m_transfer->download(url, filePath());
    showNormal();
}

void Downloader::updateProgress(qint64 received, qint64 total)
{
    if (total > 0) {
        ui->progressBar->setRange(0, 100);
        ui->progressBar->setValue(static_cast<int>(received * 100 / total));
        calculateSizes(received, total);
        calculateTimeRemaining(received, total);
    } else {
        ui->progressBar->setRange(0, 0);
        ui->progressBar->setValue(-1);
        ui->downloadLabel->setText(tr("Downloading Updates ..."));
        ui->timeLabel->setText(tr("Time remaining: %1").arg(tr("unknown")));
    }
}

void Downloader::calculateSizes(qint64 received, qint64 total)
{
    auto text = [](qint64 bytes) {
        if (bytes < KiB)
            return tr("%1 bytes").arg(bytes);
        if (bytes < MiB)
            return tr("%1 KB").arg(bytes / KiB);
        return tr("%1 MB").arg(bytes / MiB);
    };
    ui->downloadLabel->setText(
        tr("Downloading updates (%1 of %2)").arg(text(received), text(total)));
}

void Downloader::calculateTimeRemaining(qint64 received, qint64 total)
{
    const qint64 elapsed = m_startTime.elapsed() / 1000;
    if (elapsed <= 0)
        return;
    const qint64 rate = received / elapsed;
    QString text = tr("unknown");
    if (rate > 0) {
        // What is still to come, not the whole file.
        const double estimate = static_cast<double>((total - received) / rate);
        if (estimate > 7200) {
            const int hours = qRound(estimate / 3600);
            text = hours > 1 ? tr("about %1 hours").arg(hours) : tr("about one hour");
        } else if (estimate > 60) {
            const int minutes = qRound(estimate / 60);
            text = minutes > 1 ? tr("%1 minutes").arg(minutes) : tr("1 minute");
        } else {
            const int seconds = qRound(estimate);
            text = seconds > 1 ? tr("%1 seconds").arg(seconds) : tr("1 second");
        }
    }
    ui->timeLabel->setText(tr("Time remaining: %1").arg(text));
}

void Downloader::finished()
{
    const QString error = m_transfer->errorString();
    if (!error.isEmpty()) {
        hide();
        if (!m_transfer->wasCancelled()) {
            QMessageBox box(
                QMessageBox::Warning, tr("Updater"),
                QStringLiteral("<h3>%1</h3>").arg(tr("The update could not be downloaded.")),
                QMessageBox::Close);
            box.setTextFormat(Qt::RichText);
            box.setInformativeText(error);
            box.exec();
        }
        return;
    }
    emit downloadFinished(m_url, filePath());
    if (m_useCustomProcedures)
        hide();
    else
        installUpdate();
}

void Downloader::installUpdate()
{
    if (m_useCustomProcedures)
        return;
    ui->stopButton->setText(tr("Close"));
    ui->downloadLabel->setText(tr("Download complete!"));
    ui->timeLabel->setText(tr("The installer will open separately") + QStringLiteral(" ..."));

    QMessageBox box;
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.setInformativeText(tr("Click \"OK\" to begin installing the update"));
    const QString text =
        m_mandatoryUpdate
            ? tr("In order to install the update, you may need to quit the application. This is "
                 "a mandatory update, exiting now will close the application")
            : tr("In order to install the update, you may need to quit the application.");
    box.setText(QStringLiteral("<h3>%1</h3>").arg(text));
    if (box.exec() == QMessageBox::Ok) {
        openDownload();
        hide();
        return;
    }
    if (m_mandatoryUpdate)
        QApplication::quit();
    // The window stays so that its Open button can still be used.
    ui->openButton->setEnabled(true);
    ui->openButton->show();
    ui->timeLabel->setText(tr("Click the \"Open\" button to apply the update"));
}

void Downloader::openDownload()
{
    if (!m_fileName.isEmpty() && QFile::exists(filePath())) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(filePath()));
        return;
    }
    QMessageBox box(QMessageBox::Critical, tr("Error"), tr("Cannot find downloaded update!"),
                    QMessageBox::Close);
    box.exec();
}

void Downloader::cancelDownload()
{
    if (!m_transfer || !m_transfer->isRunning()) {
        if (m_mandatoryUpdate)
            QApplication::quit();
        hide();
        return;
    }
    QMessageBox box(QMessageBox::Question, tr("Updater"),
                    m_mandatoryUpdate
                        ? tr("Are you sure you want to cancel the download? This is a mandatory "
                             "update, exiting now will close the application")
                        : tr("Are you sure you want to cancel the download?"),
                    QMessageBox::Yes | QMessageBox::No);
    if (box.exec() != QMessageBox::Yes)
        return;
    hide();
    if (m_transfer)
        m_transfer->abort();
    if (m_mandatoryUpdate)
        QApplication::quit();
}
