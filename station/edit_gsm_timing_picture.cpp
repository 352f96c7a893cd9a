#include "station/edit_gsm_timing_picture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <utility>

namespace {

const QColor line_colour(0, 0, 0);
const QColor ready_colour(170, 215, 170);
const QColor arrow_colour(0, 0, 128);

// A filled arrowhead whose tip is at `tip`, pointing in direction `dx` (+1 right, -1 left).
void draw_head(QPainter& painter, QPointF tip, int dx)
{
    const qreal length = 6;
    const qreal half = 3;
    QPolygonF head;
    head << tip << QPointF(tip.x() - dx * length, tip.y() - half) << QPointF(tip.x() - dx * length, tip.y() + half);
    painter.drawPolygon(head);
}

// A horizontal arrow with heads at both ends and its name centred under it.
void draw_span(QPainter& painter, qreal from, qreal to, qreal y, const QString& name)
{
    painter.drawLine(QPointF(from, y), QPointF(to, y));
    draw_head(painter, QPointF(from, y), -1);
    draw_head(painter, QPointF(to, y), +1);
    const QFontMetrics metrics(painter.font());
    const int text_width = metrics.horizontalAdvance(name);
    painter.drawText(QPointF((from + to - text_width) / 2, y + 3 + metrics.ascent()), name);
}

}  // namespace

QPixmap draw_gsm_timing_picture(int width, int height, const QFont& font)
{
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    // Horizontal places, in proportion to the width: two power-on cycles.
    const qreal axis_left = 8;
    const qreal axis_right = width - 6;
    const qreal first_on = width * 0.12;
    const qreal first_off = width * 0.40;
    const qreal second_on = width * 0.76;
    const qreal second_off = std::min<qreal>(width * 0.96, axis_right - 10);
    // Vertical places: caption, high level, low level (the time axis), arrows.
    // The two arrows with their names take the lower part of the height.
    const qreal high = metrics.height() + 8;
    const qreal low = std::max<qreal>(high + 24, height * 0.45);
    const qreal name_room = metrics.height() + 4;
    const qreal duration_arrow = low + (height - low - 2 * name_room) / 3;
    const qreal interval_arrow = duration_arrow + name_room + (height - low - 2 * name_room) / 3;

    // The phases in which the module is ready to communicate.
    painter.setPen(Qt::NoPen);
    painter.setBrush(ready_colour);
    painter.drawRect(QRectF(first_on, high, first_off - first_on, low - high));
    painter.drawRect(QRectF(second_on, high, second_off - second_on, low - high));

    painter.setPen(QPen(line_colour, 1));
    painter.setBrush(line_colour);
    const QString ready = QStringLiteral("GSM ready to communicate");
    painter.drawText(QPointF(std::max<qreal>(2, (first_on + first_off - metrics.horizontalAdvance(ready)) / 2),
                             high - 4 - metrics.descent()),
                     ready);

    // Time axis with its arrowhead and the letter t.
    painter.drawLine(QPointF(axis_left, low), QPointF(axis_right, low));
    draw_head(painter, QPointF(axis_right, low), +1);
    painter.drawText(QPointF(axis_right - 2 - metrics.horizontalAdvance(QLatin1Char('t')), low - 6 - metrics.descent()),
                     QStringLiteral("t"));

    // The module's power: low, then high from each switch-on for the duration.
    QPainterPath wave;
    wave.moveTo(axis_left, low);
    for (const auto& [on, off] : {std::pair<qreal, qreal>(first_on, first_off), {second_on, second_off}}) {
        wave.lineTo(on, low);
        wave.lineTo(on, high);
        wave.lineTo(off, high);
        wave.lineTo(off, low);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(line_colour, 2));
    painter.drawPath(wave);

    // Guides from the edges down to the arrows that measure between them.
    painter.setPen(QPen(arrow_colour, 1, Qt::DashLine));
    painter.drawLine(QPointF(first_on, low), QPointF(first_on, interval_arrow));
    painter.drawLine(QPointF(first_off, low), QPointF(first_off, duration_arrow));
    painter.drawLine(QPointF(second_on, low), QPointF(second_on, interval_arrow));

    painter.setPen(QPen(arrow_colour, 1));
    painter.setBrush(arrow_colour);
    draw_span(painter, first_on, first_off, duration_arrow, QStringLiteral("GSM_DURATION"));
    draw_span(painter, first_on, second_on, interval_arrow, QStringLiteral("GSM_INTERVAL"));
    return picture;
}
