// Renders the three tabs of the station dialog on a new station and checks
// that no caption is cut off or runs into a box. With ZANTOR_SCREENSHOT_DIR
// set, the pictures are written there for a person to look at.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QGroupBox>
#include <QTabWidget>
#include <memory>

#include "doc/Lib_xml.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_screenshot.h"

namespace {

using StationScreenshots = DialogTest;

struct Tab {
    int index;
    const char* picture;
};

const Tab tabs[] = {
    {0, "station_general"},
    {1, "station_gsm_timing"},
    {2, "station_acquisitions"},
};

}  // namespace

TEST_F(StationScreenshots, EveryTabRendersWithCaptionsThatFit)
{
    TFedit* dialog = station_dialog.get();
    std::unique_ptr<TiXmlElement> station(xml_add_child(nullptr, "STATION"));
    when_modal_shown([&](QWidget*) {
        for (const Tab& tab : tabs) {
            dialog->PageControl1->setCurrentIndex(tab.index);
            QWidget* page = dialog->PageControl1->widget(tab.index);
            expect_captions_fit(page, tab.picture);
            EXPECT_EQ(screenshot(dialog, tab.picture).size(), QSize(577, 551));
        }
        dialog->reject();
    });
    EXPECT_FALSE(dialog->edit_station(station.get()));
}

TEST_F(StationScreenshots, GroupBoxTitleShowsOneAmpersand)
{
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(station_dialog->GroupBox1);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(QAccessible::Name), "Identification & Communication");
}

TEST_F(StationScreenshots, SlowAndHealthBoxesHaveTheSequenceColour)
{
    TFedit* dialog = station_dialog.get();
    dialog->PageControl1->setCurrentIndex(2);
    const QImage image = dialog->grab().toImage();
    const QColor sequence_colour(227, 223, 217);
    // A point of the box's own background, beside its title; the style
    // tints the framed panel below the title a little.
    const auto colour_in = [&](QGroupBox* box) {
        const QPoint inside = box->mapTo(dialog, QPoint(400, 4));
        return QColor(image.pixel(inside));
    };
    EXPECT_EQ(colour_in(dialog->GroupBox3), sequence_colour);
    EXPECT_NE(colour_in(dialog->GroupBox4), sequence_colour);
    EXPECT_EQ(colour_in(dialog->GroupBox5), sequence_colour);
}
