// StoreCellValue with arbitrary text, record and column over an arbitrary parsed layout: it
// writes only its own field, inside the data, and the field then holds what was typed.

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput in(input, size);
  const int column = in.ConsumeIntegralInRange(-2, in.n + 1);
  if (column >= 2 && column < in.n && in.ConsumeBool())  // display types any code
    in.columns[column].displayType = static_cast<TypeCode>(in.ConsumeIntegral<int>() % 12);
  const auto record = in.ConsumeBool() ? in.ConsumeIntegralInRange(0u, 64u)  // or any at all
                                       : in.ConsumeIntegral<std::uint32_t>();
  const std::string text = in.ConsumeRandomLengthString(2048);
  const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  DataBuffer data = ExactBuffer(bytes);
  const int result = int(StoreCellValue(data, in.def, in.columns, text, column, record));
  const std::uint8_t *after = data.bytes.get(), *before = bytes.data();
  FUZZ_CHECK(result == 1 ? column >= 2 && column < in.n  // or refused without writing
                         : result == 0 && std::equal(before, before + bytes.size(), after));
  if (result == 0) return 0;
  const std::int64_t at = std::int64_t{record} * in.def.recordSize + in.columns[column].offset;
  const std::int64_t length = ColumnByteLength(in.columns[column], in.def), end = bytes.size();
  FUZZ_CHECK(at >= 0 && at < end && at + length <= end &&  // no byte outside the field changes
             std::equal(after, after + at, before) &&
             std::equal(after + at + length, after + end, before + at + length));
  // The typed number wrapped to its width, or the typed bytes up to a zero, zero-filled.
  const TypeCode type = in.columns[column].displayType;
  const bool isString = type == TypeCode::String;
  std::string_view typed(text.c_str());
  const std::int64_t kept = isString ? std::min<std::int64_t>(typed.size(), length) : length;
  if (isString) typed = typed.substr(0, kept);
  FUZZ_CHECK(length == 0 || (Shows(after + at, length, type, typed) &&
                             std::count(after + at + kept, after + at + length, 0) == length - kept));
  return 0;
}
