// The file dialog as the editor runs it: Open, Save As and the folder
// chooser. On Windows it is the system's own; elsewhere Qt's. This is the
// one place that reaches into the dialog's own
// children, where Qt's interface falls short: its file name edit (Qt cannot
// show an empty name once a file was offered), its file lists (their
// selection would win over a name typed next) and its completion list (left
// on screen after the dialog closed on a typed name). If Qt renames those
// children, file_name_edit() returns null and a test says so.
#ifndef ZANTOR_WIDGETS_FILE_DIALOG_H
#define ZANTOR_WIDGETS_FILE_DIALOG_H

#include <QFileDialog>
#include <QString>

class QLineEdit;

// The system's dialog on Windows, Qt's own elsewhere (never the Linux
// desktop's, so it behaves the same on every desktop), with `options` added.
QFileDialog* make_file_dialog(QWidget* parent, const QString& name, QFileDialog::Options options);

// The dialog's file name edit; null when Qt no longer has it.
QLineEdit* file_name_edit(QFileDialog* dialog);

// Starts the dialog on `file_name` with the first filter; an empty name
// shows an empty name edit in the dialog's current folder. Nothing for a
// null dialog.
void offer_file_name(QFileDialog* dialog, const QString& file_name);

// Runs the dialog; the file or folder the operator confirmed, or an empty
// text when the dialog was cancelled.
QString run_file_dialog(QFileDialog* dialog);

#endif
