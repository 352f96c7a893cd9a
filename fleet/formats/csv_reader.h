// Reading a CSV file that a spreadsheet program saved: UTF-8 with or
// without a byte-order mark, UTF-16 with one (a spreadsheet's "Unicode
// text"), or Windows-1252 when the text is not UTF-8; ";", "," or a tab
// between cells, as a first line "sep=;" names or else whichever the header
// row uses; RFC 4180 quoting, so that a quoted cell may hold separators,
// doubled quotes and line ends.
#ifndef ZANTOR_FLEET_FORMATS_CSV_READER_H
#define ZANTOR_FLEET_FORMATS_CSV_READER_H

#include <string>
#include <vector>

#include "fleet/formats/sheet_row.h"

// The file's bytes as UTF-8 `text`, its byte-order mark dropped: UTF-16
// (little or big endian) after its mark is converted, and a text that is
// not valid UTF-8 is taken for Windows-1252. False with `reason` for UTF-16
// without a mark, which no byte tells apart for sure, and for damaged
// UTF-16: either would be read as cells full of zero bytes.
bool csv_text_as_utf8(const std::string& bytes, std::string& text, std::string& reason);

// The separator that a first line "sep=;" names (also quoted, "sep=;"), as
// spreadsheet programs write and read it; 0 when the first line is none.
// `length` is that line's, its line end included.
char csv_separator_line(const std::string& text, size_t& length);

// The separator of the text: the one a "sep=" line names, else the one of
// ";", "," and tab found most often outside quotes in the header row (the
// first line); ";" when there is none.
char csv_separator(const std::string& text);

// Every row of the text. A line end is CR LF, LF or CR; the last line may
// lack one. False, with the line and the reason, when a quoted cell is not
// closed, or the text passes a limit of sheet_row.h (checked as it is read,
// so that a line of a hundred megabytes is refused at once).
bool read_csv_records(const std::string& text, char separator, std::vector<SheetRow>& records, int& bad_line,
                      std::string& reason);

// The rows of a CSV file's text, with its separator: a "sep=" line is
// skipped, and the lines keep their numbers in the file.
bool read_csv_sheet(const std::string& text, std::vector<SheetRow>& records, int& bad_line, std::string& reason);

#endif
