#pragma once

#include <QDialog>

#include <memory>

class Machine;

namespace Ui {
class VersionDialog;
}

// The About box: the program's name, version and build, its maker, the
// connected machine and the release information link.
class VersionDialog : public QDialog
{
    Q_OBJECT
public:
    // No machine: the connected machine is "not connected".
    explicit VersionDialog(QWidget *parent = nullptr);
    VersionDialog(Machine *machine, QWidget *parent = nullptr);
    ~VersionDialog() override;

    bool event(QEvent *event) override;

private:
    void setUp(const QString &machineText);

    std::unique_ptr<Ui::VersionDialog> ui;
};
