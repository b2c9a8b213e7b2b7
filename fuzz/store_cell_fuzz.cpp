// StoreCellValue with arbitrary text, record and column over an arbitrary parsed layout: it
// writes only its own field, inside the data, and the field then holds what was typed.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "fuzz_support.h"
#include "records/record_table.h"
#include "records/value_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  FuzzedDataProvider provider(input, size);
  const std::string definition = provider.ConsumeRandomLengthString(512);
  fuzz::Layout layout = fuzz::ParseLayout(definition, provider.ConsumeIntegral<std::uint32_t>());
  const int columnCount = static_cast<int>(layout.columns.size());
  // Mostly real columns and records, sometimes any at all; display types any code.
  const int column = provider.ConsumeBool() ? provider.ConsumeIntegralInRange(-2, columnCount + 1)
                                            : provider.ConsumeIntegral<int>();
  if (column >= 2 && column < columnCount && provider.ConsumeBool()) {
    layout.columns[column].displayType =
        static_cast<TypeCode>(provider.ConsumeIntegral<std::int32_t>() % 12);
  }
  const auto record = provider.ConsumeBool() ? provider.ConsumeIntegralInRange<std::uint32_t>(0, 64)
                                             : provider.ConsumeIntegral<std::uint32_t>();
  const std::string text = provider.ConsumeRandomLengthString(2048);
  const std::vector<std::uint8_t> bytes = provider.ConsumeRemainingBytes<std::uint8_t>();
  DataBuffer data = fuzz::ExactBuffer(bytes);
  const int result = static_cast<int>(
      StoreCellValue(data, layout.structDef, layout.columns, text, column, record));
  const std::uint8_t* after = data.bytes.get();
  fuzz::Check(result == 1 || (result == 0 && std::equal(bytes.begin(), bytes.end(), after)),
              "a store is taken, or refused without writing");
  if (result == 0) return 0;
  fuzz::Check(column >= 2 && column < columnCount, "only member columns are stored");
  const ColumnDef& def = layout.columns[column];
  const TypeCode type = def.displayType;
  const std::int64_t at = std::int64_t{record} * layout.structDef.recordSize + def.offset;
  const std::int64_t length = type == TypeCode::String
                                  ? ColumnByteLength(def, layout.structDef)
                                  : (fuzz::IsNumeric(type) ? TypeWidth(type) : 0);
  const auto end = static_cast<std::int64_t>(bytes.size());
  fuzz::Check(at >= 0 && at < end && at + length <= end,
              "a stored field lies wholly inside the data");
  for (std::int64_t i = 0; i < end; ++i) {
    fuzz::Check((i >= at && i < at + length) || after[i] == bytes[i],
                "no byte outside the field changes");
  }
  const std::string_view typed(text.data(), std::min(text.find('\0'), text.size()));
  const std::int64_t kept = std::min<std::int64_t>(typed.size(), length);
  if (fuzz::IsNumeric(type)) {
    fuzz::Check(
        fuzz::FieldValue(after + at, type) == (ParseNumberAs(type, typed) & fuzz::WidthMask(type)),
        "the field holds the typed number, wrapped to its width");
  } else if (type == TypeCode::String) {
    fuzz::Check(
        std::memcmp(after + at, typed.data(), kept) == 0 &&
            std::all_of(after + at + kept, after + at + length, [](auto b) { return b == 0; }),
        "a String field holds the typed bytes, zero-filled");
    RecordTable table;
    table.Refresh(data, layout.structDef, layout.columns, 0);
    fuzz::Check(record >= table.RowCount() ||
                    table.CellText(record, column) ==
                        typed.substr(0, std::min<std::int64_t>(kept, kCellTextLimit)),
                "the String cell shows what was typed, cut to its field");
  }
  return 0;
}
