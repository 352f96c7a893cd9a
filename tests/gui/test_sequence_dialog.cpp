// The sequence dialog driven as an operator drives it: ticking check boxes,
// picking and typing comparisons, typing thresholds, then OK, Cancel, Escape
// or the close box; the sequence element is compared as rendered text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "support/core_tree.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"
#include "widgets/cp1252_text.h"

namespace {

// The station's sequence configuration, so that a test sees the edited
// sequence keep its place among its siblings.
struct Configuration : ParsedXml {
    explicit Configuration(const std::string& slow_commands)
        : ParsedXml("<CONFIGURATION value=\"1\"><ACQUISITION_SEQUENCE value=\"0\">" + slow_commands +
                    "</ACQUISITION_SEQUENCE><ACQUISITION_SEQUENCE value=\"1\"/></CONFIGURATION>")
    {
    }

    TiXmlElement* slow_sequence() const { return root->FirstChildElement("ACQUISITION_SEQUENCE"); }
};

bool checked(QWidget* dialog, const char* name)
{
    return child<QCheckBox>(dialog, name)->isChecked();
}

bool enabled(QWidget* dialog, const char* name)
{
    return child<QWidget>(dialog, name)->isEnabled();
}

// Explicitly hidden, whatever tab happens to be shown.
bool hidden(QWidget* dialog, const char* name)
{
    return child<QWidget>(dialog, name)->isHidden();
}

QString text_of(QWidget* dialog, const char* name)
{
    return child<QLineEdit>(dialog, name)->text();
}

QString combo_text(QWidget* dialog, const char* name)
{
    return child<QComboBox>(dialog, name)->currentText();
}

class SequenceDialog : public DialogTest {
protected:
    // Opens the dialog on `sequence`; `answer` works the controls and must close it.
    void edit(TiXmlElement* sequence, bool thresholds, std::function<void(QWidget*)> answer,
              const char* caption = "Slow sequence")
    {
        when_modal_shown(std::move(answer));
        sequence_dialog->execute(sequence, thresholds, caption);
    }
};

const char* const example_commands =
    "PROBES_POWER state=\"1\"\n"
    "ACQ_VBAT channel=\"0\" threshold=\"11.9\"\n"
    "ACQ header=\"168\" port=\"0\" channel=\"9\" timeout=\"3\" compare=\"ge\" threshold=\"100\"\n"
    "PROBES_POWER state=\"8\"\n"
    "WAIT timeout=\"2\"\n"
    "ACQ header=\"169\" port=\"7\" channel=\"0\" timeout=\"4\"\n"
    "PROBES_POWER state=\"6\"\n"
    "WAIT timeout=\"2\"\n"
    "ACTION port=\"10\" and=\"0\" or=\"7\"\n"
    "ACQ header=\"145\" port=\"10\" channel=\"1\" timeout=\"3\"\n"
    "ACQ header=\"17\" port=\"10\" channel=\"5\" timeout=\"3\"\n"
    "PROBES_POWER state=\"0\"\n"
    "ACTION port=\"0\" and=\"247\" or=\"8\"\n"
    "WAIT timeout=\"2\"\n"
    "ACTION port=\"10\" and=\"0\" or=\"120\"\n"
    "ACQ header=\"150\" port=\"10\" channel=\"0\" timeout=\"3\"\n"
    "ACTION port=\"0\" and=\"247\" or=\"0\"\n"
    "CONDITIONAL_SMS\n"
    "CONDITIONAL_ACTION port=\"0\" and=\"255\" or=\"8\"\n";

TEST_F(SequenceDialog, TickingTheControlsWritesTheCanonicalSequenceInPlace)
{
    Configuration doc("<WAIT timeout=\"9\"/>");
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Slow sequence"));
        tick(d, "cb_vbat");
        tick(d, "cb_vbat_eol");
        type_text(d, "ed_vbat_threshold", "11.9");
        tick(d, "cb_0_9");
        choose_item(d, "cbb_0_9", ">= Greater Or Equal");
        type_text(d, "ed_0_9", "100");
        tick(d, "cb_7_0");
        tick(d, "cb_10_7_1");
        tick(d, "cb_10_7_5");
        tick(d, "cb_10_120_0");
        tick(d, "cb_s_sms");
        tick(d, "cb_s_out");
        choose_item(d, "cbb_s_o3", "Force 1");
        click(d, "Button1");
    });
    std::string expected = std::string("CONFIGURATION value=\"1\"\n  ACQUISITION_SEQUENCE value=\"0\"\n");
    for (const char* line = example_commands; *line != '\0';) {
        const char* end = strchr(line, '\n') + 1;
        expected += "    " + std::string(line, end);
        line = end;
    }
    expected += "  ACQUISITION_SEQUENCE value=\"1\"\n";
    EXPECT_EQ(render_tree(doc.root), expected);

    // Loaded back into the controls and stored again, nothing changes.
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        EXPECT_TRUE(checked(d, "cb_vbat_eol"));
        EXPECT_EQ(combo_text(d, "cbb_0_9"), QStringLiteral(">= Greater Or Equal"));
        EXPECT_EQ(combo_text(d, "cbb_s_o3"), QStringLiteral("Force 1"));
        click(d, "Button1");
    });
    EXPECT_EQ(render_children(doc.slow_sequence()), example_commands);
}

