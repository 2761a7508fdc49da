#pragma once

#include "model/machinetype.h"

// One row of a definition table as written in the source: a label, the
// machines that have it and its first data-model version (no upper bound).
struct ItemDefinition
{
    const char *label;
    MachineMask mask;
    uint minVersion;
};
