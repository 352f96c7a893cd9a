#include "support/gui_file_dialog.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

#include "support/gui_modal.h"

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

}  // namespace

QString file_name_shown(QFileDialog* dialog)
{
    auto* edit = child<QLineEdit>(dialog, "fileNameEdit");
    return edit != nullptr ? edit->text() : QString();
}

void answer_next_file_dialog(const QString& path, std::function<void()> then)
{
    when_modal_shown([path, then](QWidget* modal) {
        QFileDialog* dialog = as_file_dialog(modal);
        auto* edit = dialog != nullptr ? child<QLineEdit>(dialog, "fileNameEdit") : nullptr;
        if (edit == nullptr) {
            if (dialog != nullptr) {
                dialog->reject();
            }
            return;
        }
        // Set rather than typed, so the name completer's popup cannot take
        // the Return key.
        edit->setText(path);
        if (then) {
            then();
        }
        QTest::keyClick(edit, Qt::Key_Return);
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
