#pragma once

#include "acpu/request.h"

#include <QMetaType>
#include <QString>

// Why a machine job (backup, restore, program upload) stopped, so that a
// window can show its box and a command-line tool can print it.
struct MachineJobError
{
    enum Kind
    {
        // The connection refused to start a request.
        NotConnected,
        // A request finished with an error; requestType says which way.
        requestFailed,
        // A file could not be opened, read or saved.
        FileFailed,
        // A program file is larger than the machine can take.
        FileTooLarge,
        // A restore whose file carries nothing to write.
        NothingToWrite
    };

    Kind kind = NotConnected;
    Acpu::Request::Type requestType = Acpu::Request::Read;
    // The request's or the file system's error text; may be empty.
    QString message;
};

Q_DECLARE_METATYPE(MachineJobError)
