#include "support/gui_operator.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

#include "support/gui_modal.h"

void bring_into_view(QWidget* control)
{
    for (QTabWidget* tabs : control->window()->findChildren<QTabWidget*>()) {
        for (int index = 0; index < tabs->count(); ++index) {
            if (tabs->widget(index)->isAncestorOf(control)) {
                tabs->setCurrentIndex(index);
            }
        }
    }
}

void type_text(QWidget* edit, const QString& text)
{
    auto* combo = qobject_cast<QComboBox*>(edit);
    QLineEdit* field = combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(edit);
    if (field == nullptr) {
        ADD_FAILURE() << "no edit field to type into: " << edit->objectName().toStdString();
        return;
    }
    bring_into_view(field);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    for (const QChar character : text) {
        if (character.unicode() < 0x80) {
            QTest::keyClick(field, character.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(character), Qt::NoModifier);
        }
    }
}

void choose_item(QComboBox* combo, const QString& item)
{
    const int row = combo->findText(item);
    ASSERT_GE(row, 0) << combo->objectName().toStdString() << " has no item " << item.toStdString();
    bring_into_view(combo);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(list->isVisible()) << combo->objectName().toStdString();
    const QRect place = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    EXPECT_EQ(combo->currentIndex(), row) << combo->objectName().toStdString();
    EXPECT_EQ(combo->currentText(), item) << combo->objectName().toStdString();
}

void press_key(QWidget* control, Qt::Key key)
{
    bring_into_view(control);
    control->setFocus(Qt::TabFocusReason);
    QTest::keyClick(control, key);
}

void click(QAbstractButton* button)
{
    bring_into_view(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void tick(QCheckBox* box)
{
    bring_into_view(box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

void type_text(QWidget* window, const char* name, const QString& text)
{
    if (auto* control = child<QWidget>(window, name)) {
        type_text(control, text);
    }
}

void choose_item(QWidget* window, const char* name, const QString& item)
{
    if (auto* combo = child<QComboBox>(window, name)) {
        choose_item(combo, item);
    }
}

void press_key(QWidget* window, const char* name, Qt::Key key)
{
    if (auto* control = child<QWidget>(window, name)) {
        press_key(control, key);
    }
}

void click(QWidget* window, const char* name)
{
    if (auto* button = child<QAbstractButton>(window, name)) {
        click(button);
    }
}

void tick(QWidget* window, const char* name)
{
    if (auto* box = child<QCheckBox>(window, name)) {
        tick(box);
    }
}

void choose_menu_item(QWidget* window, const char* name)
{
    QAction* command = child<QAction>(window, name);
    if (command == nullptr) {
        return;
    }
    if (qobject_cast<QMenu*>(command->parent()) == nullptr) {
        ADD_FAILURE() << name << " stands in no menu";
        return;
    }
    command->trigger();
}

void press_shortcut(QWidget* window, const char* name)
{
    QAction* command = child<QAction>(window, name);
    if (command == nullptr) {
        return;
    }
    const QKeySequence keys = command->shortcut();
    if (keys.isEmpty()) {
        ADD_FAILURE() << name << " has no shortcut";
        return;
    }
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QWidget* focus = window->focusWidget();
    QTest::keySequence(focus != nullptr ? focus : window, keys);
}
