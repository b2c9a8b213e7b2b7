#include "datafile/csv_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

struct Export {
  StructDef structDef;
  ColumnList columns;
  DataBuffer data;
  RecordTable table;
  std::vector<std::string> questions;
  bool answer = true;

  Export(std::vector<MemberDef> members, std::string_view bytes, bool loaded = true) {
    structDef.members = std::move(members);
    structDef.recordSize = ComputeRecordSize(structDef.members);
    BuildColumnList(structDef, columns);
    if (loaded) {
      data.bytes = std::make_unique<std::uint8_t[]>(bytes.size() + 1);
      std::memcpy(data.bytes.get(), bytes.data(), bytes.size());
      data.byteCount = static_cast<std::uint32_t>(bytes.size());
    }
    table.Refresh(data, structDef, columns, 0);
  }

  int Write(const std::string& path, std::vector<std::int32_t> selection) {
    return WriteCsv(path, table, columns, selection,
                    [this](std::string_view text, std::string_view caption) {
                      questions.push_back(std::string(text) + "|" + std::string(caption));
                      return answer;
                    });
  }
  std::vector<std::int32_t> All() const {
    std::vector<std::int32_t> all;
    for (std::size_t i = 0; i < columns.size(); ++i) all.push_back(static_cast<std::int32_t>(i));
    return all;
  }
};

// A reader of RFC 4180 records (quoted fields may hold commas, quotes, CR and LF).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"') {
      for (++i; i < text.size(); ++i) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          field += text[i];
        }
      }
    }
    if (i >= text.size()) break;
    if (text[i] == ',') {
      record.push_back(field);
      field.clear();
      ++i;
    } else if (text.compare(i, 2, "\r\n") == 0) {
      record.push_back(field);
      records.push_back(record);
      record.clear();
      field.clear();
      i += 2;
    } else {
      field += text[i++];
    }
  }
  return records;
}

const std::vector<MemberDef> kMembers = {
    {TypeCode::SByte, "a", 1}, {TypeCode::String, "s", 3}, {TypeCode::XWord, "w", 1}};

TEST(CsvWriter, WritesTheShownTextsExactly) {
  TempDir dir;
  Export e(kMembers, std::string_view("\xFF" "ab\0\x34\x12" "\x80xyz\xCD\xAB", 12));
  const std::string path = dir.File("out.csv");
  EXPECT_EQ(e.Write(path, e.All()), 1);
  EXPECT_EQ(ReadBytes(path),
            "No.,Address,a,s,w\r\n"
            "0,00000000,-1,ab,1234\r\n"
            "1,00000006,-128,xyz,ABCD\r\n");
  EXPECT_TRUE(e.questions.empty());

  // A selection, in the order of the list whatever order it was made in.
  EXPECT_EQ(e.Write(dir.File("some.csv"), {1, 4}), 1);
  EXPECT_EQ(ReadBytes(dir.File("some.csv")), "Address,w\r\n00000000,1234\r\n00000006,ABCD\r\n");

  // No selection: one empty line for the header and one per row.
  EXPECT_EQ(e.Write(dir.File("none.csv"), {}), 1);
  EXPECT_EQ(ReadBytes(dir.File("none.csv")), "\r\n\r\n\r\n");

  // An edited cell is written as shown.
  e.table.SetEditedText(1, 2, "7");
  EXPECT_EQ(e.Write(dir.File("edited.csv"), {2}), 1);
  EXPECT_EQ(ReadBytes(dir.File("edited.csv")), "a\r\n-1\r\n7\r\n");
}

TEST(CsvWriter, WithoutDataWritesTheOneRowOfNumberAndAddress) {
  TempDir dir;
  Export e(kMembers, "", false);
  EXPECT_EQ(e.Write(dir.File("empty.csv"), e.All()), 1);
  EXPECT_EQ(ReadBytes(dir.File("empty.csv")), "No.,Address,a,s,w\r\n0,00000000,,,\r\n");
}

