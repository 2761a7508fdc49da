#pragma once

#include "model/modelversion.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ModelVersionDialog;
}

// Lets the user choose a machine type and data-model version without a
// machine. The choice is read from the widgets; it is always a valid version.
class ModelVersionDialog : public QDialog
{
    Q_OBJECT
public:
    // An invalid version starts on the first machine type and version 6.
    explicit ModelVersionDialog(const ModelVersion &version, QWidget *parent = nullptr);
    ~ModelVersionDialog() override;

    ModelVersion version() const;

private:
    std::unique_ptr<Ui::ModelVersionDialog> ui;
};
