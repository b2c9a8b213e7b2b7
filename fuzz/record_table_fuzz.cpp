// Column layout and the text of every cell: arbitrary data under an arbitrary parsed layout,
// with arbitrary display types (in and out of range) and numbering base.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "datafile/data_buffer.h"
#include "fuzz_support.h"
#include "records/record_table.h"
#include "records/value_parse.h"
#include "records/value_format.h"

namespace {

constexpr std::uint64_t kMaxCells = 20000;

// Numbers read back as they were shown; strings are the field up to its first zero byte.
void CheckCell(const std::string& text, const std::uint8_t* field, TypeCode type,
               std::int64_t length) {
  if (type == TypeCode::String) {
    const std::size_t scan = static_cast<std::size_t>(std::min<std::int64_t>(length, 1023));
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(field, 0, scan));
    const std::size_t shown = zero ? static_cast<std::size_t>(zero - field) : scan;
    fuzz::Check(text == std::string_view(reinterpret_cast<const char*>(field), shown),
                "a String cell shows its bytes up to the first zero");
    return;
  }
  if (!fuzz::IsNumeric(type)) {
    fuzz::Check(text.empty(), "a Void or unknown type shows nothing");
    return;
  }
  if (type == TypeCode::XByte || type == TypeCode::XWord || type == TypeCode::XLong) {
    fuzz::Check(text.size() == 2u * static_cast<unsigned>(TypeWidth(type)), "hex digit count");
  } else if (type == TypeCode::UByte || type == TypeCode::UWord || type == TypeCode::ULong) {
    fuzz::Check(text.front() != '-', "unsigned text has no sign");
  }
  const std::uint32_t value = ParseNumberAs(type, text);
  fuzz::Check((value & fuzz::WidthMask(type)) == fuzz::FieldValue(field, type),
              "a number cell parses back to its field");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  FuzzedDataProvider provider(input, size);
  const std::string definition = provider.ConsumeRandomLengthString(1024);
  fuzz::Layout layout = fuzz::ParseLayout(definition, provider.ConsumeIntegral<std::uint32_t>());
  const auto noBase = provider.ConsumeIntegral<std::int32_t>();
  // Display types as header clicks would leave them, and codes no dialog can give.
  const int retypes = provider.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < retypes && !layout.columns.empty(); ++i) {
    const auto column = provider.ConsumeIntegralInRange<std::size_t>(0, layout.columns.size() - 1);
    layout.columns[column].displayType =
        static_cast<TypeCode>(provider.ConsumeIntegral<std::int32_t>() % 12);
  }
  const std::vector<std::uint8_t> bytes = provider.ConsumeRemainingBytes<std::uint8_t>();

  DataBuffer data = fuzz::ExactBuffer(bytes);

  RecordTable table;
  table.Refresh(data, layout.structDef, layout.columns, noBase);
  const std::uint32_t rows = table.RowCount();
  const int columns = table.ColumnCount();
  fuzz::Check(columns == static_cast<int>(layout.columns.size()), "one table column per column");
  fuzz::Check(rows >= 1, "there is always a row");
  const std::int64_t recordSize = layout.structDef.recordSize;
  if (recordSize > 0 && !bytes.empty()) {
    fuzz::Check(rows == (bytes.size() + recordSize - 1) / recordSize, "rows cover the data");
  }

  const std::uint64_t cellsPerRow = std::max(columns, 1);
  const std::uint32_t rowLimit =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(rows, kMaxCells / cellsPerRow + 1));
  std::string text;
  for (std::uint32_t row = 0; row < rowLimit; ++row) {
    for (int column = 0;
         column < columns && static_cast<std::uint64_t>(row) * cellsPerRow + column < kMaxCells;
         ++column) {
      table.CellText(row, column, text);
      fuzz::Check(text.size() <= kCellTextLimit, "a cell fits the list's buffer");
      if (column == 0) {
        fuzz::Check(text == ToUnsignedDecimalText(static_cast<std::uint32_t>(noBase) + row), "No.");
        continue;
      }
      if (column == 1) {
        fuzz::Check(text == ToHexText(8, static_cast<std::uint32_t>(row * recordSize)), "Address");
        continue;
      }
      if (text.empty()) continue;
      const ColumnDef& def = layout.columns[static_cast<std::size_t>(column)];
      const std::int64_t position = row * recordSize + def.offset;
      const std::int64_t length = def.displayType == TypeCode::String
                                      ? ColumnByteLength(def, layout.structDef)
                                      : TypeWidth(def.displayType);
      fuzz::Check(position >= 0 && position + length <= static_cast<std::int64_t>(bytes.size()),
                  "a shown cell lies wholly inside the data");
      CheckCell(text, data.bytes.get() + position, def.displayType, length);
    }
  }
  // Outside the table: nothing, and no read.
  fuzz::Check(table.CellText(rows, 0).empty() && table.CellText(0, columns).empty() &&
                  table.CellText(0, -1).empty(),
              "cells outside the table are empty");
  return 0;
}
