#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

// Types names (as a user would, quoted when several) into a file dialog
// opened on directory and presses its Open/Save button.
inline void typeInFileDialog(QFileDialog *dialog, const QString &directory, const QString &names)
{
    dialog->setDirectory(directory);
    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(names);
    static_cast<QDialog *>(dialog)->accept(); // public as QDialog's
}

// Answers the modal dialog in front as a user would, while the event loop
// runs: each file dialog with the next names queued (none: cancel), each
// message box with the next button queued (Ok when none), keeping what the
// boxes said (text, a line feed, informative text); other dialogs go to `other`.
class SimulatedUser : public QObject
{
public:
    QList<QStringList> files;
    QList<QMessageBox::StandardButton> buttons;
    QStringList said;
    std::function<void(QDialog *)> other;

    SimulatedUser()
    {
        connect(&timer, &QTimer::timeout, this, &SimulatedUser::look);
        timer.start(20);
    }

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (!qobject_cast<QFileDialog *>(modal))
            return answer(modal);
        // A chosen file is answered from the event loop rather than from this
        // timer's slot, so that a dialog the choice opens is answered too.
        timer.stop();
        QMetaObject::invokeMethod(
            this,
            [this, modal = QPointer<QWidget>(modal)] {
                timer.start();
                if (modal)
                    answer(modal);
            },
            Qt::QueuedConnection);
    }
    void answer(QWidget *modal)
    {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            const QStringList names = files.isEmpty() ? QStringList() : files.takeFirst();
            if (names.isEmpty())
                return dialog->reject();
            QStringList typed;
            for (const QString &name : names)
                typed.append(names.size() == 1 ? QFileInfo(name).fileName()
                                               : '"' + QFileInfo(name).fileName() + '"');
            typeInFileDialog(dialog, QFileInfo(names.first()).absolutePath(), typed.join(' '));
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            said.append(box->text() + '\n' + box->informativeText());
            const auto answer = buttons.isEmpty() ? QMessageBox::Ok : buttons.takeFirst();
            box->button(answer) ? box->button(answer)->click() : box->done(QMessageBox::Ok);
        } else if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && other) {
            other(dialog);
        }
    }
    QTimer timer;
};
