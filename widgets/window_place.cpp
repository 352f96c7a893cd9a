#include "widgets/window_place.h"

#include <QEvent>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>

namespace {

// Qt places a window before the window manager has framed it, and for some
// windows (the main window, whose layout fixes its size as it is first
// shown) it then takes the position for the inside of the window. So after
// the first showing the frame is watched on a short timer until it has
// stood where the layout wants it for a moment; later showings keep where
// the operator left the window.
//
// A timer, not the window's events: framing a window where its inside
// already stands moves nothing, so no event need follow the window
// manager's answer. And a watch, not one move: the manager's answers come
// in several steps, and one of them can undo an early move.
class FramePlacement : public QObject {
public:
    FramePlacement(QWidget* window, const QPoint& frame) : QObject(window), window(window), frame(frame)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window && event->type() == QEvent::Show && timer_id == 0) {
            timer_id = startTimer(tick_ms);
            window->removeEventFilter(this);
        }
        return false;
    }

    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() == timer_id && (++ticks == tick_limit || placed())) {
            killTimer(timer_id);
            deleteLater();
        }
    }

private:
    static constexpr int tick_ms = 20;
    static constexpr int tick_limit = 500;      // no window manager frames it in ten seconds
    static constexpr int steady_ticks = 10;     // in place this long: placed
    static constexpr int correction_limit = 5;  // a manager that keeps it elsewhere wins

    // The widget's own idea of its frame is only renewed by some events;
    // the platform window asks the window manager.
    bool placed()
    {
        QWindow* handle = window->windowHandle();
        const QMargins margins = handle != nullptr ? handle->frameMargins() : QMargins();
        if (margins.isNull()) {
            return false;  // not framed yet
        }
        const QPoint inside = frame + QPoint(margins.left(), margins.top());
        if (handle->position() == inside) {
            return ++steady == steady_ticks;
        }
        steady = 0;
        if (corrections == correction_limit) {
            return true;
        }
        ++corrections;
        handle->setPosition(inside);
        return false;
    }

    QWidget* window;
    QPoint frame;
    int timer_id = 0;
    int ticks = 0;
    int steady = 0;
    int corrections = 0;
};

}  // namespace

void place_window_frame(QWidget* window, int left, int top)
{
    window->move(left, top);  // before the window is framed, a move places the frame
    new FramePlacement(window, QPoint(left, top));
}

void fix_frame_buttons(QWidget* window)
{
    Qt::WindowFlags flags =
        Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (window->windowType() == Qt::Dialog) {
        flags |= Qt::Dialog;
    } else {
        flags |= Qt::Window | Qt::WindowMinimizeButtonHint;
    }
    window->setWindowFlags(flags);
}
