#include <gtest/gtest.h>

#include <set>

#include "structdef/column_list.h"
#include "structdef/definition_parser.h"
#include "test_support.h"

namespace {

const std::string kExamples = VELMORA_EXAMPLES_DIR;

struct DataFile {
  const char* file;
  std::string structure;
  bool partialLastRecord;
};

}  // namespace

TEST(ExamplesTest, EveryStructureLoadsCleanlyAndDataFilesFitThem) {
  const std::string defPath = kExamples + "/struct.def";
  std::vector<std::string> names;
  ASSERT_EQ(ListStructNames(defPath, [&](std::string_view name) { names.emplace_back(name); }), 0);
  // アイテム表 in CP932; 表 ends in a 0x5C byte.
  EXPECT_EQ(names, (std::vector<std::string>{"\x83\x41\x83\x43\x83\x65\x83\x80\x95\x5C",
                                             "DeviceLog", "CustomerRecord"}));

  bool hasArray = false, hasString = false, hasVoid = false;
  for (const std::string& name : names) {
    StructDef def;
    std::vector<std::string> reports;
    ASSERT_EQ(LoadStructDef(defPath, name, def,
                            [&](std::string_view text, std::string_view) {
                              reports.emplace_back(text);
                            }),
              0);
    EXPECT_TRUE(reports.empty()) << name;
    EXPECT_GT(def.recordSize, 0);
    for (const MemberDef& member : def.members) {
      hasArray |= member.count > 1 && member.type != TypeCode::String &&
                  member.type != TypeCode::Void;
      hasString |= member.type == TypeCode::String;
      hasVoid |= member.type == TypeCode::Void;
    }
  }
  EXPECT_TRUE(hasArray && hasString && hasVoid);

  const DataFile files[] = {{"items.bin", names.at(0), false},
                            {"device_log.bin", "DeviceLog", true},
                            {"customers.bin", "CustomerRecord", false}};
  for (const DataFile& data : files) {
    SCOPED_TRACE(data.file);
    StructDef def;
    ASSERT_EQ(LoadStructDef(defPath, data.structure, def, [](auto, auto) {}), 0);
    const std::size_t size = ReadBytes(kExamples + "/" + data.file).size();
    const auto recordSize = static_cast<std::size_t>(def.recordSize);
    EXPECT_GE(size, recordSize * 20);
    EXPECT_LE(size, 8192u);
    EXPECT_EQ(size % recordSize != 0, data.partialLastRecord);
  }

  // The customer names are CP932 text: 山田太郎 fills 8 of the 20 bytes of the first name.
  StructDef customer;
  ASSERT_EQ(LoadStructDef(defPath, "CustomerRecord", customer, [](auto, auto) {}), 0);
  ColumnList columns;
  BuildColumnList(customer, columns);
  ASSERT_EQ(columns[3].label, "name");
  const std::string bytes = ReadBytes(kExamples + "/customers.bin");
  EXPECT_EQ(bytes.substr(columns[3].offset, ColumnByteLength(columns[3], customer)),
            std::string("山田太郎") + std::string(12, '\0'));
}

TEST(ExamplesTest, EveryKeywordIsUsed) {
  const std::string text = ReadBytes(kExamples + "/struct.def");
  std::set<std::string_view> used;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of(" \t\r\n", start);
    const std::string_view token =
        std::string_view(text).substr(start, end == std::string::npos ? end : end - start);
    for (const KeywordEntry& entry : KeywordTable) {
      if (token == entry.keyword) used.insert(entry.keyword);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  EXPECT_EQ(used.size(), KeywordTable.size());
}
