#include "export/csv_writer.h"

#include "test_support.h"

using enum TypeCode;

// The table of `members` over `bytes`, written to a file of its own.
struct CsvExport : Records {
  CsvExport(std::vector<MemberDef> members, std::string_view bytes) : Records(members, bytes) {
    table.Refresh(data, structDef, columns, 0);
  }
  std::string Write(std::vector<std::int32_t> selection,
                    std::size_t bufferBytes = kCsvBufferBytes) {
    EXPECT_TRUE(WriteCsv(dir.File("out.csv"), table, columns, selection, bufferBytes));
    return ReadBytes(dir.File("out.csv"));
  }
  RecordTable table;
  TempDir dir;
};

// Fields that would split the line are quoted; typed text in a number column goes as shown.
TEST(CsvWriter, WritesTheShownTextsOfTheChosenColumns) {
  CsvExport q({{String, "s", 5}}, std::string_view("a,b\0\0say\"q"
                                                   "cr\rx\0lf\nx\0\x8D\x5C\x8D\x5C\0",
                                                   25));
  q.columns.push_back({0, UByte, "odd,\"label\"", 0});
  q.table.Refresh(q.data, q.structDef, q.columns, 0);
  q.table.SetEditedText(0, 3, "1,5");
  EXPECT_EQ(q.Write({2, 3}),
            "s,\"odd,\"\"label\"\"\"\r\n\"a,b\",\"1,5\"\r\n\"say\"\"q\",115\r\n"
            "\"cr\rx\",99\r\n\"lf\nx\",108\r\n\x8D\x5C\x8D\x5C,141\r\n");
}

// The buffer drains before any piece of a row, its line end included, whatever fills it.
TEST(CsvWriter, RowsOfNoColumnOrOfAllColumnsCrossTheBufferWhole) {
  CsvExport e({{UByte, "a", 1}, {String, "s", 2}}, std::string(300, '\x81'));
  std::string lineEnds;  // the header's and 100 rows'
  for (int line = 0; line < 101; ++line) lineEnds += "\r\n";
  const std::string whole = e.Write({0, 1, 2, 3});
  for (std::size_t size : {1, 2, 3, 5, 64}) {
    EXPECT_EQ(e.Write({}, size), lineEnds) << size;
    EXPECT_EQ(e.Write({0, 1, 2, 3}, size), whole) << size;
  }
}
