// The top level of the settings file: after New it builds the default
// document, after Open it completes what the file lacks. Present elements
// keep their place and content; missing ones are appended at the end.
#include "doc/top_level.h"

namespace {

TiXmlElement* append_comport(TiXmlElement* comports, const char* port, const char* rate, const char* type,
                             const char* description)
{
    TiXmlElement* comport = xml_add_child(comports, "COMPORT");
    xml_set_attr(comport, "port", port);
    xml_set_attr(comport, "rate", rate);
    xml_set_attr(comport, "type", type);
    xml_set_attr(comport, "description", description);
    return comport;
}

}  // namespace

TopLevelElements bind_top_level(myXMLdocument& document)
{
    TopLevelElements top;
    TiXmlElement* root = document.find_path("/");
    if (root == nullptr) {
        return top;
    }
    top.path_bin = document.find_path("/PATH_DATA_BIN");
    top.path_xml = document.find_path("/PATH_DATA_XML");
    top.path_log = document.find_path("/PATH_STATUS_LOG");
    top.comports = document.find_path("/COMPORTS");
    top.stations = document.find_path("/STATIONS");
    if (top.path_bin == nullptr) {
        top.path_bin = xml_add_child(root, "PATH_DATA_BIN");
        xml_set_attr(top.path_bin, "path", "c:\\kestrane\\data_bin");
    }
    if (top.path_xml == nullptr) {
        top.path_xml = xml_add_child(root, "PATH_DATA_XML");
        xml_set_attr(top.path_xml, "path", "c:\\kestrane\\data_xml");
    }
    if (top.path_log == nullptr) {
        top.path_log = xml_add_child(root, "PATH_STATUS_LOG");
        xml_set_attr(top.path_log, "path", "c:\\kestrane\\zantor_basic\\status_log");
    }
    if (top.comports == nullptr) {
        top.comports = xml_add_child(root, "COMPORTS");
    }
    if (top.stations == nullptr) {
        top.stations = xml_add_child(root, "STATIONS");
    }

    // The port roles are recognised ignoring letter case; with several
    // ports of one role the last one in the file is the one shown and edited.
    for (TiXmlElement* child = xml_first_child(top.comports); child != nullptr; child = xml_next_sibling(child)) {
        if (!xml_text_equals(xml_name(child), "COMPORT")) {
            continue;
        }
        if (xml_attr_equals(child, "type", "direct")) {
            top.com_direct = child;
        }
        if (xml_attr_equals(child, "type", "modem")) {
            top.com_modem = child;
        }
    }
    if (top.com_direct == nullptr) {
        top.com_direct = append_comport(top.comports, "COM1", "38400", "direct", "cable connection (USB)");
    }
    if (top.com_modem == nullptr) {
        top.com_modem = append_comport(top.comports, "COM2", "9600", "modem", "standard modem");
    }
    return top;
}
