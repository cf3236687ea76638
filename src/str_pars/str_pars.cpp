#include "str_pars/str_pars.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <locale.h>
#include <stdlib.h>

#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsIntChar(char c) { return IsDigit(c) || c == '+' || c == '-'; }
bool IsRealChar(char c) { return RealCharacters.find(c) != std::string_view::npos; }

// The common scan: advances the cursor over characters of one class and
// returns what it passed.
template <typename Class>
std::string_view Scan(std::string_view line, int& cursor, Class inClass) {
  if (cursor < 1) cursor = 1;
  const auto start = static_cast<std::size_t>(cursor) - 1;
  std::size_t pos = start;
  while (pos < line.size() && inClass(line[pos])) ++pos;
  cursor = static_cast<int>(pos) + 1;
  return start < line.size() ? line.substr(start, pos - start) : std::string_view();
}

// The "C" locale object for strtold_l, created once and never changed, so the
// conversion follows neither the user's locale nor any program-wide setting.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

// Checks the grammar a real must follow: an optional sign, digits with at
// most one point (at least one digit or the point), an optional exponent with
// an optional sign and at least one digit, and nothing after.
struct TRealShape {
  bool Valid = false;
  bool MantissaHasDigits = false;
  bool Negative = false;
};

TRealShape CheckRealShape(std::string_view text) {
  TRealShape shape;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) shape.Negative = text[i++] == '-';
  bool point = false;
  bool digits = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits && !point) return shape;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t expStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == expStart) return shape;
  }
  shape.Valid = i == text.size();
  shape.MantissaHasDigits = digits;
  return shape;
}

}  // namespace

std::string TableCell(std::string_view text) {
  std::string cell(text);
  for (char& c : cell)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return cell;
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

void SkipBlanks(std::string_view line, int& cursor) { Scan(line, cursor, IsBlank); }

std::string ReadWord(std::string_view line, int& cursor) {
  return std::string(Scan(line, cursor, IsLetter));
}

std::int32_t ReadInt(std::string_view line, int& cursor) {
  return StrToInt(Scan(line, cursor, IsIntChar));
}

long double ReadReal(std::string_view line, int& cursor) {
  std::string token(Scan(line, cursor, IsRealChar));
  if (const auto comma = token.find(','); comma != std::string::npos) token[comma] = '.';
  auto exponent = token.find('D');
  if (exponent == std::string::npos) exponent = token.find('d');
  if (exponent != std::string::npos) token[exponent] = 'E';
  return StrToFloat(token);
}

double ReadDouble(std::string_view line, int& cursor) {
  const auto start = static_cast<std::size_t>(std::max(cursor, 1)) - 1;
  const auto value = static_cast<double>(ReadReal(line, cursor));
  // The number is named as it stands in the line, where the user looks for it.
  if (std::isinf(value)) throw EConvertError::InvalidFloat(std::string(line.substr(start, static_cast<std::size_t>(cursor - 1) - start)));
  return value;
}

std::optional<double> TryReadDouble(std::string_view line, int& cursor) {
  int scan = cursor;
  try {
    const double value = ReadDouble(line, scan);
    cursor = scan;
    return value;
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

char ReadChar(std::string_view line, int& cursor) {
  if (cursor < 1 || static_cast<std::size_t>(cursor) > line.size()) return '\0';
  return line[static_cast<std::size_t>(cursor++) - 1];
}

std::string ReadUntil(std::string_view line, char delimiter, int& cursor) {
  return std::string(Scan(line, cursor, [delimiter](char c) { return c != delimiter; }));
}

std::int32_t StrToInt(std::string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  if (i == token.size()) throw EConvertError::InvalidInteger(std::string(token));
  long long value = 0;
  for (; i < token.size(); ++i) {
    if (!IsDigit(token[i])) throw EConvertError::InvalidInteger(std::string(token));
    value = value * 10 + (token[i] - '0');
    if (value > static_cast<long long>(INT32_MAX) + 1)
      throw EConvertError::InvalidInteger(std::string(token));
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) throw EConvertError::InvalidInteger(std::string(token));
  return static_cast<std::int32_t>(value);
}

long double StrToFloat(std::string_view token) {
  const TRealShape shape = CheckRealShape(token);
  if (!shape.Valid) throw EConvertError::InvalidFloat(std::string(token));
  // A mantissa of the point alone reads as zero, whatever exponent follows.
  if (!shape.MantissaHasDigits) return shape.Negative ? -0.0L : 0.0L;
  const std::string text(token);
  errno = 0;
  char* end = nullptr;
  const long double value = strtold_l(text.c_str(), &end, CLocale());
  if (end != text.c_str() + text.size() || (errno == ERANGE && std::isinf(value)))
    throw EConvertError::InvalidFloat(text);
  return value;
}

}  // namespace harvex
