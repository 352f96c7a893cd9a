// The one way the editor's windows build their controls, at the fixed
// positions of their layouts, with the rules every window keeps:
// - an edit never cuts a stored text and shows its start, as the operators'
//   Windows edits do;
// - a drop-down list keeps the width its layout gives it and never adds a
//   typed text to its items;
// - no button answers the Return key unless it has the focus;
// - captions that do not fit the room their layout gives them are condensed,
//   never cut or made smaller.
#ifndef ZANTOR_WIDGETS_FORM_H
#define ZANTOR_WIDGETS_FORM_H

#include <QColor>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <string>

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The light grey behind the coloured group boxes of the dialogs.
extern const QColor group_colour;

// Height of the single-line edits and drop-down lists of the layouts.
const int field_height = 21;

// A name or caption written in the source, in Latin-1.
QString latin(const char* text);

// A caption as wide as its text, its top left at left, top. Captions that
// nothing refers to have no name.
QLabel* make_label(QWidget* parent, const QString& name, const QString& text, int left, int top);

// A caption in the room of `room`, left-aligned or right-aligned (ending
// just before the control it names); see condense_to_fit.
QLabel* make_label_in(QWidget* parent, const QString& text, const QRect& room, bool right_aligned);

// A single-line edit without a length limit, that takes only characters
// Windows-1252 can hold.
QLineEdit* make_edit(QWidget* parent, const QString& name, const QRect& geometry);

// A drop-down list with an edit field: the operator may also type a text.
QComboBox* make_combo_box(QWidget* parent, const QString& name, const QStringList& items, const QRect& geometry);

QCheckBox* make_check_box(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);

QPushButton* make_button(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);

// A group box, in group_colour when `coloured`.
QGroupBox* make_group_box(QWidget* parent, const QString& name, const QString& title, const QRect& geometry,
                          bool coloured = false);

// The layouts were drawn for a narrow 8-point font. Where this machine's
// font is wider, the captions of one group (labels, check boxes, the items
// of drop-down lists) are condensed alike, step by step, until each fits
// its width, so that the columns keep their places and no text is cut.
// A push button is condensed alone when its caption does not fit.
void condense_to_fit(const QList<QWidget*>& controls);

// True when the control's caption fits its width: a push button's caption
// with a margin to each edge, another control's size hint.
bool caption_fits(const QWidget* control);

// Every caption inside `area`: labels, check boxes and the items of
// drop-down lists. A dialog condenses all of its captions as one group, so
// that every tab shows the same font.
QList<QWidget*> captions_in(QWidget* area);

// Fills an edit with a document text (Windows-1252), showing its start.
void show_text(QLineEdit* edit, const char* text);
void show_text(QLineEdit* edit, const std::string& text);

// The edit's text as document text.
std::string typed_text(const QLineEdit* edit);

// Runs a dialog modally (QDialog::exec) with its focused edit at the start
// of its text: as a dialog opens, Qt tells its focused edit that it was
// reached with Tab, and an edit reached with Tab selects its whole text and
// shows its end.
int exec_showing_starts(QDialog* dialog);

#endif