TEST_F(SequenceDialog, OkWithoutChangesKeepsWindows1252ThresholdsByteForByte)
{
    const char* commands =
        "PROBES_POWER state=\"8\"\n"
        "WAIT timeout=\"2\"\n"
        "ACQ header=\"178\" port=\"7\" channel=\"2\" timeout=\"4\" compare=\"lt\" threshold=\"5,5 \xB0\x43\"\n"
        "PROBES_POWER state=\"0\"\n";
    Configuration doc(
        "<PROBES_POWER state=\"8\"/><WAIT timeout=\"2\"/>"
        "<ACQ header=\"178\" port=\"7\" channel=\"2\" timeout=\"4\" compare=\"lt\" threshold=\"5,5 \xB0\x43\"/>"
        "<PROBES_POWER state=\"0\"/>");
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        EXPECT_EQ(text_of(d, "ed_7_2"), QString::fromUtf8("5,5 \u00B0C"));
        click(d, "Button1");
    });
    EXPECT_EQ(render_children(doc.slow_sequence()), commands);
}

// Threshold edits cut at 32,767 characters and showed the end of a text.
TEST_F(SequenceDialog, ThresholdsComeBackWholeAndShowTheirStart)
{
    const std::string threshold(40000, '7');
    Configuration doc("<ACQ port=\"7\" channel=\"2\" compare=\"ge\" threshold=\"" + threshold +
                      "\"/><ACQ_VBAT channel=\"0\" threshold=\"" + threshold + "\"/>");
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        for (QLineEdit* edit : d->findChildren<QLineEdit*>()) {
            const bool of_a_list = qobject_cast<QComboBox*>(edit->parent()) != nullptr;
            EXPECT_TRUE(of_a_list || edit->cursorPosition() == 0) << edit->objectName().toStdString();
        }
        click(d, "Button1");
    });
    const TiXmlElement* acq = doc.slow_sequence()->FirstChildElement("ACQ");
    EXPECT_EQ(xml_get_attr_text(acq, "threshold"), threshold);
    EXPECT_EQ(xml_get_attr_text(doc.slow_sequence()->FirstChildElement("ACQ_VBAT"), "threshold"), threshold);
}

// Once the event loop ran, the comparisons shrank from 137 to 132 pixels
// and the outputs from 65 to 61: the boxes resized to their items.
TEST_F(SequenceDialog, DropDownListsKeepTheWidthsOfTheLayout)
{
    QTest::qWait(100);
    for (QComboBox* combo : sequence_dialog->findChildren<QComboBox*>()) {
        const bool output = combo->objectName().startsWith(QStringLiteral("cbb_s"));
        EXPECT_EQ(combo->width(), output ? 65 : 137) << combo->objectName().toStdString();
    }
}

