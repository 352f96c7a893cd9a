#include "widgets/file_dialog.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QLineEdit>

namespace {

// The dialog completes a typed name in a list of its own window, which it
// shows again when the folder's entries arrive, possibly after the dialog
// has closed; the list then stayed over the main window until the next
// click. It is hidden whenever it appears without its dialog.
class CompletionListGuard : public QObject {
public:
    CompletionListGuard(QFileDialog* dialog, QWidget* list) : QObject(dialog), dialog(dialog), list(list)
    {
        list->installEventFilter(this);
        connect(dialog, &QDialog::finished, list, &QWidget::hide);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == list && event->type() == QEvent::Show && !dialog->isVisible()) {
            QMetaObject::invokeMethod(list, &QWidget::hide, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QFileDialog* dialog;
    QWidget* list;
};

}  // namespace

QFileDialog* make_file_dialog(QWidget* parent, const QString& name, QFileDialog::Options options)
{
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
#if defined(Q_OS_WIN)
    // Windows' own dialog, with the operator's Desktop, Documents and
    // network places; where the system offers none (offscreen), Qt's.
    dialog->setOptions(options);
#else
    dialog->setOptions(options | QFileDialog::DontUseNativeDialog);
#endif
    QLineEdit* edit = file_name_edit(dialog);
    if (edit != nullptr && edit->completer() != nullptr) {
        new CompletionListGuard(dialog, edit->completer()->popup());
    }
    return dialog;
}

QLineEdit* file_name_edit(QFileDialog* dialog)
{
    return dialog != nullptr ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
}

void offer_file_name(QFileDialog* dialog, const QString& file_name)
{
    if (dialog == nullptr) {
        return;
    }
    if (!dialog->nameFilters().isEmpty()) {
        dialog->selectNameFilter(dialog->nameFilters().first());
    }
    if (file_name.isEmpty()) {
        // An empty selection is ignored by the dialog, which would keep
        // showing the previous name.
        if (QLineEdit* edit = file_name_edit(dialog)) {
            edit->clear();
        }
    } else {
        dialog->selectFile(file_name);
    }
    // Qt's dialog selects the offered or last picked file in its lists, and
    // that selection would win over a name typed next: only the name edit
    // holds the offered name.
    for (auto* view : dialog->findChildren<QAbstractItemView*>()) {
        view->clearSelection();
    }
}

QString run_file_dialog(QFileDialog* dialog)
{
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog->selectedFiles().first();
}
