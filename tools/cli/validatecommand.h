#pragma once

#include "command.h"

// validate FILE...: the schema check of backup files with the numbered report.
class ValidateCommand : public Command
{
    Q_OBJECT
public:
    explicit ValidateCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override { return QStringLiteral("FILE..."); }
    void start() override;

protected:
    Result<void> take(const QCommandLineParser &parser) override;

private:
    QStringList m_files;
};
