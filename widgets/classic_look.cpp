#include "widgets/classic_look.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// Whether Alt is held: menus show their access keys underlined only then,
// or while the keyboard goes through the menus, as on Windows.
class AltKeyWatch : public QObject {
public:
    using QObject::QObject;
    static bool held() { return alt_held; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        bool held_now = alt_held;
        if (key) {
            const auto* press = static_cast<const QKeyEvent*>(event);
            held_now = press->key() == Qt::Key_Alt ? event->type() == QEvent::KeyPress
                                                   : bool(press->modifiers() & Qt::AltModifier);
        } else if (event->type() == QEvent::ApplicationDeactivate) {
            held_now = false;
        }
        if (held_now != alt_held) {
            alt_held = held_now;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                for (QMenuBar* bar : widget->findChildren<QMenuBar*>()) {
                    bar->update();
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static bool alt_held;
};

bool AltKeyWatch::alt_held = false;

// Fusion, with what the operators' hands and eyes expect from Windows:
// - group boxes drawn the classic way: the frame line runs through the
//   middle of the title, which starts a little way in and stands in a gap
//   of the line. The windows place their controls at fixed offsets below
//   the top of each group box, a distance made for that layout; Fusion's
//   frame, which starts below the title, would run right through the first
//   row of controls;
// - access keys underlined while Alt is held or the keyboard is in the
//   menus;
// - a press of Alt selects the menu bar, and its selected title shows as it
//   does with its menu open (Fusion marks it only while the menu is open,
//   so F10 or Alt left no trace on the screen);
// - the control that the keyboard reached shows a dotted focus rectangle.
//   Fusion's is a faint tint, lost on a tab and invisible on a selected row.
class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation) {
            return 1;
        }
        if (hint == SH_UnderlineShortcut) {
            const auto* bar = qobject_cast<const QMenuBar*>(widget);
            return AltKeyWatch::held() || qobject_cast<const QMenu*>(widget) != nullptr ||
                   (bar != nullptr && bar->hasFocus());
        }
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_FrameFocusRect) {
            ::draw_focus_rectangle(option, painter);
            return;
        }
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect frame = option->rect.adjusted(0, option->fontMetrics.height() / 2, -2, -2);
        painter->save();
        painter->setPen(option->palette.color(QPalette::Mid));
        painter->drawRect(frame);
        painter->setPen(option->palette.color(QPalette::Light));
        painter->drawRect(frame.translated(1, 1));
        painter->restore();
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* title = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && title != nullptr && (title->state & State_Selected)) {
            QStyleOptionMenuItem selected(*title);
            selected.state |= State_Sunken;
            QProxyStyle::drawControl(element, &selected, painter, widget);
            return;
        }
        // The tab's own focus rectangle bypasses this style: the tab is
        // drawn without it, then the dotted one goes round its caption.
        const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
        if (element != CE_TabBarTabLabel || tab == nullptr || !(tab->state & State_HasFocus)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionTab unfocused(*tab);
        unfocused.state &= ~State_HasFocus;
        QProxyStyle::drawControl(element, &unfocused, painter, widget);
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*tab);
        focus.rect = tab->rect.adjusted(tab_focus_margin, tab_focus_margin, -tab_focus_margin, -tab_focus_margin);
        ::draw_focus_rectangle(&focus, painter);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || box == nullptr || box->text.isEmpty() || !(box->subControls & SC_GroupBoxFrame)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        // The frame first, with a gap where the title stands, then the rest.
        const QRect title = subControlRect(control, option, SC_GroupBoxLabel, widget);
        QStyleOptionGroupBox frame(*box);
        frame.subControls = SC_GroupBoxFrame;
        painter->save();
        painter->setClipRegion(QRegion(option->rect).subtracted(title.adjusted(-title_gap, 0, title_gap, 0)),
                               Qt::IntersectClip);
        QProxyStyle::drawComplexControl(control, &frame, painter, widget);
        painter->restore();
        QStyleOptionGroupBox rest(*box);
        rest.subControls &= ~SC_GroupBoxFrame;
        QProxyStyle::drawComplexControl(control, &rest, painter, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control == CC_GroupBox && (part == SC_GroupBoxLabel || part == SC_GroupBoxCheckBox)) {
            rect.translate(title_indent, 0);
        }
        return rect;
    }

private:
    static const int title_indent = 8;
    static const int title_gap = 2;
    static const int tab_focus_margin = 3;
};

}  // namespace

// A click alone shows none. The dots take the colour that stands out from
// what they are drawn on: the text colour, or the selected text's colour on
// a selected row.
void draw_focus_rectangle(const QStyleOption* option, QPainter* painter)
{
    if (!(option->state & QStyle::State_KeyboardFocusChange) || option->rect.width() < 2 || option->rect.height() < 2) {
        return;
    }
    const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
    const bool on_selection = focus != nullptr && focus->backgroundColor.isValid() &&
                              focus->backgroundColor == option->palette.color(QPalette::Highlight);
    QPen dots(option->palette.color(on_selection ? QPalette::HighlightedText : QPalette::WindowText));
    dots.setStyle(Qt::DotLine);
    dots.setWidth(1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(dots);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

void apply_classic_look(QApplication& app)
{
#if defined(Q_OS_WIN)
    // On Windows the system's own look: the static Qt links its style.
    QStyle* native = QStyleFactory::create(QStringLiteral("windowsvista"));
    app.setStyle(native != nullptr ? native : new ClassicStyle);
#else
    app.setStyle(new ClassicStyle);
    app.installEventFilter(new AltKeyWatch(&app));
#endif
    QFont font;
    // The first family the machine has wins; DejaVu Sans is on every Debian desktop.
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    app.setFont(font);
}
