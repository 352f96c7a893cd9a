// What the editor's two modal dialogs, the station and the sequence dialog,
// have in common: OK and Cancel at the bottom, Escape as Cancel wherever the
// focus is, and one instance for the whole run.
#ifndef ZANTOR_WIDGETS_EDITOR_DIALOG_H
#define ZANTOR_WIDGETS_EDITOR_DIALOG_H

#include <QDialog>
#include <QPoint>

class QPushButton;
class QTabWidget;

class EditorDialog : public QDialog {
    Q_OBJECT

public:
    explicit EditorDialog(QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;  // the dialog's tabs, which the dialog builds
    QPushButton* Button1 = nullptr;      // "OK"
    QPushButton* Button2 = nullptr;      // "Cancel"

public slots:
    void Button1Click();
    void Button2Click();

protected:
    // Builds Button1 ("OK") and Button2 ("Cancel") with their top left
    // corners at `ok` and `cancel`.
    void build_ok_cancel(QPoint ok, QPoint cancel);
    // Lets the dialog see every key before the control that has the focus:
    // called once the controls are built.
    void preview_keys();
    // Escape closes the dialog like Cancel, whichever control has the focus.
    bool FormKeyDown(int key);
};

// Keeps a dialog's one global pointer: it points at the dialog from its
// construction and is null again when that dialog is gone. A member of the
// dialog, so that nothing reaches a dialog that is being destroyed.
template <class Dialog>
class OneInstance {
public:
    OneInstance(Dialog*& global, Dialog* dialog) : global(global), dialog(dialog) { global = dialog; }
    ~OneInstance()
    {
        if (global == dialog) {
            global = nullptr;
        }
    }
    OneInstance(const OneInstance&) = delete;
    OneInstance& operator=(const OneInstance&) = delete;

private:
    Dialog*& global;
    Dialog* dialog;
};

#endif