TEST_F(SequenceDialog, CancelEscapeAndCloseBoxLeaveTheSequenceUntouched)
{
    const char* stored =
        "<ACQ_VBAT channel=\"0\" threshold=\"12\"/><ACQ port=\"7\" channel=\"1\" extra=\"x\"/>"
        "<UNKNOWN a=\"b\"/><CONDITIONAL_ACTION port=\"0\" and=\"254\" or=\"0\"/>";
    Configuration doc(stored);
    const std::string before = render_tree(doc.root);

    // Escape reaches the dialog even from inside an edit or a combo box's text.
    const struct {
        const char* how;
        std::function<void(QWidget*)> close_without_ok;
    } closings[] = {
        {"Cancel", [](QWidget* d) { click(d, "Button2"); }},
        {"Escape in an edit", [](QWidget* d) { QTest::keyClick(child<QLineEdit>(d, "ed_7_1"), Qt::Key_Escape); }},
        {"Escape in a combo box",
         [](QWidget* d) { QTest::keyClick(child<QComboBox>(d, "cbb_s_o0")->lineEdit(), Qt::Key_Escape); }},
        {"The close box", [](QWidget* d) { d->close(); }},
    };
    for (const auto& closing : closings) {
        SCOPED_TRACE(closing.how);
        edit(doc.slow_sequence(), true, [&](QWidget* d) {
            tick(d, "cb_vbat");
            tick(d, "cb_7_5");
            tick(d, "cb_7_1");
            type_text(d, "ed_vbat_threshold", "10");
            tick(d, "cb_s_sms");
            // Return is no shortcut for OK: only the buttons close the dialog.
            QTest::keyClick(child<QLineEdit>(d, "ed_vbat_threshold"), Qt::Key_Return);
            EXPECT_TRUE(d->isVisible());
            closing.close_without_ok(d);
            if (d->isVisible()) {
                ADD_FAILURE() << closing.how << " did not close the dialog";
                d->close();
            }
        });
        EXPECT_EQ(render_tree(doc.root), before);
    }
}

TEST_F(SequenceDialog, HealthHidesThresholdsAndActionsButKeepsThemOnOk)
{
    const char* commands =
        "PROBES_POWER state=\"1\"\n"
        "ACQ_VBAT channel=\"0\" threshold=\"11.5\"\n"
        "ACQ header=\"168\" port=\"0\" channel=\"9\" timeout=\"3\" compare=\"ge\" threshold=\"7\"\n"
        "PROBES_POWER state=\"0\"\n"
        "CONDITIONAL_SMS\n"
        "CONDITIONAL_ACTION port=\"0\" and=\"14\" or=\"8\"\n";
    Configuration doc(
        "<PROBES_POWER state=\"1\"/><ACQ_VBAT channel=\"0\" threshold=\"11.5\"/>"
        "<ACQ header=\"168\" port=\"0\" channel=\"9\" timeout=\"3\" compare=\"ge\" threshold=\"7\"/>"
        "<PROBES_POWER state=\"0\"/><CONDITIONAL_SMS/><CONDITIONAL_ACTION port=\"0\" and=\"14\" or=\"8\"/>");
    edit(
        doc.slow_sequence(), false,
        [](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Health sequence"));
            for (size_t index = 0; index < channel_count; ++index) {
                const std::string key = channel_catalogue[index].key;
                EXPECT_FALSE(hidden(d, ("cb_" + key).c_str())) << key;
                if (channel_catalogue[index].has_threshold) {
                    EXPECT_TRUE(hidden(d, ("cbb_" + key).c_str())) << key;
                    EXPECT_TRUE(hidden(d, ("ed_" + key).c_str())) << key;
                    EXPECT_TRUE(hidden(d, ("lb_" + key).c_str())) << key;
                }
            }
            EXPECT_FALSE(hidden(d, "cb_vbat"));
            EXPECT_TRUE(hidden(d, "cb_vbat_eol"));
            EXPECT_TRUE(hidden(d, "ed_vbat_threshold"));
            EXPECT_TRUE(hidden(d, "lb_vbat"));
            EXPECT_TRUE(hidden(d, "gb_actions"));
            // Measurements can still be chosen without thresholds.
            tick(d, "cb_7_6");
            click(d, "Button1");
        },
        "Health sequence");
    std::string expected = commands;
    expected.insert(expected.find("PROBES_POWER state=\"0\""),
                    "PROBES_POWER state=\"8\"\nWAIT timeout=\"2\"\n"
                    "ACQ header=\"179\" port=\"7\" channel=\"6\" timeout=\"4\"\n");
    EXPECT_EQ(render_children(doc.slow_sequence()), expected);

    // The next opening with thresholds shows them all again.
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        EXPECT_FALSE(hidden(d, "cbb_0_1"));
        EXPECT_FALSE(hidden(d, "ed_10_120_1"));
        EXPECT_FALSE(hidden(d, "cb_vbat_eol"));
        EXPECT_FALSE(hidden(d, "gb_actions"));
        click(d, "Button2");
    });
}

