#include "editors/modelversiondialog.h"

#include "ui_modelversiondialog.h"

namespace {
// The versions the parameter definitions know: 6 is every table's baseline,
// some parameters begin at 7 or 8.
constexpr uint FirstKnownVersion = 6;
constexpr uint LastKnownVersion = 8;
} // namespace

ModelVersionDialog::ModelVersionDialog(const ModelVersion &version, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ModelVersionDialog>())
{
    ui->setupUi(this);
    for (unsigned type = 0; type < MachineTypeCount; ++type) {
        const auto machineType = static_cast<MachineType>(type);
        if (machineBit(machineType) & MachineMasks::Selectable)
            ui->machine->addItem(QIcon(), MachineDescription::machineTypeTitle(machineType),
                                 int(type));
    }
    ui->knownVersions->setText(
        QStringLiteral("%1 - %2").arg(FirstKnownVersion).arg(LastKnownVersion));

    if (!version.isValid()) {
        ui->modelVersion->setValue(int(FirstKnownVersion));
        return;
    }
    // A type that cannot be picked (Unknown, the test type) keeps the first one.
    if (const int index = ui->machine->findData(int(version.type()), Qt::UserRole,
                                                Qt::MatchExactly | Qt::MatchCaseSensitive);
        index >= 0)
        ui->machine->setCurrentIndex(index);
    ui->modelVersion->setValue(int(version.version()));
}

ModelVersionDialog::~ModelVersionDialog() = default;

ModelVersion ModelVersionDialog::version() const
{
    bool ok = false;
    const int type = ui->machine->currentData(Qt::UserRole).toInt(&ok);
    return ModelVersion(static_cast<MachineType>(ok ? type : 0), uint(ui->modelVersion->value()));
}
