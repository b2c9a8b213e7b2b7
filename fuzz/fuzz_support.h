#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "records/record_table.h"
#include "records/value_parse.h"
#include "structdef/definition_parser.h"

// libFuzzer reports the abort as a finding, with the input that caused it.
#define FUZZ_CHECK(holds) \
  ((holds) ? void() : (std::fprintf(stderr, "check failed: %s\n", #holds), std::abort()))

// Exactly as long as the data, so that AddressSanitizer catches a read past it.
inline DataBuffer ExactBuffer(const std::vector<std::uint8_t>& bytes) {
  DataBuffer data{std::make_unique<std::uint8_t[]>(bytes.size()), std::uint32_t(bytes.size())};
  std::copy(bytes.begin(), bytes.end(), data.bytes.get());
  return data;
}

// The input as one structure of a definition, parsed the way the program parses the selected
// one, and the rest to draw on.
struct LayoutInput : FuzzedDataProvider {
  LayoutInput(const std::uint8_t* input, std::size_t size) : FuzzedDataProvider(input, size) {
    const std::string definition = ConsumeRandomLengthString(1024);
    std::vector<std::string> names;
    ListStructNamesInBytes(definition, [&](std::string_view name) { names.emplace_back(name); });
    const std::uint32_t pick = ConsumeIntegral<std::uint32_t>();
    if (!names.empty())
      LoadStructDefFromBytes(definition, names[pick % names.size()], def, [](auto, auto) {});
    BuildColumnList(def, columns);
    n = static_cast<int>(columns.size());
  }
  StructDef def;
  ColumnList columns;
  int n = 0;
};

// Whether a field shows as `text`: a String up to its first zero byte, a number that parses back
// to it (little-endian, cut to its width); both cut to a cell's limit.
inline bool Shows(const std::uint8_t* field, std::int64_t length, TypeCode type,
                  std::string_view text) {
  const std::string_view bytes(reinterpret_cast<const char*>(field),
                               std::min<std::int64_t>(length, kCellTextLimit));
  if (type == TypeCode::String)
    return text.substr(0, kCellTextLimit) == bytes.substr(0, bytes.find('\0'));
  std::uint32_t held = 0;
  for (int i = TypeWidth(type) - 1; i >= 0; --i) held = (held << 8) | field[i];
  return length > 0 && held == (ParseNumberAs(type, text) & (~0u >> (32 - 8 * length)));
}
