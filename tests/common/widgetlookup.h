#pragma once

#include <QAction>
#include <QApplication>
#include <QWidget>

// A window's child by object name, as the tests reach actions, buttons and boxes.
template <typename T = QAction> T *child(const QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

inline void trigger(const QObject *window, const char *action)
{
    child<QAction>(window, action)->trigger();
}

// The shown top-level windows of one class.
template <typename T> QList<T *> shownWindows()
{
    QList<T *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            found.append(window);
    return found;
}
