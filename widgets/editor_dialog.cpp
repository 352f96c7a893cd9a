#include "widgets/editor_dialog.h"

#include <QPushButton>

#include "widgets/form.h"
#include "widgets/key_preview.h"

EditorDialog::EditorDialog(QWidget* parent) : QDialog(parent) {}

void EditorDialog::Button1Click()
{
    accept();
}

void EditorDialog::Button2Click()
{
    reject();
}

void EditorDialog::build_ok_cancel(QPoint ok, QPoint cancel)
{
    const QSize size(89, 25);
    Button1 = make_button(this, QStringLiteral("Button1"), QStringLiteral("OK"), QRect(ok, size));
    Button2 = make_button(this, QStringLiteral("Button2"), QStringLiteral("Cancel"), QRect(cancel, size));
    connect(Button1, &QPushButton::clicked, this, &EditorDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &EditorDialog::Button2Click);
}

void EditorDialog::preview_keys()
{
    new KeyPreview(this, [this](int key) { return FormKeyDown(key); });
}

bool EditorDialog::FormKeyDown(int key)
{
    if (key != Qt::Key_Escape) {
        return false;
    }
    Button2Click();
    return true;
}
