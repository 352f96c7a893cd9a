// Helpers that answer modal dialogs and message boxes from inside a test:
// schedule the answer, then make the call that runs exec().
#ifndef ZANTOR_TESTS_GUI_MODAL_H
#define ZANTOR_TESTS_GUI_MODAL_H

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <functional>

// Runs `answer` on the next modal widget that becomes active (polling the
// event loop for up to `timeout_ms`). The answer must close the widget.
void when_modal_shown(std::function<void(QWidget* modal)> answer, int timeout_ms = 5000);

// Clicks the button whose text is `button_text` in the next modal widget,
// for example "Annuler" in the unsaved-changes question. `then` runs just
// before, to schedule the answer to what follows the click.
void click_in_next_modal(const QString& button_text, std::function<void()> then = nullptr);

// Runs `command`, answering every message box it shows with its default
// button (OK for an error box, and OK, not "Annuler", for the unsaved-changes
// question); returns the text of the last one, or an empty text when none
// came. Other modal widgets (the file dialogs) are left to their own answers.
QString answering_error_boxes(const std::function<void()>& command);

// The object of type T named `name` inside `parent`; fails the test when missing.
template <typename T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent != nullptr ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (found == nullptr) {
        ADD_FAILURE() << "no control named " << name;
    }
    return found;
}

#endif
