// Both passes over struct.def: the listing pass and the definition pass of every listed name
// (and of a name that is not there), over arbitrary bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::vector<std::string> names;
  fuzz::Check(
      ListStructNamesInBytes(bytes, [&](std::string_view name) { names.emplace_back(name); }) == 0,
      "the listing pass over bytes always succeeds");
  fuzz::Check(names.size() <= size / 2, "no more names than the bytes can hold");

  // Names repeat; each distinct one is loaded once, the few first only, to stay fast.
  std::set<std::string> distinct(names.begin(), names.end());
  distinct.insert(std::string("\xFF no such structure", 20));
  int loaded = 0;
  for (const std::string& name : distinct) {
    if (++loaded > 8) break;
    StructDef structDef;
    structDef.members.push_back({TypeCode::XWord, "before", 3});
    structDef.recordSize = 6;
    int reports = 0;
    const int result = LoadStructDefFromBytes(
        bytes, name, structDef, [&](std::string_view text, std::string_view caption) {
          ++reports;
          fuzz::Check(caption == DefinitionErrorCaption(), "every report has the caption");
          fuzz::Check(!text.empty(), "a report says something");
        });
    const bool listed = std::find(names.begin(), names.end(), name) != names.end();
    fuzz::Check(result == (listed ? 0 : -1), "a listed name loads, any other does not");
    if (result != 0) {
      fuzz::Check(structDef.members.size() == 1 && structDef.recordSize == 6,
                  "a failed load leaves the structure as it was");
      continue;
    }
    fuzz::Check(reports <= 100, "reports are bounded per load");
    fuzz::Check(structDef.recordSize >= 0, "record size never negative");
    fuzz::Check(structDef.recordSize == ComputeRecordSize(structDef.members),
                "record size is the sum of the members");
    for (const MemberDef& member : structDef.members) {
      fuzz::Check(member.count >= 0, "no member keeps a negative count");
      fuzz::Check(member.name.size() < size, "a name is part of the bytes");
    }
    ColumnList columns;
    BuildColumnList(structDef, columns);
    fuzz::Check(columns.size() <= 65536 + 2, "member columns are bounded");
    for (std::size_t j = 2; j < columns.size(); ++j) {
      const std::int64_t end =
          std::int64_t{columns[j].offset} + ColumnByteLength(columns[j], structDef);
      fuzz::Check(columns[j].offset >= 0 && end <= structDef.recordSize,
                  "every column lies inside the record");
    }
  }
  return 0;
}
