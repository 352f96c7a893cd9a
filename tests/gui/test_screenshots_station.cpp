// Renders the three tabs of the station dialog on a new station and checks
// that no caption is cut off or runs into a box. With ZANTOR_SCREENSHOT_DIR
// set, the pictures are written there for a person to look at.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

// Every caption on `page` must be as wide as its text and keep clear of the
// boxes and buttons beside it.
void expect_captions_fit(QWidget* page)
{
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;  // the timing picture
        }
        const std::string text = label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << "cut off: " << text;
        QWidget* parent = label->parentWidget();
        EXPECT_TRUE(parent->rect().contains(label->geometry())) << "outside its box: " << text;
        for (QWidget* sibling : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const bool control = qobject_cast<QLineEdit*>(sibling) != nullptr ||
                                 qobject_cast<QComboBox*>(sibling) != nullptr ||
                                 qobject_cast<QPushButton*>(sibling) != nullptr;
            if (control) {
                // Only the printed part of a right-aligned caption matters.
                QRect printed = label->geometry();
                if (label->alignment() & Qt::AlignRight) {
                    printed.setLeft(printed.right() - label->sizeHint().width());
                } else {
                    printed.setWidth(label->sizeHint().width());
                }
                // A caption that touches its box reads as part of the box text.
                const int clearance = 2;
                EXPECT_FALSE(printed.adjusted(-clearance, 0, clearance, 0).intersects(sibling->geometry()))
                    << text << " runs into " << sibling->objectName().toStdString();
            }
        }
    }
}

}  // namespace

TEST_F(StationScreenshots, EveryTabRendersWithCaptionsThatFit)
{
    TFedit* dialog = station_dialog.get();
    std::unique_ptr<TiXmlElement> station(xml_add_child(nullptr, "STATION"));
    when_modal_shown([&](QWidget*) {
        for (const Tab& tab : tabs) {
            dialog->PageControl1->setCurrentIndex(tab.index);
            QWidget* page = dialog->PageControl1->widget(tab.index);
            expect_captions_fit(page);
            for (QGroupBox* box : page->findChildren<QGroupBox*>()) {
                expect_captions_fit(box);
            }
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
