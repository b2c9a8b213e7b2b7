// StoreCellValue with arbitrary text, record and column over an arbitrary parsed layout: it
// writes only its own field, inside the data, and the cell then shows what was stored.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "datafile/data_buffer.h"
#include "fuzz_support.h"
#include "records/record_table.h"
#include "records/value_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  FuzzedDataProvider provider(input, size);
  const std::string definition = provider.ConsumeRandomLengthString(512);
  fuzz::Layout layout = fuzz::ParseLayout(definition, provider.ConsumeIntegral<std::uint32_t>());
  const int columnCount = static_cast<int>(layout.columns.size());
  // Mostly real columns, sometimes any index at all.
  const int column = provider.ConsumeBool() ? provider.ConsumeIntegralInRange(-2, columnCount + 1)
                                            : provider.ConsumeIntegral<int>();
  if (column >= 2 && column < columnCount && provider.ConsumeBool()) {
    layout.columns[static_cast<std::size_t>(column)].displayType =
        static_cast<TypeCode>(provider.ConsumeIntegral<std::int32_t>() % 12);
  }
  const auto record = provider.ConsumeBool() ? provider.ConsumeIntegralInRange<std::uint32_t>(0, 64)
                                             : provider.ConsumeIntegral<std::uint32_t>();
  const std::string text = provider.ConsumeRandomLengthString(2048);
  const std::vector<std::uint8_t> bytes = provider.ConsumeRemainingBytes<std::uint8_t>();

  DataBuffer data = fuzz::ExactBuffer(bytes);

  const StoreResult result =
      StoreCellValue(data, layout.structDef, layout.columns, text, column, record);
  const std::uint8_t* after = data.bytes.get();
  if (result == StoreResult::Refused) {
    fuzz::Check(std::equal(bytes.begin(), bytes.end(), after), "a refused store writes nothing");
    return 0;
  }

  fuzz::Check(column >= 2 && column < columnCount, "only member columns are stored");
  const ColumnDef& def = layout.columns[static_cast<std::size_t>(column)];
  const std::int64_t position = std::int64_t{record} * layout.structDef.recordSize + def.offset;
  const std::int64_t length =
      def.displayType == TypeCode::String
          ? ColumnByteLength(def, layout.structDef)
          : (fuzz::IsNumeric(def.displayType) ? TypeWidth(def.displayType) : 0);
  fuzz::Check(position >= 0 && position < static_cast<std::int64_t>(bytes.size()) &&
                  position + length <= static_cast<std::int64_t>(bytes.size()),
              "a stored field lies wholly inside the data");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool inField = static_cast<std::int64_t>(i) >= position &&
                         static_cast<std::int64_t>(i) < position + length;
    if (!inField) fuzz::Check(after[i] == bytes[i], "no byte outside the field changes");
  }

  // The field now holds the typed value: what the table shows parses back to it.
  const std::uint8_t* field = after + position;
  const std::string_view typed(text.data(), std::min(text.find('\0'), text.size()));
  if (fuzz::IsNumeric(def.displayType)) {
    const std::uint32_t expected = ParseNumberAs(def.displayType, typed);
    fuzz::Check(
        fuzz::FieldValue(field, def.displayType) == (expected & fuzz::WidthMask(def.displayType)),
        "the field holds the typed number, wrapped to its width");
  } else if (def.displayType == TypeCode::String) {
    const std::size_t kept = std::min<std::size_t>(typed.size(), static_cast<std::size_t>(length));
    fuzz::Check(std::memcmp(field, typed.data(), kept) == 0, "the typed bytes are stored");
    for (std::int64_t i = static_cast<std::int64_t>(kept); i < length; ++i) {
      fuzz::Check(field[i] == 0, "the rest of a String field is zero-filled");
    }
  }

  RecordTable table;
  table.Refresh(data, layout.structDef, layout.columns, 0);
  if (record < table.RowCount() && def.displayType == TypeCode::String) {
    const std::size_t shown =
        std::min<std::size_t>({typed.size(), static_cast<std::size_t>(length), kCellTextLimit});
    fuzz::Check(table.CellText(record, column) == typed.substr(0, shown),
                "the String cell shows what was typed, cut to its field");
  }
  return 0;
}
