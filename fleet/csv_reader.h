// Reading a CSV file that a spreadsheet program saved: UTF-8 with or
// without a byte-order mark, or Windows-1252 when the text is not UTF-8;
// ";", "," or a tab between cells, whichever the header row uses; RFC 4180
// quoting, so that a quoted cell may hold separators, doubled quotes and
// line ends.
#ifndef ZANTOR_FLEET_CSV_READER_H
#define ZANTOR_FLEET_CSV_READER_H

#include <string>
#include <vector>

#include "fleet/sheet_row.h"

// The file's bytes as UTF-8, its byte-order mark dropped. A text that is
// not valid UTF-8 is taken for Windows-1252.
std::string csv_text_as_utf8(const std::string& bytes);

// The separator of the header row (its first line): the one of ";", ","
// and tab found there most often outside quotes; ";" when there is none.
char csv_separator(const std::string& text);

// Every row of the text. A line end is CR LF, LF or CR; the last line may
// lack one. False, with the line and the reason, when a quoted cell is not
// closed, or the text passes a limit of sheet_row.h (checked as it is read,
// so that a line of a hundred megabytes is refused at once).
bool read_csv_records(const std::string& text, char separator, std::vector<SheetRow>& records, int& bad_line,
                      std::string& reason);

#endif
