#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "structdef/record_layout.h"
#include "structdef/definition_parser.h"
#include "test_support.h"

TEST(ExamplesTest, EveryStructureLoadsCleanlyAndDataFilesFitThem) {
  const std::string examples = VELMORA_EXAMPLES_DIR, defPath = examples + "/struct.def";
  std::vector<std::string> names;
  ASSERT_EQ(ListStructNames(defPath, [&](std::string_view name) { names.emplace_back(name); }), 0);
  // アイテム表 in CP932; 表 ends in a 0x5C byte.
  ASSERT_EQ(names, (std::vector<std::string>{"\x83\x41\x83\x43\x83\x65\x83\x80\x95\x5C",
                                             "DeviceLog", "CustomerRecord"}));
  const std::pair<const char*, bool> files[] = {
      {"items.bin", false}, {"device_log.bin", true}, {"customers.bin", false}};  // partial last
  bool hasArray = false, hasString = false, hasVoid = false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(files[i].first);
    StructDef def;
    int reports = 0;
    ASSERT_EQ(LoadStructDef(defPath, names[i], def, [&](auto, auto) { ++reports; }), 0);
    EXPECT_EQ(reports, 0);
    for (const MemberDef& member : def.members) {
      hasArray |=
          member.count > 1 && member.type != TypeCode::String && member.type != TypeCode::Void;
      hasString |= member.type == TypeCode::String;
      hasVoid |= member.type == TypeCode::Void;
    }
    const std::string bytes = ReadBytes(examples + "/" + files[i].first);
    const auto recordSize = static_cast<std::size_t>(def.recordSize);
    ASSERT_GT(recordSize, 0u);
    EXPECT_GE(bytes.size(), recordSize * 20);
    EXPECT_LE(bytes.size(), 8192u);
    EXPECT_EQ(bytes.size() % recordSize != 0, files[i].second);
    if (names[i] == "CustomerRecord") {
      // The customer names are CP932 text: 山田太郎 fills 8 of the 20 bytes of the first name.
      ColumnList columns;
      BuildColumnList(def, columns);
      ASSERT_EQ(columns[3].label, "name");
      EXPECT_EQ(bytes.substr(columns[3].offset, ColumnByteLength(columns[3], def)),
                std::string("山田太郎") + std::string(12, '\0'));
    }
  }
  EXPECT_TRUE(hasArray && hasString && hasVoid);

  std::set<std::string> used;  // every keyword appears as a token somewhere
  std::istringstream tokens(ReadBytes(defPath));
  for (std::string token; tokens >> token;) {
    for (const KeywordEntry& entry : KeywordTable) {
      if (token == entry.keyword) used.insert(token);
    }
  }
  EXPECT_EQ(used.size(), KeywordTable.size());
}
