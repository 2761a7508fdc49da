#pragma once

#include "command.h"
#include "model/modelversion.h"

// convert OLD.cvrk -o NEW.vrk --type TYPE --model-version N: the version 5
// import into a new backup file, with the list of values to check.
class ConvertCommand : public Command
{
    Q_OBJECT
public:
    explicit ConvertCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override
    {
        return QStringLiteral("OLD.cvrk -o NEW.vrk --type TYPE --model-version N");
    }
    void start() override;

protected:
    void addOptions(QCommandLineParser &parser) override;
    Result<void> take(const QCommandLineParser &parser) override;

private:
    QString m_source;
    QString m_target;
    bool m_overwrite = false;
    ModelVersion m_version;
};
