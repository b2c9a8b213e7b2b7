#include "export/csv_writer.h"

#include "test_support.h"

using enum TypeCode;

// "=" and the file's bytes when written, else "failed".
struct CsvExport : Records {
  CsvExport(std::vector<MemberDef> members, std::string_view bytes) : Records(members, bytes) {
    table.Refresh(data, structDef, columns, 0);
  }
  std::string Write(const std::string& path, std::vector<std::int32_t> selection,
                    std::size_t bufferBytes = kCsvBufferBytes) {
    if (!WriteCsv(path, table, columns, selection, bufferBytes)) return "failed";
    return "=" + ReadBytes(path);
  }
  RecordTable table;
};

// Fields that would split the line are quoted; typed text in a number column goes as shown.
TEST(CsvWriter, WritesTheShownTextsOfTheChosenColumns) {
  TempDir dir;
  const std::string path = dir.File("out.csv");
  CsvExport e({{SByte, "a", 1}, {String, "s", 3}, {XWord, "w", 1}},
              std::string_view("\xFF"
                               "ab\0\x34\x12"
                               "\x80xyz\xCD\xAB",
                               12));
  EXPECT_EQ(e.Write(path, {0, 1, 2, 3, 4}),
            "=No.,Address,a,s,w\r\n0,00000000,-1,ab,1234\r\n1,00000006,-128,xyz,ABCD\r\n");
  EXPECT_EQ(e.Write(path, {1, 4}), "=Address,w\r\n00000000,1234\r\n00000006,ABCD\r\n");
  CsvExport q({{String, "s", 5}}, std::string_view("a,b\0\0say\"q"
                                                   "cr\rx\0lf\nx\0\x8D\x5C\x8D\x5C\0",
                                                   25));
  q.columns.push_back({0, UByte, "odd,\"label\"", 0});
  q.table.Refresh(q.data, q.structDef, q.columns, 0);
  q.table.SetEditedText(0, 3, "1,5");
  EXPECT_EQ(q.Write(path, {2, 3}),
            "=s,\"odd,\"\"label\"\"\"\r\n\"a,b\",\"1,5\"\r\n\"say\"\"q\",115\r\n"
            "\"cr\rx\",99\r\n\"lf\nx\",108\r\n\x8D\x5C\x8D\x5C,141\r\n");
}

// The buffer drains before any piece of a row, its line end included, whatever fills it.
TEST(CsvWriter, RowsOfNoColumnOrOfAllColumnsCrossTheBufferWhole) {
  TempDir dir;
  const std::string path = dir.File("out.csv");
  CsvExport e({{UByte, "a", 1}, {String, "s", 2}}, std::string(300, '\x81'));
  std::string lineEnds;  // the header's and 100 rows'
  for (int line = 0; line < 101; ++line) lineEnds += "\r\n";
  const std::string whole = e.Write(path, {0, 1, 2, 3});
  for (std::size_t size : {1, 2, 3, 5, 64}) {
    EXPECT_EQ(e.Write(path, {}, size), "=" + lineEnds) << size;
    EXPECT_EQ(e.Write(path, {0, 1, 2, 3}, size), whole) << size;
  }
}

TEST(CsvWriter, FailsWithoutChangingAnything) {
  TempDir dir;
  CsvExport e({{UByte, "a", 1}}, "ab");
  const std::string path = dir.File("exists.csv");
  const std::string folder = dir.File("folder");
  WriteBytes(path, "keep me");
  ASSERT_TRUE(MakeFolder(folder));
  EXPECT_EQ(e.Write(dir.File("missing") + kSeparator + "x.csv", {0}), "failed");
  EXPECT_EQ(e.Write(folder, {0}), "failed");
  EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"exists.csv", "folder"}));
  EXPECT_EQ(ReadBytes(path), "keep me");
}
