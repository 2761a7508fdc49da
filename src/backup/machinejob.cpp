#include "backup/machinejob.h"

#include "backup/backuplog.h"

void MachineJob::continueWith(const Started &started)
{
    if (!started)
        emit failed(started.error());
}

bool MachineJob::requestFailed()
{
    const QString error = m_request->ErrorString();
    if (error.isEmpty())
        return false;
    qCWarning(lcBackup) << metaObject()->className() << "request failed:" << error;
    emit failed({MachineJobError::requestFailed, m_request->GetType(), error});
    return true;
}
