// Renders every tab of the sequence dialog with and without thresholds and
// checks that no caption is cut off and no two controls overlap. With
// ZANTOR_SCREENSHOT_DIR set, each rendering is also written there as a PNG.
#include <gtest/gtest.h>

#include <QTabWidget>
#include <iterator>

#include "support/core_tree.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_screenshot.h"

namespace {

const char* const tab_files[] = {"on_board", "analog", "fluorimeter", "pressure", "actions"};

// A sequence that ticks something on every tab, so every kind of control shows.
const char* const busy_sequence =
    "<ACQUISITION_SEQUENCE value=\"0\">"
    "<ACQ_VBAT channel=\"0\" threshold=\"11.9\"/>"
    "<ACQ port=\"0\" channel=\"9\" compare=\"ge\" threshold=\"100\"/>"
    "<ACQ port=\"7\" channel=\"2\" compare=\"lt\" threshold=\"4.5\"/><ACQ port=\"7\" channel=\"5\"/>"
    "<ACTION port=\"10\" and=\"0\" or=\"7\"/><ACQ port=\"10\" channel=\"9\" compare=\"ge\" threshold=\"1.2\"/>"
    "<ACQ port=\"10\" channel=\"6\"/>"
    "<ACTION port=\"10\" and=\"0\" or=\"120\"/><ACQ port=\"10\" channel=\"0\" compare=\"ge\" threshold=\"900\"/>"
    "<CONDITIONAL_SMS/><CONDITIONAL_ACTION port=\"0\" and=\"14\" or=\"8\"/>"
    "</ACQUISITION_SEQUENCE>";

// Every visible control stays inside its group box and clear of its neighbours.
void expect_no_overlap(QWidget* page, const std::string& where)
{
    for (QWidget* box : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QList<QWidget*> controls;
        for (QWidget* control : box->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->isVisibleTo(page) && !control->objectName().isEmpty()) {
                controls.append(control);
            }
        }
        for (int i = 0; i < controls.size(); ++i) {
            const QRect area = controls[i]->geometry();
            EXPECT_TRUE(box->rect().contains(area)) << where << ": " << controls[i]->objectName().toStdString()
                                                    << " sticks out of " << box->objectName().toStdString();
            for (int j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(area.intersects(controls[j]->geometry()))
                    << where << ": " << controls[i]->objectName().toStdString() << " overlaps "
                    << controls[j]->objectName().toStdString();
            }
        }
    }
}

using SequenceScreens = DialogTest;

void render_every_tab(TFacquisition_sequence* dialog, bool thresholds)
{
    ParsedXml doc(busy_sequence);
    ASSERT_NE(doc.root, nullptr);
    QTabWidget* tabs = dialog->PageControl1;
    // One picture name per tab: a tab more or less must show here.
    ASSERT_EQ(static_cast<size_t>(tabs->count()), std::size(tab_files));
    when_modal_shown([&](QWidget* d) {
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            const std::string name =
                std::string("sequence_") + tab_files[tab] + (thresholds ? "_thresholds" : "_no_thresholds");
            expect_captions_fit(tabs->widget(tab), name);
            expect_no_overlap(tabs->widget(tab), name);
            screenshot(d, name);
        }
        d->close();
    });
    dialog->execute(doc.root, thresholds, thresholds ? "Slow sequence" : "Health sequence");
}

TEST_F(SequenceScreens, EveryTabWithThresholds)
{
    render_every_tab(sequence_dialog.get(), true);
}

TEST_F(SequenceScreens, EveryTabWithoutThresholds)
{
    render_every_tab(sequence_dialog.get(), false);
}

}  // namespace
