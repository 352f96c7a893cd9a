// Renders the main window's three tabs, its File menu and the About box
// offscreen. With ZANTOR_SCREENSHOT_DIR set the pictures are written there
// as PNG files (make screenshots puts them into docs/screenshots).
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabWidget>

#include "app/about.h"
#include "app/main.h"
#include "support/gui_fixture.h"
#include "support/gui_screenshot.h"

namespace {

using ScreenshotsMain = MainWindowTest;

// The window with the File menu dropped down under its title.
QPixmap with_file_menu_open(TFmain* window)
{
    QPixmap shot = window->grab();
    window->File1->ensurePolished();
    window->File1->adjustSize();
    const QPixmap menu = window->File1->grab();
    const QRect title = window->menuBar()->actionGeometry(window->File1->menuAction());
    QPainter painter(&shot);
    painter.drawPixmap(window->menuBar()->mapTo(window, title.bottomLeft()), menu);
    painter.end();
    return shot;
}

}  // namespace

TEST_F(ScreenshotsMain, EveryTabTheFileMenuAndTheAboutBox)
{
    TFabout about;
    add_station("1021", "Bridge pier north, water level");
    add_station("1022", "Bridge pier south, water level");
    add_station("2040", "Weather mast, hill top");
    window->show_document();
    window->set_current_file(QStringLiteral("c:\\kestrane\\setup.xml"));

    const struct {
        QWidget* tab;
        const char* picture;
    } tabs[] = {
        {window->TabSheet1, "main_com_ports"},
        {window->TabSheet2, "main_nuxos"},
        {window->TabSheet3, "main_directories"},
    };
    for (const auto& tab : tabs) {
        window->PageControl1->setCurrentWidget(tab.tab);
        EXPECT_EQ(screenshot(window.get(), tab.picture).size(), window->size());
        expect_captions_fit(tab.tab, tab.picture);
    }
    window->PageControl1->setCurrentWidget(window->TabSheet1);
    keep_screenshot(with_file_menu_open(window.get()), "main_file_menu");

    show_about();
    EXPECT_EQ(screenshot(&about, "about").size(), QSize(700, 255));
    about.hide();
}