TEST_F(SequenceDialog, TwoConditionalActionsFillAndEnableBothOutputRows)
{
    Configuration doc(
        "<CONDITIONAL_ACTION port=\"0\" and=\"14\" or=\"8\"/><CONDITIONAL_ACTION port=\"0\" and=\"255\" or=\"3\"/>");
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        EXPECT_TRUE(checked(d, "cb_s_out"));
        EXPECT_TRUE(checked(d, "cb_s2_out"));
        const char* first[] = {"cbb_s_o3", "cbb_s_o2", "cbb_s_o1", "cbb_s_o0"};
        const char* second[] = {"cbb_s2_o3", "cbb_s2_o2", "cbb_s2_o1", "cbb_s2_o0"};
        const char* first_texts[] = {"Force 1", "Keep", "Keep", "Force 0"};
        const char* second_texts[] = {"Keep", "Keep", "Force 1", "Force 1"};
        for (int column = 0; column < 4; ++column) {
            EXPECT_TRUE(enabled(d, first[column])) << first[column];
            EXPECT_TRUE(enabled(d, second[column])) << second[column];
            EXPECT_EQ(combo_text(d, first[column]), QString::fromLatin1(first_texts[column]));
            EXPECT_EQ(combo_text(d, second[column]), QString::fromLatin1(second_texts[column]));
        }
        // Switching the second change off disables its row only.
        tick(d, "cb_s2_out");
        EXPECT_FALSE(enabled(d, "cbb_s2_o1"));
        EXPECT_TRUE(enabled(d, "cbb_s_o1"));
        click(d, "Button1");
    });
    EXPECT_EQ(render_children(doc.slow_sequence()), "CONDITIONAL_ACTION port=\"0\" and=\"14\" or=\"8\"\n");
}

TEST_F(SequenceDialog, TypedTextsThatNameNoItemCountAsNoThresholdAndKeep)
{
    Configuration doc("<CONDITIONAL_ACTION port=\"0\" and=\"255\" or=\"15\"/>");
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        tick(d, "cb_7_2");
        choose_item(d, "cbb_7_2", ">= Greater Or Equal");
        EXPECT_TRUE(enabled(d, "ed_7_2"));
        type_text(d, "cbb_7_2", "bigger");
        EXPECT_FALSE(enabled(d, "ed_7_2"));

        // A typed text naming an item, in any letter case, selects it.
        tick(d, "cb_7_3");
        type_text(d, "cbb_7_3", "< less than");
        EXPECT_TRUE(enabled(d, "ed_7_3"));

        type_text(d, "cbb_s_o3", "maybe");
        type_text(d, "cbb_s_o2", "force 0");
        click(d, "Button1");
    });
    EXPECT_EQ(render_children(doc.slow_sequence()),
              "PROBES_POWER state=\"8\"\n"
              "WAIT timeout=\"2\"\n"
              "ACQ header=\"178\" port=\"7\" channel=\"2\" timeout=\"4\"\n"
              "ACQ header=\"161\" port=\"7\" channel=\"3\" timeout=\"4\" compare=\"lt\" threshold=\"5.0\"\n"
              "PROBES_POWER state=\"0\"\n"
              "CONDITIONAL_ACTION port=\"0\" and=\"11\" or=\"3\"\n");
}

