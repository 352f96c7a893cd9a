#include "app/pictures.h"

#include <QHash>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRadialGradient>
#include <algorithm>

namespace {

const int menu_picture_size = 16;

// The menu pictures are pixel art: `draw` paints without antialiasing, with a
// black pen to begin with, on the light grey, whose exact pixels then become
// transparent, so no grey fringe stays.
template <class Draw>
QImage menu_picture(Draw draw)
{
    QImage image(menu_picture_size, menu_picture_size, QImage::Format_ARGB32);
    image.fill(menu_picture_background());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(0, 0, 0));
    draw(painter);
    painter.end();
    const QRgb background = menu_picture_background().rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == background) {
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
            }
        }
    }
    return image;
}

QIcon theme_icon_or(const char* theme_name, const QImage& fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(theme_name), QIcon(QPixmap::fromImage(fallback)));
}

void draw_mast(QPainter& painter, QPointF base, double height, const QColor& colour, double width)
{
    const double half_foot = height * 0.22;
    QPointF top(base.x(), base.y() - height);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(base.x() - half_foot, base.y()), top);
    painter.drawLine(QPointF(base.x() + half_foot, base.y()), top);
    // Cross bracing of the lattice mast.
    for (int level = 1; level <= 3; ++level) {
        double y = base.y() - height * level / 4.0;
        double half = half_foot * (1.0 - level / 4.0);
        painter.drawLine(QPointF(base.x() - half, y), QPointF(base.x() + half, y));
    }
    painter.setBrush(colour);
    painter.drawEllipse(top, width * 1.4, width * 1.4);
    painter.setBrush(Qt::NoBrush);
}

void draw_radio_waves(QPainter& painter, QPointF centre, double first_radius, int count, const QColor& colour,
                      double width)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i) {
        double r = first_radius * (i + 1);
        QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        painter.drawArc(box, 30 * 16, 120 * 16);
    }
}

}  // namespace

QColor menu_picture_background()
{
    return QColor(212, 208, 200);
}

QImage draw_new_picture()
{
    return menu_picture([](QPainter& painter) {
        const QPolygon sheet({QPoint(3, 1), QPoint(9, 1), QPoint(13, 5), QPoint(13, 14), QPoint(3, 14)});
        painter.setBrush(QColor(255, 255, 255));
        painter.drawPolygon(sheet);
        // The folded corner shows the back of the sheet.
        painter.setBrush(QColor(192, 192, 192));
        painter.drawPolygon(QPolygon({QPoint(9, 1), QPoint(9, 5), QPoint(13, 5)}));
    });
}

QImage draw_open_picture()
{
    return menu_picture([](QPainter& painter) {
        // The back of the folder with its tab, then the front flap tilted open.
        painter.setBrush(QColor(192, 160, 0));
        painter.drawPolygon(
            QPolygon({QPoint(0, 4), QPoint(4, 4), QPoint(5, 5), QPoint(11, 5), QPoint(11, 14), QPoint(0, 14)}));
        painter.setBrush(QColor(255, 224, 64));
        painter.drawPolygon(QPolygon({QPoint(3, 8), QPoint(15, 8), QPoint(12, 14), QPoint(0, 14)}));
        // The curved arrow leaves the folder towards the top right.
        painter.setPen(QColor(0, 96, 0));
        painter.drawLine(6, 3, 7, 2);
        painter.drawLine(8, 1, 11, 1);
        painter.drawLine(12, 2, 12, 4);
        painter.setBrush(QColor(0, 96, 0));
        painter.drawPolygon(QPolygon({QPoint(10, 4), QPoint(14, 4), QPoint(12, 6)}));
    });
}

QImage draw_save_picture()
{
    return menu_picture([](QPainter& painter) {
        painter.setBrush(QColor(32, 48, 128));
        painter.drawPolygon(QPolygon({QPoint(1, 1), QPoint(13, 1), QPoint(14, 2), QPoint(14, 14), QPoint(1, 14)}));
        // White label at the top, metal shutter with its window at the bottom.
        painter.setBrush(QColor(255, 255, 255));
        painter.drawRect(3, 1, 9, 6);
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(5, 3, 10, 3);
        painter.drawLine(5, 5, 10, 5);
        painter.setPen(QColor(0, 0, 0));
        painter.setBrush(QColor(192, 192, 192));
        painter.drawRect(4, 9, 7, 5);
        painter.fillRect(5, 10, 2, 3, QColor(32, 48, 128));
    });
}

