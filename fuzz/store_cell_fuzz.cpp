// Storing any text in any cell writes only its field, inside the data, which then holds it.

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput in(input, size);
  const int column = in.ConsumeIntegralInRange(-2, in.n() + 1);
  const bool member =
      column >= 0 && column < in.n() && in.columns[column].kind == ColumnKind::Member;
  if (member && in.ConsumeBool())  // display types any code
    in.columns[column].displayType = in.AnyTypeCode();
  const std::uint32_t record = in.ConsumeIntegral<std::uint32_t>() >> (in.ConsumeBool() ? 26 : 0);
  const std::string text = in.ConsumeRandomLengthString(2048);
  const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  DataBuffer data = ExactBuffer(bytes);
  const int result = int(StoreCellValue(data, in.def, in.columns, text, column, record));
  const std::uint8_t *after = data.bytes.get(), *before = bytes.data();
  FUZZ_CHECK(result == 1 ? member  // or refused without writing
                         : result == 0 && std::equal(before, before + bytes.size(), after));
  if (result == 0) return 0;
  const std::int64_t at = std::int64_t{record} * in.def.recordSize + in.columns[column].offset;
  const std::int64_t length = ColumnByteLength(in.columns[column], in.def), end = bytes.size();
  FUZZ_CHECK(at >= 0 && at < end && at + length <= end &&  // no byte outside the field changes
             std::equal(after, after + at, before) &&
             std::equal(after + at + length, after + end, before + at + length));
  const TypeCode type = in.columns[column].displayType;
  const bool isString = type == TypeCode::String;
  const auto typed = std::string_view(text.c_str()).substr(0, isString ? length : text.size());
  const std::int64_t kept = isString ? typed.size() : length;
  FUZZ_CHECK(length == 0 || Shows(after + at, length, type, typed));
  FUZZ_CHECK(std::count(after + at + kept, after + at + length, 0) == length - kept);
  return 0;
}
