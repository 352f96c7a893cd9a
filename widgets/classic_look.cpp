#include "widgets/classic_look.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// Fusion, with group boxes drawn the classic way: the frame line runs
// through the middle of the title, which starts a little way in. The
// windows place their controls at fixed offsets below the top of each group
// box, a distance made for that layout; Fusion's frame, which starts below
// the title, would run right through the first row of controls.
class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
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
};

}  // namespace

void apply_classic_look(QApplication& app)
{
    app.setStyle(new ClassicStyle);
    QFont font;
    // The first family the machine has wins; DejaVu Sans is on every Debian desktop.
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    app.setFont(font);
}
