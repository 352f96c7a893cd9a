// Settings files from anywhere (mail attachments, old versions, other tools)
// opened through the real Open command: each either loads or is refused with
// the error box, and the window stays usable afterwards: an edit, a save and
// closing the window all work.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <cstring>
#include <functional>
#include <string>

#include "app/station_grid.h"
#include "doc/top_level.h"
#include "doc/xml_writer.h"
#include "support/gui_file_dialog.h"
#include "support/gui_fixture.h"
#include "support/gui_modal.h"
#include "support/gui_operator.h"
#include "support/hostile_texts.h"
#include "support/station_fleet.h"

namespace {

std::string fleet_text(int stations)
{
    myXMLdocument fleet("SETUP");
    build_fleet(fleet, stations);
    return write_document_text(*fleet.doc);
}

std::string nested(int levels)
{
    std::string text;
    text.reserve(static_cast<size_t>(levels) * 7);
    for (int i = 0; i < levels; ++i) {
        text += "<a>";
    }
    for (int i = 0; i < levels; ++i) {
        text += "</a>";
    }
    return text;
}

// Bytes of every value but zero, as a damaged or foreign binary file has them.
std::string garbage()
{
    std::string bytes;
    uint32_t state = 2463534242u;
    for (int i = 0; i < 65536; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes += static_cast<char>(state % 255 + 1);
    }
    return bytes;
}

std::string utf16le(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const size_t huge_value_length = 100 * 1000 * 1000;

std::string station_file(const std::string& prolog, const std::string& description)
{
    return prolog + "<SETUP><STATIONS><STATION id=\"5\" description=\"" + description + "\" /></STATIONS></SETUP>";
}

// Entity declarations that would build a huge value or read a local file.
// Nothing is ever expanded: a file that declares entities is refused, and so
// is a reference the parser does not know, which it would read without its
// "&".
const std::string entity_bomb =
    "<!DOCTYPE SETUP [\n"
    "  <!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
    "  <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
    "  <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
    "  <!ENTITY secret SYSTEM \"file:///etc/passwd\">\n"
    "]>\n";

struct HostileFile {
    const char* name;
    std::string (*bytes)();
    // The station description a loaded file shows; null for a refused file.
    const char* description;
    // What the error box of a refused file says about the reason.
    const char* reason;
};

const HostileFile hostile_files[] = {
    {"Empty", [] { return std::string(); }, nullptr, "empty file"},
    {"Truncated", [] { return fleet_text(3).substr(0, 9000); }, nullptr, "(truncated?)"},
    {"BinaryGarbage", garbage, nullptr, "not an XML file"},
    {"ZeroByteInside", [] { return std::string("<SETUP>\0</SETUP>", 16); }, nullptr, "zero byte"},
    {"MillionNestingLevels", [] { return nested(1000000); }, nullptr, "nested too deeply"},
    {"NestingHiddenInReferences", [] { return repeated("<N o=\"&#x\"/x;\">", 1000000); }, nullptr, "nested too deeply"},
    // A million references took 40 seconds to check before they were parsed.
    {"MillionReferencesInAValue",
     [] {
         return "<SETUP><STATIONS><STATION id=\"5\" note=\"" + repeated("&#x52;", 1000000) +
                "\" description=\"Roof\" /></STATIONS></SETUP>";
     },
     "Roof", nullptr},
    {"MillionReferencesInText",
     [] {
         return "<SETUP>" + repeated("&lt;", 1000000) +
                "<STATIONS><STATION id=\"5\" description=\"Roof\" /></STATIONS></SETUP>";
     },
     "Roof", nullptr},
    {"MillionUnterminatedReferences", [] { return station_file("", repeated("&#", 1000000)); }, nullptr,
     "line 1, column 47: a bare \"&\": write &amp; for &"},
    {"Utf16WithByteOrderMark", [] { return utf16le(station_file("", "Roof")); }, nullptr,
     "the file was saved as UTF-16: save it as UTF-8 or Windows-1252"},
    {"HundredMegabyteAttribute", [] { return station_file("", std::string(huge_value_length, 'x')); }, "", nullptr},
    {"DoctypeWithEntityDeclarations", [] { return station_file(entity_bomb, "&c;"); }, nullptr,
     "document type declarations with internal definitions are not supported"},
    {"DoctypeWithExternalDefinitions",
     [] { return station_file("<!DOCTYPE SETUP SYSTEM \"file:///etc/passwd\">\n", "&c;&secret;"); }, nullptr,
     "unknown reference \"&c;\": write &amp; for &"},
    {"UnknownEncoding",
     [] { return station_file("<?xml version=\"1.0\" encoding=\"x-no-such-charset\"?>", "Pr\xE9 \xC3\xA9"); },
     "Pr\xE9 \xC3\xA9", nullptr},
    {"DeclaredUtf16OnSingleBytes",
     [] { return station_file("<?xml version=\"1.0\" encoding=\"UTF-16\"?>", "\xC9tang"); }, "\xC9tang", nullptr},
};

// The loaded file's one station has the description it should.
void expect_description(const TiXmlElement* station, const HostileFile& file)
{
    const char* description = xml_get_attr_text(station, "description");
    if (*file.description != '\0') {
        EXPECT_STREQ(description, file.description);
    } else {
        EXPECT_EQ(strlen(description), huge_value_length);
    }
}

class Hostile : public MainWindowTest, public ::testing::WithParamInterface<HostileFile> {};

TEST_P(Hostile, LoadsOrIsRefusedAndTheWindowStaysUsable)
{
    const HostileFile& file = GetParam();
    const QString path = temp_path("hostile.xml");
    write_bytes(path, file.bytes());

    answer_next_file_dialog(path);
    const QString error = answering_error_boxes([this] { choose_menu_item(window.get(), "Open1"); });
    if (file.description == nullptr) {
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(file.reason))) << error.toStdString();
        EXPECT_TRUE(window->current_file().isEmpty());
        EXPECT_FALSE(window->Save1->isEnabled());
        EXPECT_EQ(station_rows(), 0);
    } else {
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(window->current_file(), path);
        ASSERT_EQ(station_rows(), 1);
        expect_description(xml_first_child(window->node_stations), file);
    }

    // Usable afterwards: type a port, save under a new name, close.
    type_text(window->ed_COM_direct, QStringLiteral("COM17"));
    EXPECT_TRUE(window->modified);
    const QString saved = temp_path("saved.xml");
    answer_next_file_dialog(saved);
    EXPECT_EQ(answering_error_boxes([this] { choose_menu_item(window.get(), "SaveAs1"); }), QString());
    EXPECT_FALSE(window->modified);
    EXPECT_EQ(window->current_file(), saved);
    myXMLdocument reread(nullptr);
    ASSERT_NE(reread.load_file(QFile::encodeName(saved).constData()), nullptr) << reread.error_text();
    const TopLevelElements top = bind_top_level(reread);
    EXPECT_STREQ(xml_get_attr_text(top.com_direct, "port"), "COM17");
    if (file.description != nullptr) {
        expect_description(xml_first_child(top.stations), file);
    }
    window->close();
    EXPECT_FALSE(window->isVisible()) << "nothing unsaved, so the window closes without a question";
}

INSTANTIATE_TEST_SUITE_P(Files, Hostile, ::testing::ValuesIn(hostile_files),
                         [](const ::testing::TestParamInfo<HostileFile>& info) { return info.param.name; });

}  // namespace
