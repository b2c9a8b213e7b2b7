#include "cli/encoding.h"

#include <cstring>

std::string Utf8Output::Convert(std::string_view text) const { return Cp932ToUtf8(text); }

char* Utf8Output::ConvertCell(std::string_view text, char* out) const {
  // Every CP932 byte gives at most three UTF-8 bytes, so kCellRoom holds any cell.
  const std::string converted = Cp932ToUtf8(text.substr(0, kCellTextLimit));
  std::memcpy(out, converted.data(), converted.size());
  return out + converted.size();
}
