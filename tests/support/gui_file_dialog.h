// Answers the editor's file and folder dialogs (Qt's own QFileDialog) from
// inside a test, through the dialog's file name edit and its buttons.
#ifndef ZANTOR_TESTS_GUI_FILE_DIALOG_H
#define ZANTOR_TESTS_GUI_FILE_DIALOG_H

#include <QString>
#include <functional>

class QFileDialog;

// Types `path` into the next file dialog's name edit and presses Return.
// `then` runs just before, to schedule the answer to what follows the dialog.
void answer_next_file_dialog(const QString& path, std::function<void()> then = nullptr);

// Lets `look` examine the next file dialog, then cancels the dialog.
void cancel_next_file_dialog(std::function<void(QFileDialog* dialog)> look = nullptr);

// The text of the dialog's file name edit.
QString file_name_shown(QFileDialog* dialog);

#endif
