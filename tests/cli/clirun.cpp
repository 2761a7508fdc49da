#include "clirun.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTest>

CliRun cli(const QString &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VRK6_CLI_PATH), arguments.split(u' ', Qt::SkipEmptyParts));
    CliRun result;
    // The event loop runs meanwhile: peers inside the test keep answering.
    if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 60000)) {
        process.kill();
        process.waitForFinished(5000);
        result.err = "vrk6-cli did not finish";
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QJsonValue CliRun::at(const QString &path) const
{
    QJsonValue value = QJsonDocument::fromJson(out).object();
    for (const QString &step : path.split(QLatin1Char('/'))) {
        bool isIndex = false;
        const int index = step.toInt(&isIndex);
        value = isIndex ? value[index] : value[step];
    }
    return value;
}

QStringList CliRun::lines() const
{
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
