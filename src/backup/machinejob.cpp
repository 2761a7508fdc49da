#include "backup/machinejob.h"

#include "backup/backuplog.h"

void MachineJob::Continue(const Started &started)
{
    if (!started)
        emit failed(started.error());
}

bool MachineJob::RequestFailed()
{
    const QString error = request->ErrorString();
    if (error.isEmpty())
        return false;
    qCWarning(lcBackup) << metaObject()->className() << "request failed:" << error;
    emit failed({MachineJobError::RequestFailed, request->GetType(), error});
    return true;
}
