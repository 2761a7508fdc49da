#include "output.h"

#include "model/machinevalue.h"

#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

namespace {
// Names and texts from files and machines may hold control characters: on a
// terminal they would move the cursor or change colours, and a line break
// would pass for a line of its own. Tabs separate fields and stay.
QByteArray printable(QString text)
{
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x08\\x0a-\\x1f\\x7f-\\x9f]"));
    return text.replace(controls, QStringLiteral(" ")).toUtf8();
}
} // namespace

void Output::text(const QString &line) const
{
    if (!m_json)
        std::fprintf(stdout, "%s\n", printable(line).constData());
}

void Output::progress(const QString &subject, const QString &step, int percent)
{
    if (m_quiet)
        return;
    QString line = subject + QStringLiteral(": ") + step;
    // A request reports every chunk: a line per tenth is enough to follow it.
    const QString key = line + QString::number(percent / 10);
    if (percent >= 0)
        line += QStringLiteral(" %1%").arg(percent);
    if (m_lastProgress.value(subject) == key)
        return;
    m_lastProgress.insert(subject, key);
    std::fprintf(stderr, "%s\n", printable(line).constData());
    std::fflush(stderr);
}

void Output::failure(const QString &subject, const QString &message)
{
    m_failed = true;
    m_errors.append(
        QJsonObject{{QStringLiteral("subject"), subject}, {QStringLiteral("message"), message}});
    std::fprintf(stderr, "vrk6-cli: %s\n",
                 printable(subject + QStringLiteral(": ") + message).constData());
    std::fflush(stderr);
}

int Output::finish(const QString &command) const
{
    if (m_json) {
        QJsonObject document = m_extra;
        document.insert(QStringLiteral("command"), command);
        document.insert(QStringLiteral("ok"), !m_failed);
        document.insert(QStringLiteral("results"), m_results);
        if (!m_errors.isEmpty())
            document.insert(QStringLiteral("errors"), m_errors);
        std::fprintf(stdout, "%s",
                     QJsonDocument(document).toJson(QJsonDocument::Indented).constData());
    }
    // Output that did not arrive (a full disk, a closed pipe) is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "vrk6-cli: cannot write to standard output\n");
        return Failed;
    }
    return m_failed ? Failed : Success;
}

QJsonValue Output::number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QString Output::floatText(double value)
{
    // The editors' rule: the shortest text that reads back as the same float.
    const QString text = MachineValue::editText(value);
    if (!text.isEmpty())
        return text;
    if (std::isnan(value))
        return QStringLiteral("nan");
    return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
}
