#pragma once

#include "command.h"
#include "parameterset.h"

#include <array>

// diff A B: A and B each a backup file or a machine (its current values).
class DiffCommand : public Command
{
    Q_OBJECT
public:
    explicit DiffCommand(QObject *parent = nullptr);
    QString summary() const override;
    QString syntax() const override { return QStringLiteral("A B [--with-teeth]"); }
    void start() override;

protected:
    void addOptions(QCommandLineParser &parser) override;
    Result<void> take(const QCommandLineParser &parser) override;

private:
    struct Side
    {
        QString name;
        bool isFile = false;
        ParameterSet set;
    };
    // Reads the machines' sides one after the other, then compares.
    void readMachine(int side);
    void compare();

    std::array<Side, 2> m_sides;
    QList<int> m_machineTags;
};
