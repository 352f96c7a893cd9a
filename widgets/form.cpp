#include "widgets/form.h"

#include <QComboBox>
#include <QLineEdit>
#include <limits>

#include "widgets/cp1252_text.h"

QLineEdit* make_edit(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    // Qt cuts at 32,767 characters by default: a longer stored path or
    // threshold would come back shortened after the next save.
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

QComboBox* make_combo_box(QWidget* parent, const QString& name, const QStringList& items, const QRect& geometry)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The size hint follows the items, so a window can tell whether its
    // font fits them; the size itself never follows: left to itself, the
    // box would resize to its items once the event loop runs, and the
    // columns of the layout would no longer line up.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->addItems(items);
    combo->setGeometry(geometry);
    combo->setFixedSize(geometry.size());
    return combo;
}

void show_text(QLineEdit* edit, const char* text)
{
    edit->setText(qstring_from_cp1252(text));
    edit->setCursorPosition(0);
}

void show_text(QLineEdit* edit, const std::string& text)
{
    show_text(edit, text.c_str());
}

std::string typed_text(const QLineEdit* edit)
{
    return cp1252_from_qstring(edit->text());
}
