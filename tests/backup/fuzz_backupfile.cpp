// Feeds arbitrary bytes to BackupFile::load as a file on disk; what loads is
// opened as a BackupDocument, saved and must load again with the same values,
// holes (values that are no number) included, and nothing a machine cannot
// hold is ever offered for writing.
#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backupdata.h"
#include "model/machinevalue.h"
#include "model/parametergroup.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString in = BackupData::fuzzFile(QStringLiteral("backupfile.vrk"), data, size);
    const QString out = in + QStringLiteral(".out.vrk");
    BackupFile file(in);
    if (!file.load())
        return 0;

    BackupDocument document; // it loads: BackupFile took it a moment ago
    if (!document.load(in) || !document.save(out))
        std::abort();
    // Whatever the program writes it must be able to read back.
    BackupFile saved(out);
    if (!saved.load() || saved.machine() != file.machine())
        std::abort();
    BackupDocument again;
    if (!again.load(out) || again.groupTags() != document.groupTags())
        std::abort();
    for (const int tag : document.groupTags()) {
        const ParameterGroup *group = document.group(tag);
        for (qsizetype i = 0; i < group->valueCount(); ++i) {
            const double a = group->value(i).value(), b = again.group(tag)->value(i).value();
            if (MachineValue::fits(a) ? a != b : !std::isnan(a) || !std::isnan(b))
                std::abort();
        }
        for (const auto &[variable, number] : group->definedValues())
            if (!std::isfinite(number))
                std::abort();
    }
    return 0;
}
