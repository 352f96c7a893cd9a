// The one way the editor's windows build their controls, at the fixed
// positions of their layouts, with the rules every window keeps: an edit
// never cuts a stored text and shows its start, as the operators' Windows
// edits do; a drop-down list keeps the width its layout gives it.
#ifndef ZANTOR_WIDGETS_FORM_H
#define ZANTOR_WIDGETS_FORM_H

#include <QRect>
#include <QString>
#include <QStringList>
#include <string>

class QComboBox;
class QLineEdit;
class QWidget;

// A single-line edit without a length limit.
QLineEdit* make_edit(QWidget* parent, const QString& name, const QRect& geometry);

// A drop-down list with an edit field: the operator may also type a text,
// which is never added to the items.
QComboBox* make_combo_box(QWidget* parent, const QString& name, const QStringList& items, const QRect& geometry);

// Fills an edit with a document text (Windows-1252), showing its start.
void show_text(QLineEdit* edit, const char* text);
void show_text(QLineEdit* edit, const std::string& text);

// The edit's text as document text.
std::string typed_text(const QLineEdit* edit);

#endif