TEST_F(SequenceDialog, ThresholdControlsFollowTicksAndComparisons)
{
    Configuration doc(
        "<ACTION port=\"10\" and=\"0\" or=\"120\"/><ACQ port=\"10\" channel=\"1\"/>"
        "<ACQ port=\"7\" channel=\"3\" compare=\"GE\" threshold=\"2.5\"/><ACQ_VBAT channel=\"0\"/>");
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        // Loaded without threshold: an empty edit; never loaded: "5.0".
        EXPECT_TRUE(checked(d, "cb_10_120_1"));
        EXPECT_FALSE(checked(d, "cb_10_7_1"));
        EXPECT_EQ(text_of(d, "ed_10_120_1"), QString());
        EXPECT_EQ(text_of(d, "ed_10_7_1"), QStringLiteral("5.0"));
        EXPECT_EQ(combo_text(d, "cbb_10_7_1"), QStringLiteral("No threshold"));
        EXPECT_TRUE(enabled(d, "cbb_10_120_1"));
        EXPECT_FALSE(enabled(d, "ed_10_120_1"));
        EXPECT_FALSE(enabled(d, "cbb_10_7_1"));

        EXPECT_EQ(combo_text(d, "cbb_7_3"), QStringLiteral(">= Greater Or Equal"));
        EXPECT_EQ(text_of(d, "ed_7_3"), QStringLiteral("2.5"));
        EXPECT_TRUE(enabled(d, "ed_7_3"));
        choose_item(d, "cbb_7_3", "No threshold");
        EXPECT_FALSE(enabled(d, "ed_7_3"));
        choose_item(d, "cbb_7_3", "< Less Than");
        EXPECT_TRUE(enabled(d, "ed_7_3"));
        tick(d, "cb_7_3");
        EXPECT_FALSE(enabled(d, "cbb_7_3"));
        EXPECT_FALSE(enabled(d, "ed_7_3"));
        EXPECT_EQ(combo_text(d, "cbb_7_3"), QStringLiteral("< Less Than"));

        // The end-of-life check needs the battery measurement.
        EXPECT_TRUE(checked(d, "cb_vbat"));
        EXPECT_FALSE(checked(d, "cb_vbat_eol"));
        EXPECT_TRUE(enabled(d, "cb_vbat_eol"));
        EXPECT_FALSE(enabled(d, "ed_vbat_threshold"));
        tick(d, "cb_vbat_eol");
        EXPECT_TRUE(enabled(d, "ed_vbat_threshold"));
        tick(d, "cb_vbat");
        EXPECT_FALSE(enabled(d, "cb_vbat_eol"));
        EXPECT_FALSE(enabled(d, "ed_vbat_threshold"));
        click(d, "Button2");
    });
}

TEST_F(SequenceDialog, EndOfLifeTextAndShownTabCarryOverBetweenOpenings)
{
    EXPECT_EQ(sequence_dialog->PageControl1->currentWidget()->objectName(), QStringLiteral("TabSheet2"));
    Configuration doc("<ACQ_VBAT channel=\"0\"/>");
    edit(doc.slow_sequence(), true, [](QWidget* d) {
        EXPECT_EQ(text_of(d, "ed_vbat_threshold"), QStringLiteral("11.9"));
        EXPECT_FALSE(checked(d, "cb_vbat_eol"));
        tick(d, "cb_vbat_eol");
        type_text(d, "ed_vbat_threshold", "12.5");
        tick(d, "cb_10_120_0");
        click(d, "Button2");
    });
    edit(doc.slow_sequence(), false, [](QWidget* d) {
        EXPECT_EQ(text_of(d, "ed_vbat_threshold"), QStringLiteral("12.5"));
        EXPECT_FALSE(checked(d, "cb_10_120_0"));
        auto* tabs = child<QTabWidget>(d, "PageControl1");
        EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
        click(d, "Button1");
    });
    EXPECT_EQ(render_children(doc.slow_sequence()),
              "PROBES_POWER state=\"1\"\nACQ_VBAT channel=\"0\"\nPROBES_POWER state=\"0\"\n");

    // A stored end-of-life threshold replaces the carried text.
    Configuration other("<ACQ_VBAT channel=\"0\" threshold=\"\"/>");
    edit(other.slow_sequence(), true, [](QWidget* d) {
        EXPECT_EQ(text_of(d, "ed_vbat_threshold"), QString());
        EXPECT_TRUE(checked(d, "cb_vbat_eol"));
        EXPECT_TRUE(enabled(d, "ed_vbat_threshold"));
        click(d, "Button2");
    });
}

