// Settings files from anywhere along the editor's whole road (Open, the
// station and sequence dialogs' OK, Save, Open again): the fuzz target's seed
// corpus, and one regression test for each fault the fuzzer caught.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "doc/xml_load.h"
#include "doc/xml_precheck.h"
#include "doc/xml_writer.h"
#include "station/station_record.h"
#include "station/station_values.h"
#include "support/core_files.h"
#include "support/core_settings_road.h"
#include "support/test_paths.h"

namespace {

std::filesystem::path corpus_directory()
{
    return std::filesystem::path(ZANTOR_FUZZ_CORPUS_DIR);
}

// Parses `text`, writes it, parses the result and writes that again.
void write_twice(const std::string& text, std::string& first, std::string& second)
{
    TiXmlDocument doc;
    std::string error;
    ASSERT_TRUE(parse_document(doc, text, error)) << error;
    first = write_document_text(doc);
    TiXmlDocument again;
    ASSERT_TRUE(parse_document(again, first, error)) << error;
    second = write_document_text(again);
}

TEST(FuzzCorpus, EverySeedGoesTheWholeRoad)
{
    const std::filesystem::path corpus = corpus_directory();
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    TempDir scratch;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        EXPECT_EQ(check_settings_road(read_bytes(entry.path().string()), scratch.path()), "") << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 8);
}

TEST(FuzzCorpus, RefusedAndDeepFilesKeepTheirProperties)
{
    TempDir scratch;
    EXPECT_EQ(check_settings_road("", scratch.path()), "");
    EXPECT_EQ(check_settings_road("<SETUP>", scratch.path()), "");
    std::string deep;
    for (int i = 0; i < max_element_nesting; ++i) {
        deep += "<STATION>";
    }
    EXPECT_EQ(check_settings_road(deep + "</STATION>", scratch.path()), "") << "a refused deep file";

    TiXmlDocument doc;
    std::string error;
    ASSERT_TRUE(parse_document(doc, "<A><B><C/></B><D/></A><!-- x -->", error));
    EXPECT_EQ(element_depth(doc), 3);
}

// The road's station OK is the dialog's own: the values are stored back as
// OK stores them, a GSM time rounded to whole minutes and the PIN written into
// both of its places.
TEST(FuzzCorpus, TheRoadStoresStationValuesAsTheDialogsOkDoes)
{
    TiXmlDocument doc;
    std::string error;
    ASSERT_TRUE(parse_document(doc,
                               "<STATION id=\"7\" pin=\"1234\"><CONFIGURATION value=\"0\">"
                               "<GSM_DURATION value=\"90\"/></CONFIGURATION></STATION>",
                               error))
        << error;
    TiXmlElement* station = doc.RootElement();
    edit_station_as_dialogs_do(station);
    const StationParts parts = find_station_parts(station);
    EXPECT_STREQ(parameter_text(parts.cfg_parameters, "GSM_DURATION", "value"), "60");
    EXPECT_STREQ(parameter_text(parts.cfg_parameters, "PIN_CODE", "value"), "1234");
    EXPECT_STREQ(xml_get_attr_text(station, "pin"), "1234");
}

// Element text with blanks at its ends (here from "> " read before an "&"
// that ends the text) was written with its blanks as they are; reading the
// saved file dropped them, so the second save differed from the first.
TEST(FuzzFinding, BlanksAtTheEndsOfElementTextSurviveSaveAndReload)
{
    TempDir scratch;
    EXPECT_EQ(check_settings_road("<U>>\r&</U>", scratch.path()), "");

    std::string first, second;
    write_twice("<U>&#x20;a&#x20;&#x20;b <B/> c&#x20;<B/></U>", first, second);
    EXPECT_EQ(first,
              "<U>&#x20;a &#x20;b\r\n"
              "    <B />c&#x20;\r\n"
              "    <B />\r\n"
              "</U>\r\n");
    EXPECT_EQ(second, first);
    // Blanks between words are written as they are.
    write_twice("<U>one two</U>", first, second);
    EXPECT_EQ(first, "<U>one two</U>\r\n");
}

