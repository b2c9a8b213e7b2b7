// Both passes over arbitrary struct.def bytes (see LayoutInput); a name that cannot be there
// fails and leaves the structure as it was.

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput in(input, size);
  StructDef def = in.def;
  const auto ignore = [](auto, auto) {};
  FUZZ_CHECK(LoadStructDefFromBytes(in.definition, "no such", def, ignore) == StructLookup::NotFound);
  FUZZ_CHECK(def.recordSize == in.def.recordSize && def.members.size() == in.def.members.size());
  return 0;
}
