#include <gtest/gtest.h>

#include "structdef/definition_parser.h"
#include "structdef/record_layout.h"
#include "test_support.h"

// The committed examples: every structure loads without a report and its data file holds at
// least 20 records (the device log ends in a partial one).
TEST(Examples, EveryStructureLoadsCleanlyAndItsDataFileFits) {
  const std::string examples = VELMORA_EXAMPLES_DIR, defPath = examples + "/struct.def";
  std::vector<std::string> names;
  ASSERT_EQ(ListStructNames(defPath, [&](std::string_view name) { names.emplace_back(name); }), 0);
  // アイテム表 in CP932; 表 ends in a 0x5C byte.
  ASSERT_EQ(names, (std::vector<std::string>{"\x83\x41\x83\x43\x83\x65\x83\x80\x95\x5C",
                                             "DeviceLog", "CustomerRecord"}));
  const std::pair<const char*, bool> files[] = {
      {"items.bin", false}, {"device_log.bin", true}, {"customers.bin", false}};
  for (std::size_t i = 0; i < names.size(); ++i) {
    StructDef def;
    ASSERT_EQ(LoadStructDef(defPath, names[i], def, [](auto, auto) { FAIL(); }), 0);
    const std::string bytes = ReadBytes(examples + "/" + files[i].first);
    const auto recordSize = static_cast<std::size_t>(def.recordSize);
    ASSERT_GT(recordSize, 0u);
    EXPECT_GE(bytes.size(), recordSize * 20) << files[i].first;
    EXPECT_EQ(bytes.size() % recordSize != 0, files[i].second) << files[i].first;
  }
}
