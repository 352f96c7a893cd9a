// The settings file as written: its exact bytes, its escaping, and files that
// go through load and save again without changing a byte.
#include <gtest/gtest.h>

#include <string>

#include "doc/Lib_xml.h"
#include "doc/top_level.h"
#include "doc/xml_writer.h"
#include "support/core_files.h"

namespace {

std::string saved_bytes(myXMLdocument& document, const TempDir& dir, const std::string& name = "out.xml")
{
    EXPECT_FALSE(document.save_file(dir.file(name).c_str())) << document.error_text();
    return read_bytes(dir.file(name));
}

TEST(FileLayout, NewDefaultDocumentByteForByte)
{
    TempDir dir;
    myXMLdocument setup("SETUP");
    bind_top_level(setup);
    EXPECT_EQ(saved_bytes(setup, dir), default_settings_file);
}

TEST(FileLayout, EscapingOfValuesNamesAndText)
{
    TiXmlElement* e = xml_add_child(nullptr, "E");
    xml_set_attr(e, "q", "say \"hi\"");
    xml_set_attr(e, "s", "it's <a> & b");
    xml_set_attr(e, "hi", "\xE9\x7F\x01\t\r\n\xFF");
    xml_set_attr(e, "ref", "&#x41;&amp;");
    xml_set_attr(e, "n\xE9", "");
    std::string out;
    write_node_text(out, e, 1);
    EXPECT_EQ(out,
              "    <E q='say &quot;hi&quot;' s=\"it&apos;s &lt;a&gt; &amp; b\""
              " hi=\"&#xE9;&#x7F;&#x01;&#x09;&#x0D;&#x0A;&#xFF;\" ref=\"&amp;#x41;&amp;amp;\" n\xE9=\"\" />");
    delete e;
}

TEST(FileLayout, TextChildrenMixedContentCommentsAndCdata)
{
    myXMLdocument document("R");
    TiXmlElement* only_text = xml_add_child(document.root, "T");
    only_text->LinkEndChild(new TiXmlText("a<b\xE9"));
    TiXmlElement* mixed = xml_add_child(document.root, "M");
    mixed->LinkEndChild(new TiXmlText("lead"));
    xml_add_child(mixed, "C");
    mixed->LinkEndChild(new TiXmlComment(" note\nsecond "));
    TiXmlText* cdata = new TiXmlText("raw <&>");
    cdata->SetCDATA(true);
    xml_add_child(document.root, "D")->LinkEndChild(cdata);
    document.doc->LinkEndChild(new TiXmlComment("after"));
    EXPECT_EQ(write_document_text(*document.doc),
              "<R>\r\n"
              "    <T>a&lt;b&#xE9;</T>\r\n"
              "    <M>lead\r\n"
              "        <C />\r\n"
              "        <!-- note\r\nsecond -->\r\n"
              "    </M>\r\n"
              "    <D>\r\n"
              "        <![CDATA[raw <&>]]>\r\n"
              "</D>\r\n"
              "</R>\r\n"
              "<!--after-->\r\n");
}

// A file as an older version or another tool may have left it: declaration,
// comments, unknown elements and attributes, lower-case names, and a value
// holding every byte from 0x01 to 0xFF.
std::string foreign_file()
{
    std::string every_byte;
    for (int c = 1; c < 256; ++c) {
        every_byte += static_cast<char>(c);
    }
    TiXmlElement* holder = xml_add_child(nullptr, "STATION");
    xml_set_attr(holder, "id", "12");
    xml_set_attr(holder, "all", every_byte.c_str());
    std::string station;
    write_node_text(station, holder, 2);
    delete holder;
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
           "<!-- written by hand -->\n"
           "<SETUP version=\"3\">\n"
           "  <comports><comport port='COM9' type=\"DIRECT\"/></comports>\n"
           "  <STATIONS>\n" +
           station +
           "\n    <!-- retired -->\n"
           "    <UNKNOWN_THING a=\"&#x41;&amp;#x41;\" b='q\"uote'/>\n"
           "  </STATIONS>\n"
           "  <NOTE>free text &amp; more</NOTE>\n"
           "</SETUP>\n";
}

TEST(RoundTrip, LoadSaveLoadSaveIsByteStable)
{
    TempDir dir;
    write_bytes(dir.file("in.xml"), foreign_file());
    myXMLdocument document("SETUP");
    ASSERT_NE(document.load_file(dir.file("in.xml").c_str()), nullptr) << document.error_text();
    std::string first = saved_bytes(document, dir, "first.xml");

    ASSERT_NE(document.load_file(dir.file("first.xml").c_str()), nullptr) << document.error_text();
    std::string second = saved_bytes(document, dir, "second.xml");
    EXPECT_EQ(first, second);

    EXPECT_EQ(first.find_first_of(std::string("\0", 1) + "\x7F\x80\xFF"), std::string::npos) << "7-bit text only";
    EXPECT_EQ(first.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<!-- written by hand -->\r\n", 0), 0u);
    EXPECT_NE(first.find("    <comports>\r\n        <comport port=\"COM9\" type=\"DIRECT\" />"), std::string::npos);
}

TEST(RoundTrip, EveryByteAndLiteralReferencesReadBackUnchanged)
{
    TempDir dir;
    write_bytes(dir.file("in.xml"), foreign_file());
    myXMLdocument document("SETUP");
    ASSERT_NE(document.load_file(dir.file("in.xml").c_str()), nullptr);
    saved_bytes(document, dir, "out.xml");
    ASSERT_NE(document.load_file(dir.file("out.xml").c_str()), nullptr);

    std::string every_byte;
    for (int c = 1; c < 256; ++c) {
        every_byte += static_cast<char>(c);
    }
    EXPECT_EQ(xml_get_attr_text(document.find_path("/STATIONS/STATION"), "all"), every_byte);
    TiXmlElement* unknown = document.find_path("/STATIONS/UNKNOWN_THING");
    EXPECT_STREQ(xml_get_attr(unknown, "a"), "A&#x41;");
    EXPECT_STREQ(xml_get_attr(unknown, "b"), "q\"uote");
    EXPECT_STREQ(xml_get_text(document.find_path("/NOTE"), false), "free text & more");
}

// Regression: names were escaped like values, and the parser, which takes
// high bytes as name letters, could not read "n&#xE9;" back.
TEST(RoundTrip, AttributeNameWithHighBytesReadsBackAfterSave)
{
    TempDir dir;
    write_bytes(dir.file("in.xml"), "<SETUP n\xE9=\"1\"><\xC9T/></SETUP>");
    myXMLdocument document("SETUP");
    ASSERT_NE(document.load_file(dir.file("in.xml").c_str()), nullptr);
    std::string first = saved_bytes(document, dir);
    EXPECT_EQ(first, "<SETUP n\xE9=\"1\">\r\n    <\xC9T />\r\n</SETUP>\r\n");
    ASSERT_NE(document.load_file(dir.file("out.xml").c_str()), nullptr) << document.error_text();
    EXPECT_STREQ(xml_get_attr(document.root, "n\xE9"), "1");
}

}  // namespace
