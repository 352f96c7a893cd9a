#include "app/classic_look.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

void apply_classic_look(QApplication& app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font;
    // The first family the machine has wins; DejaVu Sans is on every Debian desktop.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    app.setFont(font);
}