// A reference that reads as nothing (a reference to byte 0) left an
// element holding an empty text. The first save wrote it as "<S></S>", which
// reads back with no text at all, so the second save wrote "<S />".
TEST(FuzzFinding, EmptyCharacterReferenceGivesTheSameSaveTwice)
{
    TempDir scratch;
    EXPECT_EQ(check_settings_road("<S><S>&#0;</S></S>", scratch.path()), "");

    const struct {
        const char* input;
        const char* written;
    } cases[] = {
        {"<S><S>&#0;</S></S>", "<S>\r\n    <S />\r\n</S>\r\n"},
        {"<S a=\"1\">&#0;</S>", "<S a=\"1\" />\r\n"},
        {"<S><T>&#x0;</T>&#0;<T/></S>", "<S>\r\n    <T />\r\n    <T />\r\n</S>\r\n"},
        {"<S>a&#0;b</S>", "<S>a</S>\r\n"},
    };
    for (const auto& c : cases) {
        std::string first, second;
        write_twice(c.input, first, second);
        EXPECT_EQ(first, c.written) << c.input;
        EXPECT_EQ(second, first) << c.input;
    }
}

std::string repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// The parser reads a character reference up to the first ";" after "&#",
// however far, so "&#x" in a value or in text could hide the quote or the end
// tag that the nesting check relied on: the check counted one level where
// the parser went one deeper per repetition, and a 1.5 MB file of them
// overflowed the stack.
TEST(FuzzFinding, NestingHiddenInCharacterReferencesIsCounted)
{
    const std::string in_value = "<N o=\"&#x\"/x;\">";
    const std::string in_text = "<N>&#x</N>x;";
    const std::string in_decimal = "<N o='&#'/>#12;'>";
    for (const std::string& piece : {in_value, in_text, in_decimal}) {
        const std::string two = piece + "<N/>";
        EXPECT_EQ(precheck_xml(two.c_str(), two.size(), 256).deepest, 2) << piece;
        const std::string deep = repeated(piece, 100000);
        TiXmlDocument doc;
        std::string error;
        EXPECT_FALSE(parse_document(doc, deep, error));
        EXPECT_NE(error.find("nested too deeply"), std::string::npos) << piece << ": " << error;
    }
    // References the parser refuses stop it, and ordinary ones hide nothing.
    const std::string plain = "<A b=\"&#x41;&#65;&#x;&#xZ;\"><B>&#x42;</B><C/></A>";
    EXPECT_EQ(precheck_xml(plain.c_str(), plain.size(), 256).deepest, 2);
    TempDir scratch;
    EXPECT_EQ(check_settings_road("<N o=\"&#x\"/x;\"><N/></N>", scratch.path()), "");
}

// A document type with declarations in brackets stops the parser at the
// "]", so such a file was refused as having "no element"; now the reason
// names what is not supported. Nothing in any document type is expanded.
TEST(HostileFile, DocumentTypeDeclarationsAreRefusedWithTheirReason)
{
    TiXmlDocument doc;
    std::string error;
    EXPECT_FALSE(parse_document(doc, "<!DOCTYPE S [<!ENTITY a 'x'>]><S b='&a;'/>", error));
    EXPECT_EQ(error, "document type declarations with internal definitions are not supported");
    EXPECT_FALSE(parse_document(doc, "<!-- only a comment -->", error));
    EXPECT_EQ(error, "no element in the file");

    EXPECT_FALSE(parse_document(doc, "<!DOCTYPE SETUP SYSTEM 'file:///etc/passwd'><SETUP b='&#65;&a;'/>", error));
    EXPECT_EQ(error, "line 1, column 60: unknown reference \"&a;\": write &amp; for &") << "the parser drops its \"&\"";
    ASSERT_TRUE(parse_document(doc, "<!DOCTYPE S []><S/>", error)) << error;
}

// A file picked by mistake (a disk image, a video) was read whole, and the
// memory it asked for ended the editor with an uncaught allocation failure.
TEST(HostileFile, FileLargerThanAnySettingsFileIsRefusedUnread)
{
    TempDir dir;
    const std::string huge = dir.file("disk.img");
    write_bytes(huge, "<SETUP>");
    ASSERT_TRUE(set_file_size(huge, 200ULL << 30));
    myXMLdocument document("SETUP");
    EXPECT_EQ(document.load_file(huge.c_str()), nullptr);
    EXPECT_EQ(document.error_text(), "too large for a settings file: more than 1024 MiB");
}

}  // namespace
