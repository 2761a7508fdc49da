#pragma once

#include "acpu/varrange.h"
#include "backup/machinejob.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <expected>

class Machine;

// Sends a CNC program into a machine's upload window: checks readiness,
// writes the state word and the program, reads the result code. No widgets:
// the window job and the command-line tool wrap it.
//
// checkReady() and send() either fail at once (not connected) or end later in
// exactly one of their signal (readyChecked(), resultRead()) and failed().
class ProgramSender : public MachineJob
{
    Q_OBJECT
public:
    // Larger files are refused before anything is written: at 60 words per
    // transaction a program this size already occupies the machine for
    // minutes, and one picked by mistake could take hours.
    static constexpr qint64 MaxProgramBytes = 16 * 1024 * 1024;
    static constexpr int EnableVariable = 512;
    static constexpr int StateVariable = 513;
    static constexpr int ResultVariable = 514;
    static constexpr int WindowVariable = 515;
    static constexpr int WindowLength = 60;
    // The state word written before the program.
    static constexpr int StartState = 2;

    enum class Outcome
    {
        Success,    // code 2
        Unexpected, // code 0 or 1
        Error       // code 3 or more: error number code - 3
    };

    using Image = QList<Acpu::Value>;

    // The file's bytes as words (first byte least significant; a last,
    // incomplete word is filled with zero bytes) and the terminating 0.
    static Image makeImage(const QByteArray &bytes);
    // Reads a regular file of at most MaxProgramBytes into an image.
    static std::expected<Image, MachineJobError> readImage(const QString &fileName);
    // The state word first, then the window once per chunk of at most
    // WindowLength words, in this order and not merged.
    static Acpu::VarRanges uploadRanges(qsizetype wordCount);
    static Outcome classify(quint32 code);

    explicit ProgramSender(Machine *machine, QObject *parent = nullptr);

    // Reads the enable and state words.
    Started checkReady();
    // Writes the state word and the image, then reads the result code.
    Started send(const Image &image);

signals:
    // Ready: enable non-zero and state zero.
    void readyChecked(bool ready);
    void resultRead(quint32 code);

private slots:
    void onReadyCheckFinished();
    void onDataSendFinished();
    void onStatusRequestFinished();

private:
    Machine *m_machine;
};
