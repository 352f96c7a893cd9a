#include "fleet/cli/files.h"

#include "doc/cp1252.h"
#include "doc/xml_load.h"
#include "fleet/station/text.h"

std::string file_name_text(const std::string& file_name)
{
    return without_controls(is_valid_utf8(file_name) ? file_name : utf8_from_cp1252(file_name));
}

myXMLdocument* load_settings(const CommandSpec& command, const std::string& file, CommandOutput& output)
{
    output.documents.emplace_back(new myXMLdocument(nullptr));
    myXMLdocument* document = output.documents.back().get();
    if (document->load_file(file.c_str()) == nullptr) {
        report_unreadable(command, file, document->error_text(), output);
        return nullptr;
    }
    const std::string foreign = foreign_root_error(document->root);
    if (!foreign.empty()) {
        report_unreadable(command, file, foreign, output);
        return nullptr;
    }
    return document;
}

void report_unreadable(const CommandSpec& command, const std::string& file_name, const std::string& reason,
                       CommandOutput& output)
{
    output.err += std::string("zantor-fleet ") + command.name + ": " + file_name_text(file_name) + ": " + reason + "\n";
    output.status = exit_trouble;
}
