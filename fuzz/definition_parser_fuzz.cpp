// Both passes over arbitrary struct.def bytes: the listing, and the definition of the first
// few listed names and of one that cannot be there.

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> names;
  FUZZ_CHECK(ListStructNamesInBytes(bytes, [&](auto name) { names.emplace_back(name); }) == 0);
  names.resize(std::min<std::size_t>(names.size(), 8));
  names.push_back("no such structure");  // a name is one token
  for (std::size_t i = 0; i < names.size(); ++i) {
    StructDef def{{{TypeCode::XWord, "before", 3}}, 6};
    const int result = LoadStructDefFromBytes(bytes, names[i], def, [](auto, auto) {});
    // A listed name loads; another fails and leaves the structure as it was.
    FUZZ_CHECK(result == (i + 1 < names.size() ? 0 : -1) &&
               (result == 0 || def.members.size() == 1) &&
               def.recordSize == ComputeRecordSize(def.members));
    ColumnList columns;
    BuildColumnList(def, columns);
    for (std::size_t j = 2; j < columns.size(); ++j) {  // inside the record
      const std::int64_t start = columns[j].offset;
      FUZZ_CHECK(start >= 0 && start + ColumnByteLength(columns[j], def) <= def.recordSize);
    }
  }
  return 0;
}
