// Key preview for the editor's dialogs: the dialog sees every key before the
// control that has the focus, so Escape closes it like Cancel wherever the
// operator is typing.
#ifndef ZANTOR_WIDGETS_KEY_PREVIEW_H
#define ZANTOR_WIDGETS_KEY_PREVIEW_H

#include <QObject>
#include <functional>

class QWidget;

class KeyPreview : public QObject {
public:
    // Returns true when it used the key, which then reaches no control.
    using KeyHandler = std::function<bool(int key)>;

    // Watches `window` and every control it holds at this moment; the
    // preview belongs to the window.
    KeyPreview(QWidget* window, KeyHandler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window;
    KeyHandler handler;
};

#endif