QIcon new_document_icon()
{
    return theme_icon_or("document-new", draw_new_picture());
}

QIcon open_document_icon()
{
    return theme_icon_or("document-open", draw_open_picture());
}

QIcon save_document_icon()
{
    return theme_icon_or("document-save", draw_save_picture());
}

QImage draw_program_icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(size / 64.0, size / 64.0);

    // A rounded tile, evening sky over a green field where the station stands.
    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0.0, QColor(24, 92, 160));
    sky.setColorAt(1.0, QColor(10, 40, 80));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 11, 11);
    painter.fillPath(tile, sky);
    painter.setClipPath(tile);
    painter.fillRect(QRectF(0, 48, 64, 16), QColor(46, 125, 50));

    draw_mast(painter, QPointF(24, 54), 32, QColor(240, 240, 240), 2.6);
    draw_radio_waves(painter, QPointF(24, 22), 6, 3, QColor(255, 202, 40), 2.6);

    // The measurement the station sends: a small curve on a sheet.
    painter.setPen(QPen(QColor(20, 20, 20), 1.2));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRoundedRect(QRectF(38, 30, 20, 24), 2, 2);
    QPainterPath curve(QPointF(41, 46));
    curve.cubicTo(QPointF(45, 34), QPointF(49, 52), QPointF(55, 37));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(198, 40, 40), 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(curve);
    painter.end();
    return image;
}

namespace {

// The program icon drawn at a size only when the window system asks for that
// size, and kept once drawn. Drawing every size up front cost more than
// building the main window's controls, while a window usually shows one or
// two small sizes (a title bar, a task bar).
class ProgramIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::max(1, std::min(size.width(), size.height()));
        auto found = drawn.constFind(side);
        if (found == drawn.constEnd()) {
            found = drawn.insert(side, QPixmap::fromImage(draw_program_icon(side)));
        }
        return found.value();
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::max(0, std::min(size.width(), size.height()));
        return QSize(side, side);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    }

    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("ProgramIconEngine"); }

private:
    QHash<int, QPixmap> drawn;
};

}  // namespace

QIcon program_icon()
{
    return QIcon(new ProgramIconEngine);
}

QPixmap draw_about_banner()
{
    const int width = 700;
    const int height = 200;
    QPixmap banner(width, height);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0.0, QColor(20, 70, 130));
    sky.setColorAt(1.0, QColor(120, 180, 220));
    painter.fillRect(banner.rect(), sky);

    // Rolling hills with three stations on them, each sending its data.
    QPainterPath far_hills(QPointF(0, 160));
    far_hills.cubicTo(QPointF(150, 120), QPointF(300, 175), QPointF(450, 140));
    far_hills.cubicTo(QPointF(550, 118), QPointF(640, 150), QPointF(700, 135));
    far_hills.lineTo(width, height);
    far_hills.lineTo(0, height);
    painter.fillPath(far_hills, QColor(70, 140, 80));
    QPainterPath near_hills(QPointF(0, 185));
    near_hills.cubicTo(QPointF(200, 160), QPointF(420, 200), QPointF(700, 170));
    near_hills.lineTo(width, height);
    near_hills.lineTo(0, height);
    painter.fillPath(near_hills, QColor(40, 110, 55));

    const QColor mast_colour(245, 245, 245);
    const QColor wave_colour(255, 202, 40);
    draw_mast(painter, QPointF(470, 142), 70, mast_colour, 2.5);
    draw_radio_waves(painter, QPointF(470, 72), 10, 3, wave_colour, 2.5);
    draw_mast(painter, QPointF(580, 140), 52, mast_colour, 2.0);
    draw_radio_waves(painter, QPointF(580, 88), 8, 3, wave_colour, 2.0);
    draw_mast(painter, QPointF(660, 160), 40, mast_colour, 1.8);
    draw_radio_waves(painter, QPointF(660, 120), 6, 3, wave_colour, 1.8);

    QFont title;
    title.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    title.setPixelSize(48);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QRect(28, 24, 400, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kestrane"));

    QFont subtitle = title;
    subtitle.setPixelSize(18);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.setPen(QColor(230, 240, 250));
    painter.drawText(QRect(30, 84, 400, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zantor Editor V4"));
    painter.drawText(QRect(30, 110, 400, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Settings for NUXO measurement stations"));
    painter.end();
    return banner;
}
