// The lenient number parsers applied to attribute values and edit-box texts,
// and the two path-text routines of the folder chooser. The parsers return an
// error flag: 0 for success, 1 for failure.
#ifndef ZANTOR_DOC_TEXT_PARSERS_H
#define ZANTOR_DOC_TEXT_PARSERS_H

#include <cstdint>

// Lenient signed decimal: skips blanks and tabs anywhere, the last sign wins,
// stops at the first other character with the flag set. The value read so far
// is always stored. Saturates at the 32-bit limit (flag set) instead of
// wrapping. max_count > 0 ends the reading after that many characters.
int parse_int(const char* text, int32_t* result, int max_count);
// Unsigned variant: "-" is an invalid character; saturates at 4294967295.
int parse_uint(const char* text, uint32_t* result, int max_count);
// Decimal number with fraction and exponent, as lenient as parse_int.
int parse_float(const char* text, double* result);
// Removes trailing "/" and "\" while the text is at least two characters long.
void strip_trailing_separators(char* path);
// Copies `text` into `dest` only when it fits whole (length < size); returns
// the length copied, or 0 with an empty destination.
int copy_bounded(char* dest, const char* text, int size);

#endif
