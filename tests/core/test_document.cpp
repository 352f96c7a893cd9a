// The document wrapper and the element functions: lookups, attribute access,
// typed reads, clearing and copying, the dump into the log, and loading.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "doc/Lib_cpp.h"
#include "doc/Lib_xml.h"
#include "doc/top_level.h"
#include "doc/xml_load.h"
#include "doc/xml_precheck.h"
#include "doc/xml_writer.h"
#include "support/core_files.h"
#include "support/core_tree.h"
#include "support/hostile_texts.h"

namespace {

std::string element_text(const TiXmlNode* node)
{
    std::string out;
    write_node_text(out, node, 0);
    return out;
}

std::vector<std::string> log_entries;

void collect(const char* entry)
{
    log_entries.push_back(entry);
}

// Captures the log while it lives.
struct LogCapture {
    LogCapture()
    {
        log_entries.clear();
        set_log_destination(collect);
    }
    ~LogCapture() { set_log_destination(nullptr); }
};

const char* const stations_xml =
    "<SETUP><STATIONS><STATION id=\"1\"/><STATION id=\"2\"><A><B/></A></STATION></STATIONS><Other/></SETUP>";

TEST(Lookup, AbsolutePathsStartAtTheRoot)
{
    ParsedXml parsed(stations_xml);
    myXMLdocument& doc = parsed;
    EXPECT_EQ(doc.find_path("/"), doc.root);
    EXPECT_EQ(doc.find_path("STATIONS"), nullptr);
    EXPECT_EQ(doc.find_path(nullptr), nullptr);
    EXPECT_EQ(doc.find_path("//STATIONS/"), doc.find_path("/STATIONS"));
    EXPECT_STREQ(xml_get_attr(doc.find_path("/STATIONS/STATION"), "id"), "1");  // first match
    EXPECT_EQ(doc.find_path("/stations"), nullptr);                             // letter case counts
    EXPECT_STREQ(xml_name(doc.find_path("/STATIONS/STATION/A/B")), nullptr);    // only the first STATION
}

TEST(Lookup, RelativePathsAndSegmentLength)
{
    ParsedXml parsed(stations_xml);
    TiXmlElement* root = parsed.root;
    EXPECT_EQ(xml_find_path(root, ""), root);
    EXPECT_EQ(xml_find_path(root, nullptr), root);
    EXPECT_EQ(xml_find_path(nullptr, "STATIONS"), nullptr);
    EXPECT_EQ(xml_find_path(root, "Missing/STATIONS"), nullptr);
    EXPECT_STREQ(xml_name(xml_find_path(root, "STATIONS/STATION")), "STATION");

    std::string name254(254, 'N');
    std::string name255(255, 'N');
    xml_add_child(root, name254.c_str());
    xml_add_child(root, name255.c_str());
    EXPECT_NE(xml_find_path(root, name254.c_str()), nullptr);
    EXPECT_EQ(xml_find_path(root, name255.c_str()), nullptr);
    EXPECT_EQ(xml_find_path(root, (name255 + "/x").c_str()), nullptr);  // not the element reached so far
}

TEST(Attributes, GettersGiveNullEmptyOrZeroWhenMissing)
{
    ParsedXml parsed("<R a=\"12abc\" b=\"abc\" c=\"-7\" d=\" 4 2\" e=\"1.5\" f=\"\" type=\"direct\"/>");
    TiXmlElement* r = parsed.root;
    const std::pair<const char*, int> ints[] = {{"a", 12}, {"b", 0}, {"c", -7}, {"d", 42},
                                                {"e", 1},  {"f", 0}, {"zz", 0}};
    for (const auto& c : ints) {
        EXPECT_EQ(xml_get_attr_int(r, c.first), c.second) << c.first;
    }
    EXPECT_EQ(xml_get_attr_int(nullptr, "a"), 0);
    EXPECT_EQ(xml_get_attr(r, "zz"), nullptr);
    EXPECT_EQ(xml_get_attr(r, nullptr), nullptr);
    EXPECT_STREQ(xml_get_attr_text(r, "zz"), "");
    EXPECT_STREQ(xml_get_attr_text(nullptr, "a"), "");
    EXPECT_STREQ(xml_get_attr_text(r, "c"), "-7");

    EXPECT_TRUE(xml_attr_equals(r, "type", "Direct"));
    EXPECT_FALSE(xml_attr_equals(r, "type", "direct "));
    EXPECT_FALSE(xml_attr_equals(r, "type", nullptr));
    EXPECT_FALSE(xml_attr_equals(r, "zz", ""));
    EXPECT_FALSE(xml_attr_equals(nullptr, "type", "direct"));
}

TEST(Attributes, SettingKeepsThePlaceAndAppendsNewOnes)
{
    TiXmlElement* e = xml_add_child(nullptr, "E");
    xml_set_attr(e, "a", "1");
    xml_set_attr(e, "b", "2");
    xml_set_attr(e, "a", "3");
    xml_set_attr(e, "c", nullptr);
    xml_set_attr_int(e, "d", -2147483647 - 1);
    xml_set_attr(e, nullptr, "x");
    xml_set_attr(nullptr, "a", "x");
    EXPECT_EQ(element_text(e), "<E a=\"3\" b=\"2\" c=\"\" d=\"-2147483648\" />");
    xml_remove_attrs(e);
    EXPECT_EQ(xml_first_attr(e), nullptr);
    delete e;
    EXPECT_EQ(xml_attr_name(nullptr), nullptr);
    EXPECT_EQ(xml_attr_value(nullptr), nullptr);
    EXPECT_EQ(xml_next_attr(nullptr), nullptr);
}

TEST(TypedRead, KindsConversionsAndTraceLines)
{
    ParsedXml parsed("<R s=\"abcdef\" i=\"-12\" bad=\"12x\" u=\"7\" f=\"2.5\"/>");
    TiXmlElement* r = parsed.root;
    LogCapture log;

    char chars[4] = "zzz";
    EXPECT_FALSE(xml_read_attr(r, "s", convert_chars, chars, 4, "T"));
    EXPECT_STREQ(chars, "abc");
    char wide[16];
    EXPECT_TRUE(xml_read_attr(r, "s", convert_chars, wide, 16, "T"));
    int32_t number = 0;
    EXPECT_TRUE(xml_read_attr(r, "i", convert_int, &number, 0, "T"));
    EXPECT_EQ(number, -12);
    EXPECT_FALSE(xml_read_attr(r, "bad", convert_int, &number, 0, "T"));
    EXPECT_EQ(number, 12);  // the value read so far is stored
    uint32_t unsigned_number = 0;
    EXPECT_TRUE(xml_read_attr(r, "u", convert_uint, &unsigned_number, 0, "T"));
    EXPECT_EQ(unsigned_number, 7u);
    double real = 0;
    EXPECT_TRUE(xml_read_attr(r, "f", convert_double, &real, 0, "T"));
    Tmy_string text;
    EXPECT_TRUE(xml_read_attr(r, "s", convert_string, &text, 0, "T"));
    EXPECT_STREQ(text.c_str(), "abcdef");
    EXPECT_TRUE(xml_read_attr(r, "i", convert_int, &number, 0, nullptr));

    EXPECT_EQ(log_entries, (std::vector<std::string>{"T  s=\"abcdef\"", "T  i=\"-12\"", "T  f=\"2.500000\""}));
}

TEST(TypedRead, MissingPiecesLeaveTheDestinationExceptACharBuffer)
{
    ParsedXml parsed("<R i=\"5\"/>");
    TiXmlElement* r = parsed.root;
    int32_t number = 77;
    EXPECT_FALSE(xml_read_attr(r, "zz", convert_int, &number, 0, "T"));
    EXPECT_FALSE(xml_read_attr(nullptr, "i", convert_int, &number, 0, "T"));
    EXPECT_FALSE(xml_read_attr(r, nullptr, convert_int, &number, 0, "T"));
    EXPECT_EQ(number, 77);
    EXPECT_FALSE(xml_read_attr(r, "i", convert_int, nullptr, 0, "T"));
    char chars[4] = "zzz";
    EXPECT_FALSE(xml_read_attr(r, "zz", convert_chars, chars, 4, "T"));
    EXPECT_STREQ(chars, "");
    EXPECT_FALSE(xml_read_attr(r, "i", 9, &number, 0, "T"));
}

TEST(Structure, AddRemoveClearAndCopy)
{
    TiXmlElement* detached = xml_add_child(nullptr, "STATION");
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(detached->Parent(), nullptr);
    EXPECT_EQ(xml_add_child(detached, nullptr), nullptr);

    ParsedXml parsed("<R a=\"1\">text<A x=\"1\"><B/></A><!--c--><C/></R>");
    TiXmlElement* r = parsed.root;
    TiXmlElement* a = xml_first_child(r);
    xml_remove_child(detached, a);  // not its child: nothing happens
    EXPECT_EQ(xml_first_child(r), a);

    xml_set_attr(detached, "keep", "k");
    xml_add_child(detached, "OLD");
    xml_copy(detached, r);
    EXPECT_EQ(element_text(detached),
              "<STATION keep=\"k\" a=\"1\">\r\n    <OLD />\r\n    <A x=\"1\">\r\n"
              "        <B />\r\n    </A>\r\n    <C />\r\n</STATION>");

    xml_remove_children(r);
    EXPECT_EQ(element_text(r), "<R a=\"1\">text\r\n    <!--c-->\r\n</R>");
    xml_clear(r);
    EXPECT_EQ(element_text(r), "<R />");

    xml_remove_child(detached, xml_first_child(detached));
    EXPECT_STREQ(xml_name(xml_first_child(detached)), "A");
    xml_copy(nullptr, r);
    xml_copy(detached, nullptr);
    xml_clear(nullptr);
    xml_remove_child(nullptr, nullptr);
    delete detached;
}

// A copy into the source itself or into one of its children appended to
// the list it walked and never ended.
TEST(Elements, CopyIntoItsOwnSourceCopiesTheSourceAsItWas)
{
    ParsedXml parsed("<R a=\"1\"><A/></R>");
    TiXmlElement* r = parsed.root;
    xml_copy(r, r);
    EXPECT_EQ(element_text(r), "<R a=\"1\">\r\n    <A />\r\n    <A />\r\n</R>");
    xml_copy(xml_first_child(r), r);
    EXPECT_EQ(element_text(xml_first_child(r)), "<A a=\"1\">\r\n    <A />\r\n    <A />\r\n</A>");
}

// Swapping moves the nodes: each child then names its new parent, so that
// adding, removing and destroying go through the element that holds it.
TEST(Elements, SwappingChildrenMovesEveryNodeAndItsParent)
{
    ParsedXml parsed("<R><A x=\"1\"><B/>text<!--c--></A><E/></R>");
    TiXmlElement* a = xml_first_child(parsed.root);
    TiXmlElement* e = xml_next_sibling(a);
    xml_swap_children(a, e);
    EXPECT_EQ(element_text(parsed.root),
              "<R>\r\n    <A x=\"1\" />\r\n    <E>\r\n        <B />text\r\n        <!--c-->\r\n    </E>\r\n</R>");
    for (const TiXmlNode* child = e->FirstChild(); child != nullptr; child = child->NextSibling()) {
        EXPECT_EQ(child->Parent(), e);
    }
    xml_add_child(a, "N");
    xml_remove_child(e, xml_first_child(e));
    EXPECT_EQ(
        element_text(parsed.root),
        "<R>\r\n    <A x=\"1\">\r\n        <N />\r\n    </A>\r\n    <E>text\r\n        <!--c-->\r\n    </E>\r\n</R>");
    // An element and one it holds cannot trade children: nothing moves.
    xml_swap_children(parsed.root, a);
    xml_swap_children(a, nullptr);
    EXPECT_STREQ(xml_name(xml_first_child(a)), "N");
}

TEST(Wrapper, ConstructionAndClearKeepTheRootAndTopLevelNodes)
{
    myXMLdocument setup("SETUP");
    EXPECT_STREQ(xml_name(setup.root), "SETUP");
    myXMLdocument nameless(nullptr);
    EXPECT_EQ(nameless.root, nullptr);
    nameless.clear();
    EXPECT_EQ(nameless.find_path("/"), nullptr);

    ParsedXml parsed("<?xml version=\"1.0\"?><!--top--><CONFIG a=\"1\"><X/></CONFIG>");
    parsed.clear();
    EXPECT_EQ(write_document_text(*parsed.doc), "<?xml version=\"1.0\" ?>\r\n<!--top-->\r\n<CONFIG />\r\n");
}

TEST(Dump, AttributesAlignAndEmptyElementsCloseDirectly)
{
    myXMLdocument setup("SETUP");
    bind_top_level(setup);
    TiXmlElement* station = xml_add_child(setup.find_path("/STATIONS"), "STATION");
    xml_set_attr(station, "id", "7");
    xml_set_attr(station, "phone_nbr", "+33 <1>");
    xml_set_attr(station, "pin", "\xE9");
    xml_set_attr(station, "description", "\x01\x7F\"'&");
    LogCapture log;
    xml_dump(setup.root, 0, -1);
    std::vector<std::string> expected = {
        "<SETUP >",
        "    <PATH_DATA_BIN path=\"c:\\kestrane\\data_bin\"/>",
        "    <PATH_DATA_XML path=\"c:\\kestrane\\data_xml\"/>",
        "    <PATH_STATUS_LOG path=\"c:\\kestrane\\zantor_basic\\status_log\"/>",
        "    <COMPORTS >",
        "        <COMPORT port=\"COM1\"\r\n                 rate=\"38400\"\r\n                 type=\"direct\"\r\n"
        "                 description=\"cable connection (USB)\"/>",
        "        <COMPORT port=\"COM2\"\r\n                 rate=\"9600\"\r\n                 type=\"modem\"\r\n"
        "                 description=\"standard modem\"/>",
        "    </COMPORTS>",
        "    <STATIONS >",
        "        <STATION id=\"7\"\r\n                 phone_nbr=\"+33 &lt;1&gt;\"\r\n                 "
        "pin=\"&#233;\"\r\n                 description=\"&#1;\x7F&quot;&apos;&amp;\"/>",
        "    </STATIONS>",
        "</SETUP>",
    };
    EXPECT_EQ(log_entries, expected);
}

TEST(Dump, LevelsTextAndDepth)
{
    ParsedXml parsed("<A><B>hi &amp; bye<C/></B><D/></A>");
    LogCapture log;
    xml_dump(parsed.root, 0, 0);
    xml_dump(parsed.root, 0, 1);
    xml_dump(xml_first_child(parsed.root), 30, -1);
    xml_dump(nullptr, 0, -1);
    std::string indent80(80, ' ');
    std::vector<std::string> expected = {
        "<A/>",
        "<A >",
        "    <B >",
        "    hi &amp; bye",
        "    </B>",
        "    <D/>",
        "</A>",
        indent80 + "<B >",
        indent80 + "hi &amp; bye",
        indent80 + "<C/>",
        indent80 + "</B>",
    };
    EXPECT_EQ(log_entries, expected);
}

// ---- loading ----

class Loading : public ::testing::Test {
protected:
    TempDir dir;
    myXMLdocument document{"SETUP"};

