#include "widgets/screenfit.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

void fitNow(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(window->size().boundedTo(available.size() - frame));
    const QSize outer = window->size() + frame;
    const auto fit = [](int at, int length, int start, int extent) {
        return std::max(start, std::min(at, start + extent - length));
    };
    const QPoint at = window->frameGeometry().topLeft();
    window->move(fit(at.x(), outer.width(), available.x(), available.width()),
                 fit(at.y(), outer.height(), available.y(), available.height()));
}

// The frame is known only once the window shows: it is fitted again then.
class FitOnShow : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            fitNow(static_cast<QWidget *>(watched));
            deleteLater();
        }
        return false;
    }
};

} // namespace

void fitToScreen(QWidget *window)
{
    fitNow(window);
    if (!window->isVisible())
        window->installEventFilter(new FitOnShow(window));
}
