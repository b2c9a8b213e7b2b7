// Both passes over struct.def, over arbitrary bytes: the listing pass, and the definition pass
// of the first few distinct listed names and of one that is not there.

#include <set>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> names;
  fuzz::Check(ListStructNamesInBytes(bytes, [&](auto name) { names.emplace_back(name); }) == 0 &&
                  names.size() <= size / 2,
              "the listing succeeds with names the bytes can hold");
  std::set<std::string> distinct(names.begin(),
                                 names.begin() + std::min<std::size_t>(names.size(), 8));
  distinct.insert("\xFF no such structure");
  for (const std::string& name : distinct) {
    StructDef def{{{TypeCode::XWord, "before", 3}}, 6};
    int reports = 0;
    const int result = LoadStructDefFromBytes(bytes, name, def, [&](auto text, auto caption) {
      fuzz::Check(caption == DefinitionErrorCaption() && !text.empty() && ++reports <= 100,
                  "at most 100 reports, each with its text and the caption");
    });
    const bool listed = std::find(names.begin(), names.end(), name) != names.end();
    fuzz::Check(result == (listed ? 0 : -1), "a listed name loads, any other does not");
    fuzz::Check(result == 0 || (def.members.size() == 1 && def.recordSize == 6),
                "a failed load leaves the structure as it was");
    if (result != 0) continue;
    fuzz::Check(def.recordSize >= 0 && def.recordSize == ComputeRecordSize(def.members),
                "the record size is the sum of the members");
    for (const MemberDef& member : def.members) {
      fuzz::Check(member.count >= 0 && member.name.size() < size, "members come from the bytes");
    }
    ColumnList columns;
    BuildColumnList(def, columns);
    fuzz::Check(columns.size() <= 65536 + 2, "member columns are bounded");
    for (std::size_t j = 2; j < columns.size(); ++j) {
      const std::int64_t end = std::int64_t{columns[j].offset} + ColumnByteLength(columns[j], def);
      fuzz::Check(columns[j].offset >= 0 && end <= def.recordSize, "columns lie inside the record");
    }
  }
  return 0;
}