    // Loads `bytes` from a file; the document's previous content is a station list.
    TiXmlElement* load(const std::string& bytes)
    {
        bind_top_level(document);
        write_bytes(dir.file("settings.xml"), bytes);
        return document.load_file(dir.file("settings.xml").c_str());
    }

    void expect_refused(const std::string& bytes, const std::string& reason)
    {
        EXPECT_EQ(load(bytes), nullptr);
        EXPECT_EQ(document.root, nullptr);
        EXPECT_EQ(document.doc->FirstChild(), nullptr) << "no usable tree may stay";
        EXPECT_NE(document.error_text().find(reason), std::string::npos) << document.error_text();
    }
};

TEST_F(Loading, AnyRootNameLoadsAndTopLevelNodesStay)
{
    TiXmlElement* root = load("<?xml version=\"1.0\"?>\r\n<!-- fleet -->\r\n<CONFIG a='1'><X/></CONFIG>\r\n");
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(xml_name(root), "CONFIG");
    EXPECT_EQ(document.root, root);
    EXPECT_EQ(document.error_text(), "");
    document.clear();
    EXPECT_STREQ(xml_name(document.find_path("/")), "CONFIG");
}

TEST_F(Loading, FailuresLeaveNoTreeAndKeepTheReason)
{
    expect_refused("", "empty file");
    expect_refused("<SETUP><STATIONS>", "the file ends inside STATIONS (truncated?)");
    expect_refused("<SETUP>\n  <A b=\"1>\n</SETUP>", "line 2, column 8: a quote is missing or unclosed");
    expect_refused("<SETUP>\n  <A b=\"1\">\n</SETUP>", "line 3, column 1: </SETUP> closes A, opened at line 2");
    expect_refused(std::string("<SETUP>\0</SETUP>", 16), "zero byte");
    expect_refused("<?xml version=\"1.0\"?>\n", "no element");
    expect_refused("<SETUP/><?xml version=\"1\"  \n ", "declaration is not terminated");
    expect_refused("\xEF\xBB\xBF \r\n", "empty file");
    // What an operator picks by mistake, and a file cut short, are named as such.
    expect_refused("id;description\r\n12;Pump\r\n", "not an XML file");
    expect_refused("\xEF\xBB\xBF{\"stations\": []}", "not an XML file");
    expect_refused("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head></html>",
                   "not a settings file: its root element is html, not SETUP");
    expect_refused("<SETUP><STATIONS><STATION id=\"4048\"/><STATION id=\"4049\" description=\"Pu",
                   "the file ends inside STATION 4049 (truncated?)");

    EXPECT_EQ(document.load_file(dir.file("missing.xml").c_str()), nullptr);
    EXPECT_EQ(document.error_text(), "cannot open: No such file or directory");
    EXPECT_EQ(document.load_file(dir.path().c_str()), nullptr);
    EXPECT_NE(document.error_text().find("Is a directory"), std::string::npos) << document.error_text();
    EXPECT_EQ(document.error_text().find("a folder, not a settings file"), 0u) << "not \"cannot open\" on Windows";
}

// An "&" that starts no reference was dropped by the parser ("A&B" read
// "AB"), and a reference without its ";" swallowed the text up to a later
// ";": the next save stored the damage. Such a file is refused, and every XML
// error names its place and its likely cause. What the parser reads as it is
// written still loads.
TEST_F(Loading, XmlErrorsNameTheirPlaceAndCause)
{
    const struct {
        const char* bytes;
        const char* refused;  // part of the reason; null for a file that loads
        const char* a;        // then the value of the root's "a"
    } cases[] = {
        {"<SETUP a=\"A&B\"/>", "line 1, column 12: a bare \"&\": write &amp; for &", nullptr},
        {"<SETUP>\n x &amp b;</SETUP>", "line 2, column 4: a bare \"&\"", nullptr},
        {"<SETUP a='&nbsp;'/>", "column 11: unknown reference \"&nbsp;\": write &amp; for &", nullptr},
        {"<SETUP a=\"&#x2013 aval\" b=\"x1;\"/>", "column 11: the reference \"&#x2013\" lacks its \";\"", nullptr},
        {"<SETUP>&#12 t &#34;</SETUP>", "column 8: the reference \"&#12\" lacks its \";\"", nullptr},
        {"<SETUP a=\"&#;&#x;&#X41;\"/>", "column 11: a bare \"&\"", nullptr},
        {"<SETUP>&", "column 8: a bare \"&\"", nullptr},
        {"<SETUP a=\"&amp;&lt;&gt;&quot;&apos;&#65;&#x41;&#xe9;\"/>", nullptr, "&<>\"'AA\xE9"},
        // Above 255 the lowest byte stays (check warns); byte 0 ends the value.
        {"<SETUP a=\"&#x2013;&#0;x\"/>", nullptr, "\x13"},
        // Where the parser copies the bytes, an "&" is no reference.
        {"<!DOCTYPE SETUP SYSTEM '&'><?pi & ?><SETUP a=&b><!-- & --><![CDATA[&]]></SETUP>&", nullptr, "&b"},
        {"<SETUP>\n <A b=\"1\" c=\"2/>\n <B d=\"3\"/>\n</SETUP>",
         "line 2, column 13: a quote is missing or unclosed around the value of c in A", nullptr},
        {"<SETUP>\n <A b=1\"/>\n</SETUP>", "line 2, column 8: a quote is missing or unclosed", nullptr},
        {"<SETUP>\n <A>\n </B>\n</SETUP>", "line 3, column 2: </B> closes A, opened at line 2", nullptr},
        {"<SETUP>\n a < b\n</SETUP>", "line 2, column 4: a bare \"<\": write &lt; for <", nullptr},
        {"<SETUP>\n<!-- x\n</SETUP>", "line 2, column 1: a comment without its end \"-->\"", nullptr},
        {"<SETUP>\n <A b=\"x\"\n</SETUP>", "line 2, column 2: the tag A lacks its \">\"", nullptr},
        {"<SETUP>\n <STATION id=\"7\">\n  <A/>", "line 3, column 7: the file ends inside STATION 7 (truncated?)",
         nullptr},
        {"<SETUP>\n<A b=\"1\" b=\"2\"/>\n</SETUP>", "line 2, column 10: Error parsing Element", nullptr},
        {"\xFF\xFE<", "the file was saved as UTF-16: save it as UTF-8 or Windows-1252", nullptr},  // cut at its first 0
    };
    for (const auto& c : cases) {
        if (c.refused != nullptr) {
            expect_refused(c.bytes, c.refused);
            continue;
        }
        TiXmlElement* root = load(c.bytes);
        ASSERT_NE(root, nullptr) << c.bytes << ": " << document.error_text();
        EXPECT_STREQ(xml_get_attr(root, "a"), c.a) << c.bytes;
    }
}

TEST_F(Loading, NullFileNameLeavesTheDocumentAsItWas)
{
    bind_top_level(document);
    EXPECT_EQ(document.load_file(nullptr), nullptr);
    EXPECT_EQ(document.root, nullptr);
    EXPECT_NE(document.find_path("/STATIONS"), nullptr);
}

TEST_F(Loading, GarbageNeverCrashes)
{
    std::string garbage;
    uint32_t state = 12345;
    for (int i = 0; i < 100000; ++i) {
        state = state * 1103515245 + 12345;
        char c = static_cast<char>((state >> 16) & 0xFF);
        garbage += c == '\0' ? '<' : c;
    }
    load(garbage);
    EXPECT_EQ(document.root == nullptr, !document.error_text().empty());
    const char* fragments[] = {"<?xml ", "<?xml",     "<",      "<a",    "<a b", "<a b=", "<a b='",
                               "<!--",   "<![CDATA[", "<a>&#x", "<a>&#", "</",   "<!",    "<?"};
    for (const char* fragment : fragments) {
        load(fragment);
        EXPECT_EQ(document.root, nullptr) << fragment;
    }
}

TEST_F(Loading, ByteOrderMarkAndLineEnds)
{
    TiXmlElement* root = load("\xEF\xBB\xBF<SETUP a=\"x\">\r<A/>\r\n<B/></SETUP>");
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(xml_get_attr(root, "a"), "x");
    EXPECT_STREQ(xml_name(xml_next_sibling(xml_first_child(root))), "B");

    // Every CR LF and every lone CR reads as one LF, wherever it stands.
    root = load("<SETUP a=\"1\r\n2\r3\r\r\n4\r\"/>\r");
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(xml_get_attr(root, "a"), "1\n2\n3\n\n4\n");
}

TEST_F(Loading, NoByteIsConvertedWhateverTheFileDeclares)
{
    const char* declarations[] = {"", "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                  "\xEF\xBB\xBF"};
    for (const char* declaration : declarations) {
        TiXmlElement* root = load(std::string(declaration) + "<SETUP a=\"&#xE9;\xE9&#233;&#x100;\"/>");
        ASSERT_NE(root, nullptr) << declaration;
        EXPECT_STREQ(xml_get_attr(root, "a"), "\xE9\xE9\xE9") << declaration;
    }
}

std::string nested(int levels, const std::string& inside = "")
{
    std::string text;
    for (int i = 0; i < levels; ++i) {
        text += "<a>";
    }
    text += inside;
    for (int i = 0; i < levels; ++i) {
        text += "</a>";
    }
    return text;
}

TEST_F(Loading, NestingDeeperThan256IsRefusedBeforeParsing)
{
    EXPECT_NE(load(nested(256)), nullptr);
    expect_refused(nested(257), "nested too deeply");
    expect_refused(nested(300).substr(0, 300 * 3), "nested too deeply");  // truncated after the start tags
    expect_refused(nested(1000000), "nested too deeply");
}

// A million "&lt;" took the check 40 seconds: each reference started the
// searches for the next "<", quote or ";" again.
TEST(NestingCheck, RunsOfReferencesCostOnePass)
{
    for (const std::string& text : reference_runs(100000)) {
        const XmlPrecheck check = precheck_xml(text.c_str(), text.size(), 256);
        EXPECT_LE(check.bytes_scanned, 3 * text.size()) << text.substr(0, 40);
    }
}

TEST(NestingCheck, CountsOnlyWhatTheParserSeesAsElements)
{
    const std::string deep = nested(300);
    EXPECT_EQ(precheck_xml(nested(3).c_str(), 9, 256).deepest, 3);
    std::string hidden[] = {
        "<R><!--" + deep + "--></R>",
        "<R><![CDATA[" + deep + "]]></R>",
        "<R a=\"" + deep + "\" b='" + deep + "'/>",
        "<?xml version=\"" + deep + "\"?><R/>",
        "<!-->" + deep + "-->",
    };
    for (const std::string& text : hidden) {
        EXPECT_LE(precheck_xml(text.c_str(), text.size(), 256).deepest, 1) << text.substr(0, 40);
    }
    // Markup that the parser reads through must not hide the levels after it.
    std::string tricky[] = {
        "<R b='<!--'>" + deep + "<!-- -->",
        "<R b=\"]]>\" c='\"'>" + deep,
        "<?xml version=\">\"?>" + deep,
        "<R><?pi <!-- ?>" + deep,
        "<R b=x>" + deep,
        "<R/ >" + deep,
    };
    for (const std::string& text : tricky) {
        EXPECT_GT(precheck_xml(text.c_str(), text.size(), 256).deepest, 256) << text.substr(0, 40);
    }
}

// Copies made of spare elements are the copies xml_copy makes, whatever the
// spares held (other names, attributes in another order, other nodes), and
// the holder of the spares ends empty.
TEST(Document, CopyReusingSparesIsTheCopyOfTheSource)
{
    const struct {
        const char* spares;
        const char* source;
    } cases[] = {
        {"<H><C/><A x='1' y='2'><B/></A><C/></H>", "<S v='0'><A x='9' y='2'><B z='1'/><B/></A><C/></S>"},
        {"<H><A y='1' x='2'/><E/></H>", "<S><A x='1'/><D w=''/><A/></S>"},
        {"<H/>", "<S><A><B/></A></S>"},
    };
    for (const auto& c : cases) {
        const ParsedXml spares(c.spares), source(c.source);
        std::unique_ptr<TiXmlElement> holder(xml_add_child(nullptr, "H"));
        holder->LinkEndChild(new TiXmlText("text"));  // a node that is no element goes
        xml_copy(holder.get(), spares.root);
        TiXmlElement expected("S"), made("S");
        xml_copy(&expected, source.root);
        xml_copy_reusing(&made, source.root, holder.get());
        EXPECT_EQ(render_tree(&expected), render_tree(&made)) << c.source;
        EXPECT_EQ(nullptr, holder->FirstChild()) << c.source;
    }
}

}  // namespace
