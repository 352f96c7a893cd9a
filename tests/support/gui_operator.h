// What the operator's hands do in the editor's windows, for the window
// tests: each verb first shows the tab that holds the control, as the
// operator must, then works the control with the keyboard or the mouse.
// A verb given a window and a name works the control of that name, and
// fails the test when there is none.
#ifndef ZANTOR_TESTS_SUPPORT_GUI_OPERATOR_H
#define ZANTOR_TESTS_SUPPORT_GUI_OPERATOR_H

#include <QString>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QWidget;

// Shows, in every tab control on the way, the tab that holds `control`.
void bring_into_view(QWidget* control);

// Replaces the text of an edit, or of a drop-down list's edit field, with
// keys: Ctrl+A and Delete, then `text` key by key. Letters beyond ASCII
// arrive as text without a key code, as from a national keyboard.
void type_text(QWidget* edit, const QString& text);
void type_text(QWidget* window, const char* name, const QString& text);

// Opens the drop-down list and clicks `item` in it.
void choose_item(QComboBox* combo, const QString& item);
void choose_item(QWidget* window, const char* name, const QString& item);

// Gives `control` the focus, as Tab does, and presses `key` there.
void press_key(QWidget* control, Qt::Key key);
void press_key(QWidget* window, const char* name, Qt::Key key);

void click(QAbstractButton* button);
void click(QWidget* window, const char* name);

// Clicks the square of a check box: the end of a caption is not part of the
// area that takes the click.
void tick(QCheckBox* box);
void tick(QWidget* window, const char* name);

// Chooses the menu command named `name` (New1, Save1) as a click on its item
// does: a command that is greyed out does nothing. Fails when the command
// stands in no menu.
void choose_menu_item(QWidget* window, const char* name);

// Presses the shortcut of the menu command named `name` (Ctrl+O for Open1)
// in the active window, where the control with the focus receives it.
// Fails when the command has no shortcut.
void press_shortcut(QWidget* window, const char* name);

#endif
