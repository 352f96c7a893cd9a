#include "widgets/form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <limits>

#include "widgets/cp1252_text.h"

const QColor group_colour(227, 223, 217);

QString latin(const char* text)
{
    return QString::fromLatin1(text);
}

QLabel* make_label(QWidget* parent, const QString& name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* make_label_in(QWidget* parent, const QString& text, const QRect& room, bool right_aligned)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment((right_aligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    label->setGeometry(room.left(), room.top(), room.width(), label->sizeHint().height());
    return label;
}

QLineEdit* make_edit(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    // Qt cuts at 32,767 characters by default: a longer stored path or
    // threshold would come back shortened after the next save.
    edit->setMaxLength(std::numeric_limits<int>::max());
    // The file holds single-byte text: a character it cannot hold would be
    // saved as "?" without a word, so the edit does not take it.
    edit->setValidator(new Cp1252Validator(edit));
    return edit;
}

QComboBox* make_combo_box(QWidget* parent, const QString& name, const QStringList& items, const QRect& geometry)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The size hint follows the items, so that condense_to_fit can tell
    // whether the font fits them; the size itself never follows: left to
    // itself, the box would resize to its items once the event loop runs,
    // and the columns of the layout would no longer line up.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->addItems(items);
    combo->setGeometry(geometry);
    combo->setFixedSize(geometry.size());
    return combo;
}

QCheckBox* make_check_box(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

namespace {

// Return and Enter press the focused button, as the space bar does. Qt's own
// way to that (auto-default buttons) would also make Return in an edit of a
// dialog press the button last focused.
class ReturnPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut) {
            held = false;
            return false;
        }
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        if (event->type() == QEvent::KeyRelease) {
            held = held && key->isAutoRepeat();
            return true;
        }
        // A held key presses once. A press that comes marked as a repeat
        // although this button saw no press before it still presses: the
        // key's release can go to the dialog that Return closed a moment
        // earlier, and the window system then takes the next press for a
        // repeat.
        if (!key->isAutoRepeat() || !held) {
            held = true;
            static_cast<QPushButton*>(watched)->click();
        }
        return true;
    }

private:
    bool held = false;
};

}  // namespace

QPushButton* make_button(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Return in an edit must not press a button of the window: only a click,
    // Return or the space bar on a focused button, or Escape closes a dialog.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(new ReturnPressesButton(button));
    condense_to_fit({button});
    return button;
}

QGroupBox* make_group_box(QWidget* parent, const QString& name, const QString& title, const QRect& geometry,
                          bool coloured)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    if (coloured) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Window, group_colour);
        box->setPalette(palette);
        box->setAutoFillBackground(true);
    }
    return box;
}

bool caption_fits(const QWidget* control)
{
    const auto* button = qobject_cast<const QPushButton*>(control);
    if (button == nullptr) {
        return control->sizeHint().width() <= control->width();
    }
    // A push button asks for the style's standard width whatever its
    // caption: what counts is the caption, clear of the button's edges.
    const int margin = 6;
    const QString caption = QString(button->text()).remove(QLatin1Char('&'));
    return button->fontMetrics().horizontalAdvance(caption) + 2 * margin <= button->width();
}

void condense_to_fit(const QList<QWidget*>& controls)
{
    auto all_fit = [&controls] {
        for (const QWidget* control : controls) {
            if (!caption_fits(control)) {
                return false;
            }
        }
        return true;
    };
    for (int stretch : {QFont::SemiCondensed, QFont::Condensed, QFont::ExtraCondensed}) {
        if (all_fit()) {
            return;
        }
        for (QWidget* control : controls) {
            QFont font = control->font();
            font.setStretch(stretch);
            control->setFont(font);
        }
    }
}

QList<QWidget*> captions_in(QWidget* area)
{
    QList<QWidget*> captions;
    for (QWidget* control : area->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(control) != nullptr || qobject_cast<QCheckBox*>(control) != nullptr ||
            qobject_cast<QComboBox*>(control) != nullptr) {
            captions << control;
        }
    }
    return captions;
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

namespace {

// Catches the one focus event a dialog sends its focused control as it
// opens, lets the control have it, then puts an edit's cursor back at the
// start of its text.
class OpeningFocus : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusIn) {
            return false;
        }
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            edit->setCursorPosition(0);
        }
        return true;
    }
};

}  // namespace

int exec_showing_starts(QDialog* dialog)
{
    OpeningFocus opening;
    QWidget* focused = dialog->focusWidget();
    if (focused != nullptr) {
        focused->installEventFilter(&opening);
    }
    const int result = dialog->exec();
    if (focused != nullptr) {
        focused->removeEventFilter(&opening);
    }
    return result;
}
