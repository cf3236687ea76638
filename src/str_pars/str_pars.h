// Scanning routines that pick blanks, words, characters and numbers out of one
// line. Each takes the line and a 1-based cursor, looks from the cursor on and
// moves the cursor past what it consumed. A cursor past the line's end reads
// as the end of the line. Character classes are plain ASCII; nothing here
// depends on the user's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace harvex {

// ASCII digits and letter case, the same in every locale.
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string UpperAscii(std::string_view text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// Skips spaces and tabs (no other white space).
void SkipBlanks(std::string_view line, int& cursor);

// Reads a run of ASCII letters, as they stand.
std::string ReadWord(std::string_view line, int& cursor);

// Reads a run of "+", "-" and digits as a 32-bit integer; raises EConvertError
// "'%s' is not a valid integer value" when the run is no integer.
std::int32_t ReadInt(std::string_view line, int& cursor);

// The characters a real's field is read from.
inline constexpr std::string_view RealCharacters = "+,-.0123456789DEde";

// Text for one cell of a tab-separated table: each tab, CR and LF becomes a
// blank, so that it never adds a column nor splits its row.
std::string TableCell(std::string_view text);

// Reads a run of RealCharacters as a real: the first "," becomes ".",
// the first "D" (else the first "d") becomes "E". Raises EConvertError
// "'%s' is not a valid floating point value" with the replaced token.
long double ReadReal(std::string_view line, int& cursor);

// ReadReal for a field kept as a 64-bit double: a value beyond the double's
// range is no value of the field and raises EConvertError "'%s' is not a
// valid floating point value" with the text as it stands in the line, rather
// than becoming an infinity.
double ReadDouble(std::string_view line, int& cursor);

// ReadDouble for values a reader can do without: none, the cursor left
// where it was, where the run at the cursor is no number a double holds.
std::optional<double> TryReadDouble(std::string_view line, int& cursor);

// One character of any kind; the character 0 past the end (cursor unmoved).
char ReadChar(std::string_view line, int& cursor);

// Everything up to, not including, the delimiter; the cursor stops on it.
std::string ReadUntil(std::string_view line, char delimiter, int& cursor);

// Converts a whole token as ReadInt and ReadReal do after their scans.
std::int32_t StrToInt(std::string_view token);
long double StrToFloat(std::string_view token);

}  // namespace harvex