TEST_F(SequenceDialog, EveryCatalogueRowAndFixedControlHasItsNamedControls)
{
    QWidget* d = sequence_dialog.get();
    for (size_t index = 0; index < channel_count; ++index) {
        const Channel& channel = channel_catalogue[index];
        const std::string key = channel.key;
        auto* box = child<QCheckBox>(d, ("cb_" + key).c_str());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), qstring_from_cp1252(channel.caption));
        bool has_comparison = d->findChild<QComboBox*>(QString::fromStdString("cbb_" + key)) != nullptr;
        bool has_edit = d->findChild<QLineEdit*>(QString::fromStdString("ed_" + key)) != nullptr;
        auto* unit = d->findChild<QLabel*>(QString::fromStdString("lb_" + key));
        EXPECT_EQ(has_comparison, channel.has_threshold) << key;
        EXPECT_EQ(has_edit, channel.has_threshold) << key;
        EXPECT_EQ(unit != nullptr, channel.has_threshold) << key;
        if (unit != nullptr) {
            EXPECT_EQ(unit->text(), qstring_from_cp1252(channel.unit)) << key;
        }
    }
    const char* fixed[] = {"cb_vbat",   "cb_vbat_eol", "ed_vbat_threshold", "lb_vbat",   "cb_s_sms",  "cb_s_out",
                           "cb_s2_out", "cbb_s_o3",    "cbb_s_o2",          "cbb_s_o1",  "cbb_s_o0",  "cbb_s2_o3",
                           "cbb_s2_o2", "cbb_s2_o1",   "cbb_s2_o0",         "Label79",   "Label80",   "Label81",
                           "Label82",   "gb_actions",  "TabSheet1",         "TabSheet2", "TabSheet3", "TabSheet4",
                           "TabSheet5", "GroupBox14",  "GroupBox2",         "GroupBox1", "GroupBox3", "Button1",
                           "Button2"};
    for (const char* name : fixed) {
        child<QWidget>(d, name);
    }
    auto* tabs = child<QTabWidget>(d, "PageControl1");
    ASSERT_EQ(tabs->count(), 5);
    const char* captions[] = {"On-Board", "Analog", "Fluorimeter", "Pressure", "Actions"};
    for (int index = 0; index < 5; ++index) {
        EXPECT_EQ(tabs->tabText(index), QString::fromLatin1(captions[index]));
    }
}

TEST_F(SequenceDialog, EditSequenceNeedsTheDialogAndAnElement)
{
    Configuration doc("<WAIT timeout=\"2\"/>");
    const std::string before = render_tree(doc.root);
    Facquisition_sequence = nullptr;
    edit_sequence(doc.slow_sequence(), true, "Slow sequence");  // no dialog: returns at once
    Facquisition_sequence = sequence_dialog.get();
    edit_sequence(nullptr, true, "Slow sequence");  // nothing to edit: nothing shown
    EXPECT_FALSE(sequence_dialog->isVisible());

    when_modal_shown([](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Fast sequence"));
        click(d, "Button2");
    });
    edit_sequence(doc.slow_sequence(), true, "Fast sequence");
    when_modal_shown([](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), QString());
        click(d, "Button2");
    });
    edit_sequence(doc.slow_sequence(), true, nullptr);
    EXPECT_EQ(render_tree(doc.root), before);

    // A destroyed dialog is no longer reachable through the global.
    sequence_dialog.reset();
    EXPECT_EQ(Facquisition_sequence, nullptr);
    edit_sequence(doc.slow_sequence(), true, "Slow sequence");
}

}  // namespace
