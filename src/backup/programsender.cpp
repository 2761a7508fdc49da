#include "backup/programsender.h"

#include "acpu/connection.h"
#include "backup/backupfile.h"
#include "model/machine.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

ProgramSender::Image ProgramSender::makeImage(const QByteArray &bytes)
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
ProgramSender::readImage(const QString &fileName)
{
    auto fail = [](MachineJobError::Kind kind, const QString &message) {
        return std::unexpected(MachineJobError{kind, Acpu::Request::Write, message});
    };
    QFile file(fileName);
    if (const Result<void> opened = BackupFile::openRegularFile(file); !opened)
        return fail(MachineJobError::FileFailed, opened.error());
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
    Image image = makeImage(bytes);
    // The machine ends a program at its first zero word: one followed by
    // more of the program would cut it short while the upload reports
    // success. Zero bytes at the very end lose nothing.
    const auto zero = std::find(image.cbegin(), image.cend() - 1, Acpu::Value{0});
    if (std::any_of(zero, image.cend() - 1,
                    [](const Acpu::Value &word) { return word != Acpu::Value{0}; }))
        return fail(MachineJobError::FileFailed,
                    tr("The file holds four zero bytes at byte %1; the machine would end the "
                       "program there.")
                        .arg(4 * (zero - image.cbegin())));
    return image;
}

Acpu::VarRanges ProgramSender::uploadRanges(qsizetype wordCount)
{
    Acpu::VarRanges ranges{{StateVariable, 1}};
    ranges.reserve(1 + wordCount / WindowLength + 1);
    for (; wordCount > WindowLength; wordCount -= WindowLength)
        ranges.append({WindowVariable, WindowLength});
    ranges.append({WindowVariable, wordCount});
    return ranges;
}

ProgramSender::Outcome ProgramSender::classify(quint32 code)
{
    if (code == 2)
        return Outcome::Success;
    return code < 2 ? Outcome::Unexpected : Outcome::Error;
}

ProgramSender::ProgramSender(Machine *machine, QObject *parent)
    : MachineJob(parent), m_machine(machine)
{
}

ProgramSender::Started ProgramSender::checkReady()
{
    return track(
        m_machine->connection()->Read({{EnableVariable, StateVariable - EnableVariable + 1}}),
        &ProgramSender::onReadyCheckFinished);
}

void ProgramSender::onReadyCheckFinished()
{
    if (requestFailed())
        return;
    Acpu::Connection *connection = m_machine->connection();
    emit readyChecked(connection->ReadInt(EnableVariable) != 0 &&
                      connection->ReadInt(StateVariable) == 0);
}

ProgramSender::Started ProgramSender::send(const Image &image)
{
    Image values{StartState};
    values += image;
    return track(m_machine->connection()->Write(uploadRanges(image.size()), values),
                 &ProgramSender::onDataSendFinished);
}

void ProgramSender::onDataSendFinished()
{
    if (requestFailed())
        return;
    continueWith(track(m_machine->connection()->Read({{ResultVariable, 1}}),
                       &ProgramSender::onStatusRequestFinished));
}

void ProgramSender::onStatusRequestFinished()
{
    if (requestFailed())
        return;
    emit resultRead(static_cast<quint32>(m_machine->connection()->ReadInt(ResultVariable)));
}
