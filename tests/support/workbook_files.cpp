#include "support/workbook_files.h"

#include <minizip/ioapi.h>
#include <minizip/zip.h>

#include <cstdio>
#include <stdexcept>

#include "support/core_files.h"

namespace {

const std::string main_ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const std::string relations_ns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// minizip writes to a file; the tests want the bytes.
template <typename Write>
std::string zip_through_file(Write write)
{
    TempDir dir;
    const std::string path = dir.file("archive.zip");
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) {
        throw std::runtime_error("cannot create " + path);
    }
    write(zip);
    zipClose(zip, nullptr);
    return read_bytes(path);
}

void add_part(zipFile zip, const std::string& name, const std::string& content)
{
    zip_fileinfo info = {};
    zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6, 1);
    zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
    zipCloseFileInZip(zip);
}

}  // namespace

std::string zip_bytes(const ZipParts& parts)
{
    return zip_through_file([&](zipFile zip) {
        for (const auto& part : parts) {
            add_part(zip, part.first, part.second);
        }
    });
}

ZipParts workbook_parts(const std::string& sheet_data, const std::string& shared_strings,
                        const std::string& number_format)
{
    const std::string relation = "<Relationship Id=\"rId";
    const std::string type = "\" Type=\"" + relations_ns + "/";
    return {{"xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook " + main_ns + " xmlns:r=\"" +
                                    relations_ns + "\"><sheets><sheet name=\"Stations\" sheetId=\"1\" r:id=\"rId1\"/>" +
                                    "</sheets></workbook>"},
            {"xl/_rels/workbook.xml.rels",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships "
             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                 relation + "2" + type + "styles\" Target=\"styles.xml\"/>" + relation + "1" + type +
                 "worksheet\" Target=\"worksheets/sheet1.xml\"/>" + relation + "3" + type +
                 "sharedStrings\" Target=\"/xl/sharedStrings.xml\"/></Relationships>"},
            {"xl/styles.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<styleSheet " + main_ns +
                                  "><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"" + number_format +
                                  "\"/></numFmts><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/>"
                                  "</cellXfs></styleSheet>"},
            {"xl/sharedStrings.xml",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst " + main_ns + ">" + shared_strings + "</sst>"},
            {"xl/worksheets/sheet1.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet " + main_ns +
                                             "><sheetData>" + sheet_data + "</sheetData></worksheet>"}};
}

std::string inflating_workbook(size_t size)
{
    ZipParts parts = workbook_parts("");
    parts.pop_back();
    return zip_through_file([&](zipFile zip) {
        for (const auto& part : parts) {
            add_part(zip, part.first, part.second);
        }
        zip_fileinfo info = {};
        zipOpenNewFileInZip64(zip, "xl/worksheets/sheet1.xml", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1,
                              1);
        const std::string blanks(1 << 20, ' ');
        for (size_t written = 0; written < size; written += blanks.size()) {
            zipWriteInFileInZip(zip, blanks.data(), static_cast<unsigned>(blanks.size()));
        }
        zipCloseFileInZip(zip);
    });
}
