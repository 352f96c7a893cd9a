#include "support/gui_file_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

#include "support/gui_modal.h"
#include "widgets/file_dialog.h"

namespace {

QFileDialog* as_file_dialog(QWidget* modal)
{
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) {
        ADD_FAILURE() << "the modal widget is not a file dialog: " << modal->metaObject()->className();
        modal->close();
    }
    return dialog;
}

// The dialog's file name edit, as the editor finds it.
QLineEdit* name_edit(QFileDialog* dialog)
{
    QLineEdit* edit = file_name_edit(dialog);
    if (edit == nullptr) {
        ADD_FAILURE() << "the file dialog has no file name edit";
    }
    return edit;
}

}  // namespace

QString file_name_shown(QFileDialog* dialog)
{
    QLineEdit* edit = name_edit(dialog);
    return edit != nullptr ? edit->text() : QString();
}

void answer_next_file_dialog(const QString& path, std::function<void()> then)
{
    when_modal_shown([path, then](QWidget* modal) {
        QFileDialog* dialog = as_file_dialog(modal);
        QLineEdit* edit = dialog != nullptr ? name_edit(dialog) : nullptr;
        if (edit == nullptr) {
            if (dialog != nullptr) {
                dialog->reject();
            }
            return;
        }
        // Typed key by key into the focused name edit, as an operator does:
        // the dialog's completion list comes up on the way and takes the
        // keys while it is shown, and the dialog selects the folders and
        // files the name passes through in its lists.
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog)) {
            ADD_FAILURE() << "the file dialog did not become the active window";
        }
        edit->setFocus();
        edit->clear();
        const auto receiver = [edit] {
            QWidget* list = QApplication::activePopupWidget();
            return list != nullptr ? list : static_cast<QWidget*>(edit);
        };
        for (const QChar c : path) {
            QTest::keyClicks(receiver(), QString(c));
        }
        if (then) {
            then();
        }
        QTest::keyClick(receiver(), Qt::Key_Return);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the file dialog did not accept " << path.toStdString();
            dialog->reject();
        }
    });
}

void cancel_next_file_dialog(std::function<void(QFileDialog* dialog)> look)
{
    when_modal_shown([look](QWidget* modal) {
        QFileDialog* dialog = as_file_dialog(modal);
        if (dialog == nullptr) {
            return;
        }
        if (look) {
            look(dialog);
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "Escape did not close the file dialog";
            dialog->reject();
        }
    });
}
