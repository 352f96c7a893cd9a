#include "app/about.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>

#include "app/pictures.h"
#include "widgets/form.h"

TFabout* Fabout = nullptr;

namespace {

QFont address_font()
{
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

}  // namespace

TFabout::TFabout(QWidget* parent) : QDialog(parent), instance(Fabout, this)
{
    setObjectName(QStringLiteral("Fabout"));
    setWindowTitle(QStringLiteral("About us"));
    setWindowIcon(program_icon());
    setFixedSize(700, 255);
    setModal(false);
    // Closing the main window ends the program even while this box is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 700, 200);
    Image1->setPixmap(draw_about_banner());

    Label1 = make_label(this, QStringLiteral("Label1"), QStringLiteral("Visit us at"), 16, 208);
    Label1->setFont(address_font());
    Label1->adjustSize();

    QFont link_font = address_font();
    link_font.setUnderline(true);
    Label2 = make_label(this, QStringLiteral("Label2"), QStringLiteral("www.kestrane.example"), 112, 208);
    Label2->setFont(link_font);
    QPalette blue = Label2->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label2->setPalette(blue);
    Label2->adjustSize();

    // The compiler's own build stamp: "Jan 28 2012" and "10:24:39".
    lb_date = make_label(this, QStringLiteral("lb_date"), latin(__DATE__), 16, 240);
    lb_time = make_label(this, QStringLiteral("lb_time"), latin(__TIME__), 112, 240);

    Button1 = make_button(this, QStringLiteral("Button1"), QStringLiteral("OK"), QRect(616, 216, 75, 25));
    // Nothing here takes text: Return presses OK whichever control has the focus.
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFabout::Button1Click);
}

void TFabout::Button1Click()
{
    hide();
}

void show_about()
{
    if (Fabout == nullptr) {
        return;
    }
    if (!Fabout->isVisible()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            QRect frame = Fabout->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            Fabout->move(frame.topLeft());
        }
        Fabout->show();
    }
    Fabout->raise();
    Fabout->activateWindow();
}
