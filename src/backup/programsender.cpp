#include "backup/programsender.h"

#include "acpu/connection.h"
#include "model/machine.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

ProgramSender::Image ProgramSender::MakeImage(const QByteArray &bytes)
{
    Image image;
    image.reserve(bytes.size() / 4 + 2);
    for (qsizetype at = 0; at < bytes.size(); at += 4) {
        char word[4] = {0, 0, 0, 0};
        std::copy_n(bytes.constData() + at, std::min<qsizetype>(4, bytes.size() - at), word);
        image.append(static_cast<int>(qFromLittleEndian<quint32>(word)));
    }
    image.append(0);
    return image;
}

std::expected<ProgramSender::Image, MachineJobError>
ProgramSender::ReadImage(const QString &fileName)
{
    auto fail = [](MachineJobError::Kind kind, const QString &message) {
        return std::unexpected(MachineJobError{kind, Acpu::Request::Write, message});
    };
    QFile file(fileName);
    // A FIFO or device would block the event loop or never end.
    if (QFileInfo::exists(fileName) && !QFileInfo(fileName).isFile())
        return fail(MachineJobError::FileFailed, tr("This is not a regular file."));
    if (!file.open(QIODevice::ReadOnly))
        return fail(MachineJobError::FileFailed, file.errorString());
    if (file.size() > MaxProgramBytes)
        return fail(MachineJobError::FileTooLarge,
                    tr("The file holds %1 bytes; programs of at most %2 bytes (16 MiB) are sent.")
                        .arg(file.size())
                        .arg(MaxProgramBytes));
    const QByteArray bytes = file.read(MaxProgramBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(MachineJobError::FileFailed, file.errorString());
    // The file grew after the size check.
    if (bytes.size() > MaxProgramBytes)
        return fail(MachineJobError::FileTooLarge,
                    tr("The file holds more than %1 bytes (16 MiB), the most that is sent.")
                        .arg(MaxProgramBytes));
    return MakeImage(bytes);
}

Acpu::VarRanges ProgramSender::UploadRanges(qsizetype wordCount)
{
    Acpu::VarRanges ranges{{StateVariable, 1}};
    ranges.reserve(1 + wordCount / WindowLength + 1);
    for (; wordCount > WindowLength; wordCount -= WindowLength)
        ranges.append({WindowVariable, WindowLength});
    ranges.append({WindowVariable, wordCount});
    return ranges;
}

ProgramSender::Outcome ProgramSender::Classify(quint32 code)
{
    if (code == 2)
        return Outcome::Success;
    return code < 2 ? Outcome::Unexpected : Outcome::Error;
}

ProgramSender::ProgramSender(Machine *machine, QObject *parent)
    : MachineJob(parent), machine(machine)
{
}

ProgramSender::Started ProgramSender::CheckReady()
{
    return Track(
        machine->connection()->Read({{EnableVariable, StateVariable - EnableVariable + 1}}),
        &ProgramSender::OnReadyCheckFinished);
}

void ProgramSender::OnReadyCheckFinished()
{
    if (RequestFailed())
        return;
    Acpu::Connection *connection = machine->connection();
    emit readyChecked(connection->ReadInt(EnableVariable) != 0 &&
                      connection->ReadInt(StateVariable) == 0);
}

ProgramSender::Started ProgramSender::Send(const Image &image)
{
    Image values{StartState};
    values += image;
    return Track(machine->connection()->Write(UploadRanges(image.size()), values),
                 &ProgramSender::OnDataSendFinished);
}

void ProgramSender::OnDataSendFinished()
{
    if (RequestFailed())
        return;
    Continue(Track(machine->connection()->Read({{ResultVariable, 1}}),
                   &ProgramSender::OnStatusRequestFinished));
}

void ProgramSender::OnStatusRequestFinished()
{
    if (RequestFailed())
        return;
    emit resultRead(static_cast<quint32>(machine->connection()->ReadInt(ResultVariable)));
}
