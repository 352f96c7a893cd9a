#include "widgets/key_preview.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

KeyPreview::KeyPreview(QWidget* window, KeyHandler handler)
    : QObject(window), window(window), handler(std::move(handler))
{
    window->installEventFilter(this);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        control->installEventFilter(this);
    }
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && window->isVisible() && handler(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}
