#pragma once

#include "editors/liveeditor.h"

#include <memory>

namespace Ui {
class ParametersEditor;
}

// The live editor of the technological parameters, the R parameters, the
// G54-G59 coordinate systems or the tools: one table of the group's values.
class ParametersEditor : public LiveEditor
{
    Q_OBJECT
public:
    // Takes ownership of the group.
    ParametersEditor(Machine *machine, ParameterGroup *group, QWidget *parent = nullptr);
    ~ParametersEditor() override;

private:
    std::unique_ptr<Ui::ParametersEditor> ui;
};
