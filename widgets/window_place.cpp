#include "widgets/window_place.h"

#include <QEvent>
#include <QWidget>

namespace {

// Qt places a window before the window manager has framed it, and for some
// windows (the main window, whose layout fixes its size as it is first
// shown) it then takes the position for the inside of the window. Once the
// frame is known after the first showing, the frame is put where the
// layout wants it; later showings keep where the operator left the window.
class FramePlacement : public QObject {
public:
    FramePlacement(QWidget* window, const QPoint& frame) : QObject(window), window(window), frame(frame)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            shown = true;
        }
        // The frame becomes known with whichever event follows the window
        // manager's answer: a paint, a move, an activation.
        if (watched == window && shown && frame_known()) {
            if (window->frameGeometry().topLeft() != frame) {
                window->move(frame);  // a framed window moves by its frame
            }
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    bool frame_known() const { return window->frameGeometry().topLeft() != window->geometry().topLeft(); }

    QWidget* window;
    QPoint frame;
    bool shown = false;
};

}  // namespace

void place_window_frame(QWidget* window, int left, int top)
{
    window->move(left, top);  // before the window is framed, a move places the frame
    new FramePlacement(window, QPoint(left, top));
}
