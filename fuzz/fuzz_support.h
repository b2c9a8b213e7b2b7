#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "export/csv_writer.h"
#include "records/record_table.h"
#include "records/value_parse.h"
#include "structdef/definition_parser.h"

inline void FuzzCheck(bool ok, const char* condition) {
  if (ok) return;
  std::fprintf(stderr, "failed: %s\n", condition);
  std::abort();
}
#define FUZZ_CHECK(ok) FuzzCheck((ok), #ok)

// One RFC 4180 field: quoted where it holds a comma, a quote, CR or LF, its quotes doubled.
inline void AddField(std::string& csv, std::string_view text, bool first) {
  const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos;
  if (!first) csv += ',';
  if (quoted) csv += '"';
  for (char c : text) csv.append(quoted && c == '"' ? 2 : 1, c);
  if (quoted) csv += '"';
}

// CSV bytes kept in memory.
struct StringSink : ByteSink {
  bool Write(const char* bytes, std::size_t count) override {
    text.append(bytes, count);
    return true;
  }
  std::string text;
};

// Exactly as long as the data, so that AddressSanitizer catches a read past it.
inline DataBuffer ExactBuffer(const std::vector<std::uint8_t>& bytes) {
  DataBuffer data{std::make_unique<std::uint8_t[]>(bytes.size()), std::uint32_t(bytes.size())};
  std::copy(bytes.begin(), bytes.end(), data.bytes.get());
  return data;
}

// A definition of which any listed structure loads, its size the sum of its members, and a
// name that cannot be there leaves the structure as it was; the rest of the input.
struct LayoutInput : FuzzedDataProvider {
  LayoutInput(const std::uint8_t* input, std::size_t size) : FuzzedDataProvider(input, size) {
    std::vector<std::string> names;
    const auto list = [&](std::string_view found) { names.emplace_back(found); };
    ListStructNamesInBytes(definition, list);
    const auto name = names.empty() ? "" : names[ConsumeIntegral<std::uint32_t>() % names.size()];
    const auto ignore = [](auto, auto) {};
    const StructLookup missing = LoadStructDefFromBytes(definition, "no such", def, ignore);
    FUZZ_CHECK(missing == StructLookup::NotFound && def.members.empty() && def.recordSize == 0);
    FUZZ_CHECK(LoadStructDefFromBytes(definition, name, def, ignore) ==
               (names.empty() ? StructLookup::NotFound : StructLookup::Found));
    FUZZ_CHECK(def.recordSize == ComputeRecordSize(def.members));
    // Tens of thousands of columns cost milliseconds an input; the parser's column cap has tests
    // of its own. Such a layout keeps its first members only.
    std::int64_t elements = 0;
    for (std::size_t i = 0; i < def.members.size(); ++i) {
      const MemberDef& member = def.members[i];
      if (member.type != TypeCode::Void)
        elements += member.type == TypeCode::String ? 1 : std::max(member.count, 0);
      if (elements > kMaxColumns) {
        def.members.resize(i);
        def.recordSize = ComputeRecordSize(def.members);
        break;
      }
    }
    BuildColumnList(def, columns);
  }
  static constexpr std::int64_t kMaxColumns = 2048;
  int n() const { return static_cast<int>(columns.size()); }
  // Another display type where the retype check allows it, as a header click may give.
  void RetypeColumns() {
    for (ColumnDef& column : columns) {
      const TypeInfo& type = kTypes[ConsumeIntegralInRange<std::size_t>(0, kTypes.size() - 1)];
      if (column.kind == ColumnKind::Member &&
          CheckRetype(column.displayType, type.code) == Retype::Allowed) {
        column.displayType = type.code;
      }
    }
  }
  // Data of any length, at most as many records as give 20,000 cells in rows of `shown`
  // columns: the cost of an input stays bounded whatever its layout.
  std::vector<std::uint8_t> ConsumeData(std::size_t shown) {
    std::vector<std::uint8_t> bytes = ConsumeBytes<std::uint8_t>(ConsumeIntegral<std::uint16_t>());
    const std::size_t rows = 20000 / (shown + 1);
    const std::size_t size = static_cast<std::uint32_t>(std::max(def.recordSize, 1));
    if (bytes.size() / size > rows) bytes.resize(rows * size);
    return bytes;
  }
  // A code of the type table, one past it or a negative one: any display type a column holds.
  TypeCode AnyTypeCode() {
    const auto codes = static_cast<std::int32_t>(kTypes.size() + 1);
    return static_cast<TypeCode>(ConsumeIntegral<std::int32_t>() % codes);
  }
  const std::string definition = ConsumeRandomLengthString(1024);
  StructDef def;
  ColumnList columns;
};

// Whether `n` bytes at `at` show as `text`: a String to its first zero, a number parsing back.
inline bool Shows(const std::uint8_t* at, std::int64_t n, TypeCode type, std::string_view text) {
  constexpr std::int64_t limit = kCellTextLimit;
  const std::string_view bytes(reinterpret_cast<const char*>(at), std::min(n, limit));
  if (type == TypeCode::String) return text.substr(0, limit) == bytes.substr(0, bytes.find('\0'));
  std::uint32_t held = 0;
  for (int i = TypeWidth(type) - 1; i >= 0; --i) held = (held << 8) | at[i];
  return n > 0 && held == (ParseNumberAs(type, text) & (~0u >> (32 - 8 * n)));
}
