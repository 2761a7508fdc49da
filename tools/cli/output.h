#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// Everything a command tells its caller. Text for people on standard output
// by default; with --json one JSON document on standard output instead.
// Progress goes to standard error unless quiet; failures always do, and make
// the exit code 1.
class Output
{
public:
    enum ExitCode
    {
        Success = 0,
        Failed = 1
    };

    void setJson(bool json) { m_json = json; }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    bool isJson() const { return m_json; }

    // One line of the text form; nothing in JSON mode.
    void text(const QString &line) const;
    // One result of the JSON document's "results" array.
    void result(const QJsonObject &item) { m_results.append(item); }
    // A member of the JSON document next to "results".
    void set(const QString &key, const QJsonValue &value) { m_extra.insert(key, value); }
    // Progress of long work for one subject (a machine or a file).
    void progress(const QString &subject, const QString &step, int percent = -1);
    // A subject (machine, file) failed; the others go on. Listed on standard
    // error, and under "errors" in the JSON document.
    void failure(const QString &subject, const QString &message);
    bool hasFailed() const { return m_failed; }

    // Prints the JSON document (in JSON mode) and gives the exit code.
    int finish(const QString &command) const;

    // A number as JSON: not-a-number and infinities have no JSON form.
    static QJsonValue number(double value);
    // The shortest text that reads back as the same 32-bit float; "nan",
    // "inf" or "-inf" for a value that is not a finite float.
    static QString floatText(double value);

private:
    bool m_json = false;
    bool m_quiet = false;
    bool m_failed = false;
    QJsonArray m_results;
    QJsonArray m_errors;
    QJsonObject m_extra;
    QHash<QString, QString> m_lastProgress; // by subject
};
