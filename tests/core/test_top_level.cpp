// The top level of the settings file: what New builds and what Open completes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "doc/Lib_xml.h"
#include "doc/top_level.h"
#include "doc/xml_writer.h"
#include "support/core_tree.h"

namespace {

// Loads inline XML as Open would and binds the top level.
struct Opened {
    ParsedXml document;
    TopLevelElements top;

    explicit Opened(const char* xml) : document(xml), top(bind_top_level(document)) {}

    std::string text() const { return write_document_text(*document.doc); }
};

const char* const default_comports =
    "        <COMPORT port=\"COM1\" rate=\"38400\" type=\"direct\" description=\"cable connection (USB)\" />\r\n"
    "        <COMPORT port=\"COM2\" rate=\"9600\" type=\"modem\" description=\"standard modem\" />\r\n";

TEST(TopLevel, BindingAgainFindsEverythingAndAppendsNothing)
{
    myXMLdocument setup("SETUP");
    TopLevelElements top = bind_top_level(setup);
    TopLevelElements again = bind_top_level(setup);
    EXPECT_EQ(again.path_bin, top.path_bin);
    EXPECT_EQ(again.com_direct, top.com_direct);
    EXPECT_EQ(again.com_modem, top.com_modem);
    EXPECT_EQ(xml_next_sibling(top.com_modem), nullptr);
    EXPECT_EQ(xml_next_sibling(top.stations), nullptr);
    EXPECT_EQ(bind_top_level(*std::make_unique<myXMLdocument>(nullptr)).stations, nullptr);
}

TEST(TopLevel, OpenAppendsWhatIsMissingAfterExistingChildrenWhateverTheRootName)
{
    Opened opened("<CONFIG><STATIONS><STATION id=\"1\"/></STATIONS><EXTRA/><PATH_DATA_XML path=\"d:\\x\"/></CONFIG>");
    EXPECT_EQ(opened.text(), std::string("<CONFIG>\r\n"
                                         "    <STATIONS>\r\n"
                                         "        <STATION id=\"1\" />\r\n"
                                         "    </STATIONS>\r\n"
                                         "    <EXTRA />\r\n"
                                         "    <PATH_DATA_XML path=\"d:\\x\" />\r\n"
                                         "    <PATH_DATA_BIN path=\"c:\\kestrane\\data_bin\" />\r\n"
                                         "    <PATH_STATUS_LOG path=\"c:\\kestrane\\zantor_basic\\status_log\" />\r\n"
                                         "    <COMPORTS>\r\n") +
                                 default_comports +
                                 "    </COMPORTS>\r\n"
                                 "</CONFIG>\r\n");

    opened.document.clear();
    bind_top_level(opened.document);
    EXPECT_STREQ(xml_name(opened.document.root), "CONFIG");
    EXPECT_STREQ(xml_name(xml_first_child(opened.document.root)), "PATH_DATA_BIN");
}

TEST(TopLevel, TopLevelNamesAreExactPortNamesAndTypesIgnoreCase)
{
    Opened lower("<SETUP><comports><COMPORT type=\"direct\"/></comports></SETUP>");
    EXPECT_STREQ(xml_name(lower.top.comports), "COMPORTS");
    EXPECT_STREQ(xml_get_attr(lower.top.com_direct, "port"), "COM1");
    EXPECT_EQ(xml_next_sibling(xml_first_child(lower.document.root)), lower.top.path_bin);

    Opened mixed(
        "<SETUP><COMPORTS><comport port=\"C3\" type=\"DIRECT\"/><Comport port=\"C4\" type=\"Modem\"/>"
        "</COMPORTS></SETUP>");
    EXPECT_STREQ(xml_get_attr(mixed.top.com_direct, "port"), "C3");
    EXPECT_STREQ(xml_get_attr(mixed.top.com_modem, "port"), "C4");
    EXPECT_EQ(xml_next_sibling(mixed.top.com_modem), nullptr);
}

TEST(TopLevel, LastPortOfARoleWinsAndOtherPortsStay)
{
    Opened opened(
        "<SETUP><COMPORTS><COMPORT port=\"A\" type=\"direct\"/><COMPORT port=\"B\" type=\"usb\"/>"
        "<COMPORT port=\"C\"/><PORT type=\"modem\"/><COMPORT port=\"D\" type=\"direct\"/></COMPORTS></SETUP>");
    EXPECT_STREQ(xml_get_attr(opened.top.com_direct, "port"), "D");
    EXPECT_STREQ(xml_get_attr(opened.top.com_modem, "port"), "COM2");  // PORT is not a COMPORT
    TiXmlElement* port = xml_first_child(opened.top.comports);
    for (const char* name : {"A", "B", "C"}) {
        EXPECT_STREQ(xml_get_attr(port, "port"), name);
        port = xml_next_sibling(port);
    }
    EXPECT_STREQ(xml_name(port), "PORT");
    EXPECT_EQ(xml_next_sibling(xml_next_sibling(port)), opened.top.com_modem);
}

}  // namespace