TEST(CsvWriter, QuotesStringCellsAndLabelsThatNeedItAndRoundTrips) {
  TempDir dir;
  const std::vector<std::string> cells = {"a,b", "say \"hi\"", "x\"y,z", "cr\rlf\n", "plain",
                                          "\x8D\x5C\x8D\x5C"};
  std::string bytes;
  for (const auto& cell : cells) bytes += cell + std::string(10 - cell.size(), '\0');
  Export e({{TypeCode::String, "s", 10}, {TypeCode::UByte, "n", 0}}, bytes);
  e.columns.push_back({-1, TypeCode::UByte, "odd,\"label\"", 0});
  e.columns[0].label = "No";
  e.table.Refresh(e.data, e.structDef, e.columns, 0);
  // A number cell shows what was typed until the next refresh; a comma in it must not split
  // the line.
  e.table.SetEditedText(0, 1, "1,5");

  const std::string path = dir.File("q.csv");
  ASSERT_EQ(e.Write(path, {0, 1, 2, 3}), 1);
  const std::string written = ReadBytes(path);
  EXPECT_EQ(written.substr(0, written.find("\r\n", 0) + 2), "No,Address,s,\"odd,\"\"label\"\"\"\r\n");
  EXPECT_NE(written.find("\"a,b\""), std::string::npos);
  EXPECT_NE(written.find(",\"say \"\"hi\"\"\","), std::string::npos);
  EXPECT_NE(written.find("0,\"1,5\",\"a,b\","), std::string::npos);
  EXPECT_NE(written.find(",plain,"), std::string::npos);

  auto records = ParseCsv(written);
  ASSERT_EQ(records.size(), cells.size() + 1);
  EXPECT_EQ(records[0], (std::vector<std::string>{"No", "Address", "s", "odd,\"label\""}));
  EXPECT_EQ(records[1][1], "1,5");
  for (std::size_t row = 0; row < cells.size(); ++row) {
    ASSERT_EQ(records[row + 1].size(), 4u);
    EXPECT_EQ(records[row + 1][2], cells[row]);
  }
}

TEST(CsvWriter, CellsAreCutToWhatTheListGivesBack) {
  TempDir dir;
  Export e({{TypeCode::String, "s", 2000}}, std::string(2000, 'q'));
  ASSERT_EQ(e.Write(dir.File("long.csv"), {2}), 1);
  EXPECT_EQ(ReadBytes(dir.File("long.csv")), "s\r\n" + std::string(1023, 'q') + "\r\n");
}

TEST(CsvWriter, AsksBeforeReplacingAndLeavesTheFileOnNo) {
  TempDir dir;
  Export e(kMembers, "");
  const std::string path = dir.File("exists.csv");
  WriteBytes(path, "keep me");
  e.answer = false;
  EXPECT_EQ(e.Write(path, e.All()), 0);
  EXPECT_EQ(ReadBytes(path), "keep me");
  ASSERT_EQ(e.questions.size(), 1u);
  EXPECT_EQ(e.questions[0],
            "ファイル\"" + path + "\"は既に存在しています。\r\n上書きしますか？|上書き注意");

  e.answer = true;
  EXPECT_EQ(e.Write(path, {0}), 1);
  EXPECT_EQ(ReadBytes(path), "No.\r\n0\r\n");
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"exists.csv"});
}

TEST(CsvWriter, FailureToWriteReturnsMinusOneAndChangesNothing) {
  TempDir dir;
  Export e(kMembers, "abcdef");
  EXPECT_EQ(e.Write(dir.File("missing") + "/x.csv", e.All()), -1);
  EXPECT_TRUE(e.questions.empty());

  // A folder exists, so the question comes first; it cannot be replaced.
  const std::string folder = dir.File("folder");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  EXPECT_EQ(e.Write(folder, e.All()), -1);
  EXPECT_EQ(e.questions.size(), 1u);
  EXPECT_EQ(ListFolder(folder), std::vector<std::string>{});
  EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"folder"});
}

}  // namespace
