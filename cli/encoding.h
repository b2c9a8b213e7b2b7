#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "export/csv_import.h"

// Code page 932 text as UTF-8, by the platform's converter; a byte that starts no character
// becomes U+FFFD and the conversion goes on with the next byte.
std::string Cp932ToUtf8(std::string_view text);
// UTF-8 text in code page 932; none when it is not UTF-8 or has characters CP932 lacks.
std::optional<std::string> Utf8ToCp932(std::string_view text);

// Labels and String cells converted to UTF-8 on their way into the CSV, and back.
class Utf8Output : public CsvTextCodec {
 public:
  std::string Convert(std::string_view text) const override;
  char* ConvertCell(std::string_view text, char* out) const override;
  std::optional<std::string> ToCp932(std::string_view text) const override {
    return Utf8ToCp932(text);
  }
};
