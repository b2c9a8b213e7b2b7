// The text of every cell: arbitrary data under an arbitrary parsed layout, with arbitrary display
// types (in and out of range) and numbering base. Numbers read back as the field they show,
// strings are the field up to its first zero byte, fixed columns the number and the address.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "fuzz_support.h"
#include "records/record_table.h"
#include "records/value_format.h"
#include "records/value_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  FuzzedDataProvider provider(input, size);
  const std::string definition = provider.ConsumeRandomLengthString(1024);
  fuzz::Layout layout = fuzz::ParseLayout(definition, provider.ConsumeIntegral<std::uint32_t>());
  const auto noBase = provider.ConsumeIntegral<std::int32_t>();
  for (int i = provider.ConsumeIntegralInRange(0, 4); i > 0; --i) {
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
  const std::int64_t recordSize = layout.structDef.recordSize;
  fuzz::Check(columns == static_cast<int>(layout.columns.size()) && rows >= 1 &&
                  (recordSize <= 0 || bytes.empty() ||
                   rows == (bytes.size() + recordSize - 1) / recordSize),
              "one column per column, and rows that cover the data");
  std::string text;
  for (std::uint32_t row = 0; row < rows && row * columns < 20000; ++row) {
    for (int column = 0; column < columns; ++column) {
      table.CellText(row, column, text);
      const ColumnDef& def = layout.columns[static_cast<std::size_t>(column)];
      const std::int64_t at = row * recordSize + def.offset;
      const TypeCode type = def.displayType;
      const std::int64_t length =
          type == TypeCode::String ? ColumnByteLength(def, layout.structDef) : TypeWidth(type);
      if (column < 2) {
        fuzz::Check(
            text == (column ? ToHexText(8, static_cast<std::uint32_t>(row * recordSize))
                            : ToUnsignedDecimalText(static_cast<std::uint32_t>(noBase) + row)),
            "the record number and address");
      } else if (!text.empty()) {
        fuzz::Check(text.size() <= kCellTextLimit && at >= 0 &&
                        at + length <= static_cast<std::int64_t>(bytes.size()),
                    "a shown cell fits the list and lies wholly inside the data");
        const std::uint8_t* field = data.bytes.get() + at;
        const std::size_t scan =
            static_cast<std::size_t>(std::min<std::int64_t>(length, kCellTextLimit));
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(field, 0, scan));
        const char family = fuzz::IsNumeric(type) ? TypeName(type)[0] : 's';
        fuzz::Check((family != 'x' || text.size() == 2u * TypeWidth(type)) &&
                        (family != 'u' || text[0] != '-'),
                    "hexadecimal shows every digit, unsigned no sign");
        fuzz::Check(
            type == TypeCode::String
                ? text == std::string_view(reinterpret_cast<const char*>(field),
                                           zero ? zero - field : scan)
                : fuzz::IsNumeric(type) && (ParseNumberAs(type, text) & fuzz::WidthMask(type)) ==
                                               fuzz::FieldValue(field, type),
            "a cell shows its field: a string up to its first zero, a number that parses back");
      }
    }
  }
  fuzz::Check(table.CellText(rows, 0).empty() && table.CellText(0, columns).empty() &&
                  table.CellText(0, -1).empty(),
              "cells outside the table are empty");
  return 0;
}
