#include "export/csv_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using enum TypeCode;

struct Export : Records {
  Export(std::vector<MemberDef> members, std::optional<std::string_view> bytes)
      : Records(std::move(members), bytes) {
    table.Refresh(data, structDef, columns, 0);
  }
  int Write(const std::string& path, std::vector<std::int32_t> selection = {0, 1, 2, 3, 4}) {
    return static_cast<int>(WriteCsv(path, table, columns, selection,
                    [this](std::string_view text, std::string_view caption) {
                      questions.push_back(std::string(text) + "|" + std::string(caption));
                      return answer;
                    }));
  }
  RecordTable table;
  std::vector<std::string> questions;
  bool answer = true;
};

const std::vector<MemberDef> kMembers = {{SByte, "a", 1}, {String, "s", 3}, {XWord, "w", 1}};

TEST(CsvWriter, WritesTheShownTextsExactly) {
  TempDir dir;
  Export e(kMembers, std::string_view("\xFF" "ab\0\x34\x12" "\x80xyz\xCD\xAB", 12));
  const std::string path = dir.File("out.csv");
  auto written = [&](std::vector<std::int32_t> selection) {
    EXPECT_EQ(e.Write(path, selection), 1);
    return ReadBytes(path);
  };
  EXPECT_EQ(written({0, 1, 2, 3, 4}),
            "No.,Address,a,s,w\r\n0,00000000,-1,ab,1234\r\n1,00000006,-128,xyz,ABCD\r\n");
  EXPECT_EQ(e.questions.size(), 0u);
  EXPECT_EQ(written({1, 4}), "Address,w\r\n00000000,1234\r\n00000006,ABCD\r\n");
  EXPECT_EQ(written({}), "\r\n\r\n\r\n");  // an empty line for the header and one per row
  e.table.SetEditedText(1, 2, "7");  // written as shown
  EXPECT_EQ(written({2}), "a\r\n-1\r\n7\r\n");
  EXPECT_EQ(e.questions.size(), 3u);

  Export none(kMembers, std::nullopt);
  EXPECT_EQ(none.Write(dir.File("none.csv")), 1);
  EXPECT_EQ(ReadBytes(dir.File("none.csv")), "No.,Address,a,s,w\r\n0,00000000,,,\r\n");
  Export wide({{String, "s", 2000}}, std::string(2000, 'q'));  // cut to what the list gives back
  EXPECT_EQ(wide.Write(dir.File("wide.csv"), {2}), 1);
  EXPECT_EQ(ReadBytes(dir.File("wide.csv")), "s\r\n" + std::string(1023, 'q') + "\r\n");
}

TEST(CsvWriter, QuotesFieldsThatWouldSplitTheLine) {
  TempDir dir;
  std::string bytes;
  for (std::string cell : {"a,b", "say \"hi\"", "cr\rx", "lf\nx", "plain", "\x8D\x5C\x8D\x5C"}) {
    bytes += cell + std::string(10 - cell.size(), '\0');
  }
  Export e({{String, "s", 10}}, bytes);
  e.columns.push_back({0, UByte, "odd,\"label\"", 0});
  e.table.Refresh(e.data, e.structDef, e.columns, 0);
  e.table.SetEditedText(0, 1, "1,5");  // typed text in a number column must not split either
  ASSERT_EQ(e.Write(dir.File("q.csv"), {0, 1, 2, 3}), 1);
  EXPECT_EQ(ReadBytes(dir.File("q.csv")),
            "No.,Address,s,\"odd,\"\"label\"\"\"\r\n"
            "0,\"1,5\",\"a,b\",97\r\n"
            "1,0000000A,\"say \"\"hi\"\"\",115\r\n"
            "2,00000014,\"cr\rx\",99\r\n"
            "3,0000001E,\"lf\nx\",108\r\n"
            "4,00000028,plain,112\r\n"
            "5,00000032,\x8D\x5C\x8D\x5C,141\r\n");
}

TEST(CsvWriter, AsksBeforeReplacingAndFailsWithoutChangingAnything) {
  TempDir dir;
  Export e(kMembers, "abcdef");
  const std::string path = dir.File("exists.csv");
  WriteBytes(path, "keep me");
  e.answer = false;
  EXPECT_EQ(e.Write(path), 0);
  EXPECT_EQ(ReadBytes(path), "keep me");
  EXPECT_EQ(e.questions,
            std::vector<std::string>{"ファイル\"" + path +
                                     "\"は既に存在しています。\r\n上書きしますか？|上書き注意"});
  e.answer = true;
  EXPECT_EQ(e.Write(path, {0}), 1);
  EXPECT_EQ(ReadBytes(path), "No.\r\n0\r\n");

  EXPECT_EQ(e.Write(dir.File("missing") + kSeparator + "x.csv"), -1);
  EXPECT_EQ(e.questions.size(), 2u);
  const std::string folder = dir.File("folder");  // asked about, and cannot be replaced
  ASSERT_TRUE(MakeFolder(folder));
  EXPECT_EQ(e.Write(folder), -1);
  EXPECT_EQ(e.questions.size(), 3u);
  EXPECT_EQ(ListFolder(folder), std::vector<std::string>{});
  EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"exists.csv", "folder"}));
}

}  // namespace
