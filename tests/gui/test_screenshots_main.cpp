// Renders the main window's three tabs, its File menu and the About box
// offscreen. With ZANTOR_SCREENSHOT_DIR set the pictures are written there
// as PNG files (make screenshots puts them into docs/screenshots).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabWidget>

#include "app/about.h"
#include "app/main.h"

namespace {

void keep(const QPixmap& shot, const char* file_name)
{
    ASSERT_FALSE(shot.isNull()) << file_name;
    const QString folder = qEnvironmentVariable("ZANTOR_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        return;
    }
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(QString::fromLatin1(file_name));
    EXPECT_TRUE(shot.save(path, "PNG")) << path.toStdString();
}

void add_station(TiXmlElement* stations, const char* id, const char* description)
{
    TiXmlElement* station = xml_add_child(stations, "STATION");
    xml_set_attr(station, "id", id);
    xml_set_attr(station, "description", description);
}

// The window with the File menu dropped down under its title.
QPixmap with_file_menu_open(TFmain& window)
{
    QPixmap shot = window.grab();
    window.File1->ensurePolished();
    window.File1->adjustSize();
    const QPixmap menu = window.File1->grab();
    const QRect title = window.menuBar()->actionGeometry(window.File1->menuAction());
    QPainter painter(&shot);
    painter.drawPixmap(window.menuBar()->mapTo(&window, title.bottomLeft()), menu);
    painter.end();
    return shot;
}

}  // namespace

TEST(ScreenshotsMain, EveryTabTheFileMenuAndTheAboutBox)
{
    QApplication::setQuitOnLastWindowClosed(false);
    TFmain window;
    TFabout about;
    add_station(window.node_stations, "1021", "Bridge pier north, water level");
    add_station(window.node_stations, "1022", "Bridge pier south, water level");
    add_station(window.node_stations, "2040", "Weather mast, hill top");
    window.show_document();
    window.set_current_file(QStringLiteral("c:\\kestrane\\setup.xml"));
    window.show();

    const struct {
        QWidget* tab;
        const char* file_name;
    } tabs[] = {
        {window.TabSheet1, "main_com_ports.png"},
        {window.TabSheet2, "main_nuxos.png"},
        {window.TabSheet3, "main_directories.png"},
    };
    for (const auto& tab : tabs) {
        window.PageControl1->setCurrentWidget(tab.tab);
        const QPixmap shot = window.grab();
        EXPECT_EQ(shot.size(), window.size());
        keep(shot, tab.file_name);
    }
    window.PageControl1->setCurrentWidget(window.TabSheet1);
    keep(with_file_menu_open(window), "main_file_menu.png");

    show_about();
    const QPixmap about_shot = about.grab();
    EXPECT_EQ(about_shot.size(), QSize(700, 255));
    keep(about_shot, "about.png");
    about.hide();
    window.hide();
}
