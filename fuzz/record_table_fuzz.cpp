// Every cell over any data, layout, display type and numbering shows its field, inside the data.

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput in(input, size);
  const auto base = in.ConsumeIntegral<std::int32_t>();
  for (int i = in.ConsumeIntegralInRange(0, 4); i > 0; --i)
    in.columns[in.ConsumeIntegralInRange(0, in.n() - 1)].displayType = in.AnyTypeCode();
  const DataBuffer data = ExactBuffer(in.ConsumeRemainingBytes<std::uint8_t>());
  RecordTable table;
  table.Refresh(data, in.def, in.columns, base);
  const std::int64_t rows = table.RowCount(), width = in.def.recordSize, end = data.byteCount;
  for (std::uint32_t row = 0; row < rows && row * in.n() < 20000; ++row) {
    for (int column = 0; column < in.n(); ++column) {
      const ColumnDef& def = in.columns[column];
      if (def.kind != ColumnKind::Member) continue;
      const std::string text = table.CellText(row, column);
      const std::int64_t at = row * width + def.offset, length = ColumnByteLength(def, in.def);
      FUZZ_CHECK(text.empty() || (at >= 0 && at + length <= end && text.size() <= kCellTextLimit &&
                                  Shows(data.bytes.get() + at, length, def.displayType, text)));
    }
  }
  return 0;
}
