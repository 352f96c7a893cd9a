// The five edits of the main window, the PC's two COM ports and the three
// data directories: one table builds them with their captions and Browse...
// buttons, fills them from the document, stores them back, watches their
// text and tells each Browse... button which edit it fills.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/main.h"
#include "widgets/form.h"

namespace {

struct EditRow {
    QLineEdit* TFmain::*edit;
    const char* name;
    QWidget* TFmain::*tab;
    QRect box;
    QLabel* TFmain::*caption;
    const char* caption_name;
    const char* caption_text;
    QPoint caption_at;
    TiXmlElement* TFmain::*element;
    const char* attribute;
    QPushButton* TFmain::*browse;  // the directories' Browse... button, beside the edit
    const char* browse_name;
};

// clang-format off
const EditRow edit_rows[] = {
    {&TFmain::ed_COM_direct, "ed_COM_direct", &TFmain::TabSheet1, {24, 72, 73, field_height},  &TFmain::Label3, "Label3", "COM port for direct (cable) connection",                        {24, 48},  &TFmain::node_com_direct, "port", nullptr,          nullptr},
    {&TFmain::ed_COM_modem,  "ed_COM_modem",  &TFmain::TabSheet1, {24, 136, 73, field_height}, &TFmain::Label5, "Label5", "COM port for modem connection",                                 {24, 112}, &TFmain::node_com_modem,  "port", nullptr,          nullptr},
    {&TFmain::ed_path_bin,   "ed_path_bin",   &TFmain::TabSheet3, {16, 64, 385, field_height}, &TFmain::Label1, "Label1", "Path to BIN directory (flash downloaded file, binary format)", {16, 48},  &TFmain::node_path_bin,   "path", &TFmain::Button3, "Button3"},
    {&TFmain::ed_path_xml,   "ed_path_xml",   &TFmain::TabSheet3, {16, 128, 385, field_height}, &TFmain::Label2, "Label2", "Path to XML directory (flash downloaded file, XML format)",   {16, 112}, &TFmain::node_path_xml,   "path", &TFmain::Button4, "Button4"},
    {&TFmain::ed_path_log,   "ed_path_log",   &TFmain::TabSheet3, {16, 192, 385, field_height}, &TFmain::Label7, "Label7", "Path to STATUS directory (GetStatus)",                        {16, 176}, &TFmain::node_path_log,   "path", &TFmain::Button1, "Button1"},
};
// clang-format on

}  // namespace

void TFmain::build_edits(QWidget* TFmain::*tab)
{
    const int browse_left = 408;
    const QSize browse_size(75, 25);
    QWidget* previous = nullptr;
    // Tab goes down the rows: each edit, then its Browse... button.
    const auto next_in_tab_order = [&previous](QWidget* control) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    };
    for (const EditRow& row : edit_rows) {
        if (row.tab != tab) {
            continue;
        }
        this->*row.caption = make_label(this->*tab, QString::fromLatin1(row.caption_name),
                                        QString::fromLatin1(row.caption_text), row.caption_at.x(), row.caption_at.y());
        this->*row.edit = make_edit(this->*tab, QString::fromLatin1(row.name), row.box);
        next_in_tab_order(this->*row.edit);
        if (row.browse != nullptr) {
            QPushButton* button =
                make_button(this->*tab, QString::fromLatin1(row.browse_name), QStringLiteral("Browse..."),
                            QRect(QPoint(browse_left, row.box.top()), browse_size));
            const auto edit = row.edit;
            connect(button, &QPushButton::clicked, this, [this, edit] { browse_for_edit(edit); });
            this->*row.browse = button;
            next_in_tab_order(button);
        }
    }
}

void TFmain::watch_edits()
{
    // Only a change of the text counts: typed, pasted, cut, dropped or
    // undone. A key that leaves the text as it was (Ctrl of Ctrl+S, Alt,
    // F10, an arrow) changes nothing, so it asks no question on closing.
    // show_edits() fills the edits without this signal.
    for (const EditRow& row : edit_rows) {
        connect(this->*row.edit, &QLineEdit::textEdited, this, &TFmain::edit_changed);
    }
}

void TFmain::browse_for_edit(QLineEdit* TFmain::*edit)
{
    for (const EditRow& row : edit_rows) {
        if (row.edit == edit && row.browse != nullptr) {
            browse_for_folder(this->*row.element, this->*row.edit);
        }
    }
}

void TFmain::show_edits()
{
    for (const EditRow& row : edit_rows) {
        show_text(this->*row.edit, xml_get_attr_text(this->*row.element, row.attribute));
    }
}

void TFmain::store_edits()
{
    // Every edit is written back, changed or not, so the file always holds
    // what the operator sees; an edit whose element is gone is skipped.
    for (const EditRow& row : edit_rows) {
        if (this->*row.element != nullptr) {
            xml_set_attr(this->*row.element, row.attribute, typed_text(this->*row.edit).c_str());
        }
    }
}
