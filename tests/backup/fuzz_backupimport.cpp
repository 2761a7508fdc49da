// Feeds arbitrary bytes to BackupImport as a version 5 backup file and runs
// the whole import into a technological-parameters group.
#include "backup/backupimport.h"
#include "backupdata.h"
#include "model/techparameters.h"

#include <cmath>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    BackupImport import(BackupData::fuzzFile(QStringLiteral("backupimport.cvrk"), data, size));
    if (!import.load() || !import.selectMapping() || !import.parseSections())
        return 0;
    TechParameters group;
    const QList<qsizetype> missed = import.importTechParams(&group, ModelVersion(VrkC1, 8));
    for (qsizetype i = 0; i < group.valueCount(); ++i) {
        // Nothing the machine's float cannot hold may become an edit.
        if (!(std::abs(group.value(i).value()) <= std::numeric_limits<float>::max()))
            std::abort();
    }
    if (missed.size() > group.valueCount())
        std::abort();
    return 0;
}
