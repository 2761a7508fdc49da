#include "editors/parameterseditor.h"
#include "ui_parameterseditor.h"

ParametersEditor::ParametersEditor(Machine *machine, ParameterGroup *group, QWidget *parent)
    : LiveEditor(machine, group, parent), ui(new Ui::ParametersEditor)
{
    ui->setupUi(this);
    attach({ui->valueEditor, ui->buttonBox, ui->actionOpen, ui->actionRefresh1s,
            ui->actionRefresh100ms});
}

ParametersEditor::~ParametersEditor() = default;
