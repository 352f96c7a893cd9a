// The top level of the settings file: the root's three directory elements,
// the COM port list with its direct and modem ports, and the station list.
#ifndef ZANTOR_DOC_TOP_LEVEL_H
#define ZANTOR_DOC_TOP_LEVEL_H

#include "doc/Lib_xml.h"

// The seven elements the main window shows and edits.
struct TopLevelElements {
    TiXmlElement* path_bin = nullptr;    // PATH_DATA_BIN
    TiXmlElement* path_xml = nullptr;    // PATH_DATA_XML
    TiXmlElement* path_log = nullptr;    // PATH_STATUS_LOG
    TiXmlElement* com_direct = nullptr;  // COMPORT of type direct
    TiXmlElement* com_modem = nullptr;   // COMPORT of type modem
    TiXmlElement* comports = nullptr;    // COMPORTS
    TiXmlElement* stations = nullptr;    // STATIONS
};

// Finds the top-level elements of the document and appends, with their
// defaults, those that are missing. On an empty root this builds the whole
// default document. Returns all-null references when the document has no root.
TopLevelElements bind_top_level(myXMLdocument& document);

#endif
