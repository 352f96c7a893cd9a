// The About box: build stamp, not modal, hidden rather than destroyed.
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include "app/about.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"

namespace {

class AboutBox : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        about = std::make_unique<TFabout>();
    }
    void TearDown() override
    {
        about.reset();
        MainWindowTest::TearDown();
    }
    std::unique_ptr<TFabout> about;
};

}  // namespace

TEST_F(AboutBox, ShowsTheBuildDateAndTime)
{
    // "Jan 28 2012", a day below 10 padded with a blank: "Feb  3 2012".
    const QRegularExpression date(
        QStringLiteral("^(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) ( [1-9]|[12][0-9]|3[01]) [0-9]{4}$"));
    const QRegularExpression time(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$"));
    EXPECT_TRUE(date.match(child<QLabel>(about.get(), "lb_date")->text()).hasMatch())
        << about->lb_date->text().toStdString();
    EXPECT_TRUE(time.match(child<QLabel>(about.get(), "lb_time")->text()).hasMatch())
        << about->lb_time->text().toStdString();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About us"));
    EXPECT_EQ(about->size(), QSize(700, 255));
    EXPECT_EQ(about->Image1->pixmap().size(), QSize(700, 200));
    // The address must not run into "Visit us at" nor past the OK button.
    EXPECT_LT(about->Label1->geometry().right(), about->Label2->geometry().left());
    EXPECT_LT(about->Label2->geometry().right(), about->Button1->geometry().left());
}

TEST_F(AboutBox, MenuShowsItCentredWithoutBlockingTheMainWindow)
{
    choose_menu_item(window.get(), "AboutKestrane1");
    ASSERT_TRUE(about->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((about->frameGeometry().center() - screen.center()).manhattanLength(), 4);

    // A second click only brings it to the front; moved boxes stay where they are.
    about->move(10, 10);
    choose_menu_item(window.get(), "AboutKestrane1");
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->pos(), QPoint(10, 10));

    click(about.get(), "Button1");
    EXPECT_FALSE(about->isVisible());

    // The close box and Escape hide it too; it can be shown again.
    show_about();
    EXPECT_TRUE(about->close());
    show_about();
    QTest::keyClick(about.get(), Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());
    show_about();
    EXPECT_TRUE(about->isVisible());
    about->hide();
}
