#pragma once

// Helpers shared by the fuzz harnesses: a failed check aborts, which libFuzzer reports as a
// finding with the input that caused it.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/data_buffer.h"
#include "structdef/definition_parser.h"
#include "structdef/record_layout.h"

namespace fuzz {

inline void Check(bool holds, const char* what) {
  if (!holds) std::fprintf(stderr, "check failed: %s\n", what), std::abort();
}

// A buffer exactly as long as the data, so that AddressSanitizer catches a read past it.
inline DataBuffer ExactBuffer(const std::vector<std::uint8_t>& bytes) {
  DataBuffer data;
  data.bytes.reset(new std::uint8_t[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), data.bytes.get());
  data.byteCount = static_cast<std::uint32_t>(bytes.size());
  return data;
}

// One structure of the definition bytes, chosen by `pick`, parsed the way the program parses
// the selected one; reports are dropped.
struct Layout {
  StructDef structDef;
  ColumnList columns;
};

inline Layout ParseLayout(std::string_view definition, std::uint32_t pick) {
  std::vector<std::string> names;
  ListStructNamesInBytes(definition, [&](std::string_view name) { names.emplace_back(name); });
  Layout layout;
  if (!names.empty()) {
    LoadStructDefFromBytes(definition, names[pick % names.size()], layout.structDef,
                           [](auto, auto) {});
  }
  BuildColumnList(layout.structDef, layout.columns);
  return layout;
}

inline bool IsNumeric(TypeCode type) {
  return type != TypeCode::Void && type != TypeCode::String && TypeWidth(type) > 0;
}

// The little-endian value of a number field, and the mask of its width.
inline std::uint32_t FieldValue(const std::uint8_t* field, TypeCode type) {
  std::uint32_t value = 0;
  for (int i = TypeWidth(type) - 1; i >= 0; --i) value = (value << 8) | field[i];
  return value;
}
inline std::uint32_t WidthMask(TypeCode type) { return 0xFFFFFFFFu >> (32 - 8 * TypeWidth(type)); }

}  // namespace fuzz
