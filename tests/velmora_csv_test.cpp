#include "cli/velmora_csv.h"

#include <clocale>

#include "cli/console.h"
#include "cli/encoding.h"
#include "cli/stream_export.h"
#include "test_support.h"
#include "version.h"

namespace {

struct MemoryOutput : OutputStream {
  bool Write(const char* bytes, std::size_t count) override {
    if (bytes_.size() + count > limit) return !(failed = true);
    bytes_.append(bytes, count);
    return true;
  }
  bool ReaderGone() const override { return failed && closes; }
  std::string bytes_;
  std::size_t limit = std::string::npos;  // writes past it fail
  bool failed = false;
  bool closes = true;  // the reader went away then; else the disk is full
};

// One run of velmora-csv in this process, over a struct.def and a data file of a folder.
struct Cli {
  explicit Cli(std::string_view definitions, std::string_view data = "") {
    WriteBytes(dir.File("struct.def"), definitions);
    WriteBytes(dir.File("data.bin"), data);
  }
  ExitStatus Run(std::vector<std::string> args, std::string_view input = "") {
    args.insert(args.begin(), {"-d", dir.File("struct.def")});
    for (std::string& arg : args) arg = arg == "DATA" ? dir.File("data.bin") : arg;
    WriteBytes(dir.File("stdin"), input);
    std::FILE* in = piped ? popen(("cat " + dir.File("stdin")).c_str(), "r")
                          : std::fopen(dir.File("stdin").c_str(), "rb");
    out.bytes_.clear();  // its limit stays
    out.failed = false;
    err.clear();
    CliStreams io;
    io.in = in;
    io.out = &out;
    io.utf8Terminal = utf8Terminal;
    io.error = [this](std::string_view line) { err += std::string(line) + "\n"; };
    if (clock) {
      io.clock = clock;
      io.progress = [this](auto line) { shown.emplace_back(line); };
    }
    const ExitStatus status = RunVelmoraCsv(args, io);
    if (piped) {
      pclose(in);
    } else {
      std::fclose(in);
    }
    return status;
  }
  // --import of `csv`, written to in.csv, then `args`.
  ExitStatus Import(std::string_view csv, std::vector<std::string> args = {"DATA"}) {
    WriteBytes(dir.File("in.csv"), csv);
    args.insert(args.begin(), {"--import", dir.File("in.csv")});
    return Run(args);
  }
  TempDir dir;
  MemoryOutput out;
  std::string err;
  bool utf8Terminal = false;
  bool piped = false;             // standard input of no known size
  std::function<double()> clock;  // none: no terminal for progress lines
  std::vector<std::string> shown;
};

constexpr std::string_view kTwoStructs =
    "struct T { ubyte a; string s [4]; sword w; }\nstruct \x8D\x5C { xbyte x; }";
const std::string kTwoRecords(
    "\x01"
    "a,b\0\xFF\xFF"
    "\x02\x8D\x5C\"\0\x00\x80",
    14);

TEST(VelmoraCsv, WritesTheWindowsExportByteForByteInChunksOfAnySize) {
  const std::vector<std::tuple<std::string_view, std::string, std::uint64_t>> cases = {
      {kTwoStructs, kTwoRecords, 2},
      {"struct P { ubyte a; ubyte b; uword c; uword d; }", "0123456789ABC", 3},  // partial last
      {"struct W { string s [2000]; sbyte b; }", std::string(4001, '\x81'), 2},  // cut to 1023
      // pads that a record larger than a chunk has passed over, between fields and after them
      {"struct T { ubyte a; void p [8]; ubyte b; void q [4]; }", "0123456789ABCDEFGHIJK", 2},
      {"struct B { ubyte b; }", "0123456789", 10},  // more than a chunk of whole records
      {"struct E { slong v; }", "", 1},             // the one row
      {"struct Z { string z [0]; }", "abc", 1},     // records of size 0
      {"struct V { void v; }", "a", 1},             // no cell: the data's end ends the rows
      {"struct M { foo a; ubyte ; b; slong c [2]; }", std::string(9, '\x80'), 1},  // errors, go on
  };
  for (const auto& [definitions, data, records] : cases) {
    SCOPED_TRACE(std::string(definitions));
    Session window(definitions);
    window.Load(data);
    window.Export(window.dir.File("window.csv"));
    const std::string expected = ReadBytes(window.dir.File("window.csv"));
    Cli cli(definitions, data);
    EXPECT_EQ(cli.Run({"DATA"}), ExitStatus::Done);
    EXPECT_EQ(cli.out.bytes_, expected);

    // A record may straddle any chunk boundary, or outgrow the chunk and be read field by field.
    const RowFormat& format = window.state.table.Format();
    for (std::size_t chunk : {1, 3, 7}) {
      MemoryOutput out;
      std::pair<std::uint64_t, std::uint64_t> last;  // records and bytes of the last report
      StreamRequest request;
      request.chunkBytes = chunk;
      request.skipBytes = chunk;  // the bytes no cell reads are passed over in pieces too
      request.progress = [&last](auto r, auto b) { last = {r, b}; };
      std::FILE* in = std::fopen(cli.dir.File("data.bin").c_str(), "rb");
      EXPECT_EQ(WriteStreamedCsv(in, format, window.state.columns, {0, 1, 2, 3, 4, 5, 6}, out,
                                 nullptr, false, request),
                StreamResult::Done);
      std::fclose(in);
      EXPECT_EQ(out.bytes_, expected) << chunk;
      EXPECT_EQ(last.first, records) << chunk;
      // Records of size 0 have their one row from the first chunk.
      const std::size_t read = format.RecordSize() > 0 ? data.size() : std::min(chunk, data.size());
      EXPECT_EQ(last.second, read) << chunk;
    }
  }
}

TEST(VelmoraCsv, EachOptionChangesWhatItSays) {
  Cli cli(kTwoStructs, kTwoRecords);
  const std::string header = "No.,Address,a,s,w\r\n";
  const std::string rows = "0,00000000,1,\"a,b\",-1\r\n1,00000007,2,\"\x8D\x5C\"\"\",-32768\r\n";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"DATA", "--encoding=utf-8", "--encoding", "cp932"}, header + rows},  // the last counts
      {{"-", "--struct", "\x8D\x5C"}, "No.,Address,x\r\n0,00000000,01\r\n1,00000001,61\r\n"},
      {{"-", "-s", "\x8D\x5C", "--records", "1:"}, "1,00000001,61\r\n"},  // past one byte
      {{"-l"}, "T\n\x8D\x5C\n"},
      {{"--layout", "-t", "4=xword"}, "2\ta\t0\t1\tubyte\n3\ts\t1\t4\tstring\n4\tw\t5\t2\txword\n"},
      {{"DATA", "-c", "w,0-1"}, "No.,Address,w\r\n0,00000000,-1\r\n1,00000007,-32768\r\n"},
      {{"DATA", "--type", "a=sbyte", "-c2"}, "a\r\n1\r\n2\r\n"},
      {{"DATA", "--no-base=1", "--strict", "-c", "0"}, "No.\r\n1\r\n2\r\n"},
      {{"DATA", "--records", "1:18446744073709551615", "-c", "0"}, "1\r\n"},
      {{"DATA", "--encoding", "utf-8-bom", "-c", "3"},
       "\xEF\xBB\xBFs\r\n\"a,b\"\r\n\"\xE6\xA7\x8B\"\"\"\r\n"},
      {{"--version"}, "velmora-csv " VELMORA_VERSION_SHORT "\n"}};
  for (const auto& [args, expected] : cases) {
    SCOPED_TRACE(args[0] + " " + (args.size() > 1 ? args[1] : ""));
    EXPECT_EQ(cli.Run(args, "\x01\x61"), ExitStatus::Done);
    EXPECT_EQ(cli.out.bytes_, expected);
    EXPECT_EQ(cli.err, "");
  }
  EXPECT_EQ(cli.Run({"DATA", "-o", cli.dir.File("out.csv")}), ExitStatus::Done);
  EXPECT_EQ(cli.out.bytes_ + ReadBytes(cli.dir.File("out.csv")), header + rows);
  EXPECT_EQ(cli.Run({"--help"}), ExitStatus::Done);
  EXPECT_NE(cli.out.bytes_.find("--records FIRST:COUNT"), std::string::npos);
}

TEST(VelmoraCsv, BadValuesAreUsageErrorsNamingTheOptionAndWriteNothing) {
  Cli cli(kTwoStructs, kTwoRecords);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--no-base", "2"}, "--no-base"},
      {{"--records", "1"}, "--records"},
      {{"--records", "x:1"}, "--records"},
      {{"--records", "1:-1"}, "--records"},
      {{"--encoding", "latin1"}, "--encoding"},
      {{"--type", "a"}, "--type"},
      {{"-t", "a=foo"}, "--type"},
      {{"-t", "s=ubyte"}, "--type"},
      {{"-t", "1=sword"}, "--type"},
      {{"-c", "0-5"}, "--columns"},
      {{"-c", "3-2"}, "--columns"},
      {{"-c", "a,"}, "--columns"},
      {{"--bogus"}, "--bogus"},
      {{"-\x01", "0:1"}, "-\x01"},  // no such letter
      {{"--strict=1"}, "--strict"},
      {{"other"}, "other"},
      {{"--def", ""}, "--def"},
      {{"-o", ""}, "--output"},
      {{"--records", ":1"}, "--records"},
      {{"--def"}, "--def"},  // with no value
      {{"--lenient"}, "--lenient"},
      {{"--import", "in.csv", "-c", "0"}, "--columns"},
      {{"--import", "in.csv", "--records", "0:1"}, "--records"},
  };
  for (auto [args, option] : cases) {
    SCOPED_TRACE(option);
    args.insert(args.begin(), {"-o", cli.dir.File("never.csv"), "DATA"});
    EXPECT_EQ(cli.Run(args), ExitStatus::Usage);
    EXPECT_EQ(cli.err.rfind("velmora-csv: " + option + ": ", 0), 0u) << cli.err;
    EXPECT_NE(cli.err.find("\n詳しくは velmora-csv --help"), std::string::npos);
    EXPECT_FALSE(FileExists(cli.dir.File("never.csv")));
  }
  EXPECT_EQ(cli.Run({"DATA", "-t", "5=sword"}), ExitStatus::Usage);  // one past the last column
  EXPECT_EQ(cli.err.rfind("velmora-csv: --type: \"5\"という列はありません\n", 0), 0u);
}

TEST(VelmoraCsv, EachFailureHasItsExitStatusAndNamesWhatFailed) {
  Cli cli(kTwoStructs, kTwoRecords);
  EXPECT_EQ(cli.Run({"-d", cli.dir.File("none.def"), "DATA"}), ExitStatus::Definition);
  EXPECT_EQ(cli.err, cli.dir.File("none.def") + ": 構造体定義ファイルを読み込めませんでした。\n");
  WriteBytes(cli.dir.File("empty.def"), "");
  EXPECT_EQ(cli.Run({"-d", cli.dir.File("empty.def"), "DATA"}), ExitStatus::Definition);
  EXPECT_EQ(cli.err, cli.dir.File("empty.def") + ": 構造体が定義されていません。\n");
  EXPECT_EQ(cli.Run({"-s", "\xE6\xA7\x8B", "DATA"}), ExitStatus::Definition);  // UTF-8 構
  EXPECT_EQ(cli.Run({cli.dir.File("none.bin")}), ExitStatus::DataUnreadable);
  EXPECT_EQ(cli.err, cli.dir.File("none.bin") + ": データファイルを読み込めませんでした。\n");
  EXPECT_EQ(cli.Run({"--", "--none"}), ExitStatus::DataUnreadable);  // an operand after "--"
  EXPECT_EQ(cli.Run({cli.dir.Path()}), ExitStatus::DataUnreadable);  // opens here, fails to read
  EXPECT_EQ(cli.err, cli.dir.Path() + ": データファイルを読み込めませんでした。\n");
  EXPECT_EQ(cli.Run({"DATA", "-o", cli.dir.Path()}), ExitStatus::OutputFailed);
  EXPECT_EQ(ListFolder(cli.dir.Path()),
            (std::vector<std::string>{"data.bin", "empty.def", "stdin", "struct.def"}));
}

TEST(VelmoraCsv, AClosedPipeEndsTheRunQuietlyButAFullDiskFails) {
  Cli cli(kTwoStructs, kTwoRecords);
  cli.out.limit = 10;  // the reader goes away: the run ends quietly
  EXPECT_EQ(cli.Run({"-"}, kTwoRecords), ExitStatus::Done);
  EXPECT_TRUE(cli.out.failed);
  EXPECT_EQ(cli.err, "");
  cli.out.closes = false;  // a full disk is no closed pipe
  EXPECT_EQ(cli.Run({"-"}, kTwoRecords), ExitStatus::OutputFailed);
}

TEST(VelmoraCsv, StrictStopsAtDefinitionErrorsBeforeAnyOutput) {
  Cli cli("struct S { ubyte a; Foo; ubyte c; }", "\x07\x08");
  const std::string reports =
      cli.dir.File("struct.def") + ": \"Foo;\"は定義された型ではありません\n";
  EXPECT_EQ(cli.Run({"--strict", "DATA"}), ExitStatus::Definition);
  EXPECT_EQ(cli.out.bytes_ + cli.err, reports);
  EXPECT_EQ(cli.Run({"DATA"}), ExitStatus::Done);  // without it: reported, and on as the window
  EXPECT_EQ(cli.err, reports);
  EXPECT_EQ(cli.out.bytes_, "No.,Address,a,c\r\n0,00000000,7,8\r\n");
}

TEST(VelmoraCsv, SlicesJoinToTheWhole) {
  Cli cli("struct R { uword n; string \x8D\x5C [3]; } struct Z { string z [0]; }",
          std::string("\x01\x00\x8D\x5C\x00\x02\x00xy\xFF\x03\x00", 12));
  for (std::string structure : {"R", "Z"}) {  // Z's records have no bytes: there is one
    ASSERT_EQ(cli.Run({"DATA", "-s", structure}), ExitStatus::Done);
    const std::string whole = cli.out.bytes_;
    std::string joined;
    for (std::string slice : {"0:1", "1:1", "2:", "3:1", "99:1"}) {
      EXPECT_EQ(cli.Run({"DATA", "-s", structure, "--records", slice}), ExitStatus::Done);
      joined += cli.out.bytes_;
    }
    EXPECT_EQ(joined, whole) << structure;
  }
}

TEST(VelmoraCsv, Utf8NamesMatchAndCellsConvert) {
  Cli cli("struct R { uword n; string \x8D\x5C [3]; }",
          std::string("\x01\x00\x8D\x5C\x00\x02\x00xy\xFF\x03\x00", 12));
  // 構 ends in 0x5C; the lone 0xFF is no character.
  cli.utf8Terminal = true;  // only names typed as UTF-8 may match names read as code page 932
  ASSERT_EQ(cli.Run({"DATA", "--encoding=utf-8", "-c", "\xE6\xA7\x8B"}), ExitStatus::Done);
  EXPECT_EQ(cli.out.bytes_, "\xE6\xA7\x8B\r\n\xE6\xA7\x8B\r\nxy\xEF\xBF\xBD\r\n\r\n");
}

// Once a run has taken a second, at most five times a second; erased at the end.
TEST(VelmoraCsv, ProgressShowsRecordsPercentAndPace) {
  Cli cli("struct M { string s [1048576]; }", std::string(17 << 20, '\0'));  // two chunks
  double now = 0;
  cli.clock = [&now] { return now += 1; };
  EXPECT_EQ(cli.Run({"DATA"}), ExitStatus::Done);
  EXPECT_EQ(cli.shown, (Names{"16 レコード   94%  16.8 MB/s", "17 レコード  100%  8.9 MB/s", ""}));
  Cli small("struct B { ubyte b; }", "x");  // any known size has a percent
  small.clock = cli.clock;
  EXPECT_EQ(small.Run({"DATA"}), ExitStatus::Done);
  EXPECT_EQ(small.shown, (Names{"1 レコード  100%  0.0 MB/s", ""}));
#ifndef _WIN32  // through a pipe there is no size, so no percent
  cli.shown.clear();
  now = 0;
  cli.piped = true;
  EXPECT_EQ(cli.Run({"-"}, std::string(17 << 20, '\0')), ExitStatus::Done);
  EXPECT_EQ(cli.shown, (Names{"16 レコード  16.8 MB/s", "17 レコード  8.9 MB/s", ""}));
#endif
}

#ifndef _WIN32
// A terminal speaks the character set of the locale the program takes from its environment.
TEST(VelmoraCsv, AUtf8LocaleMeansAUtf8Terminal) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  EXPECT_TRUE(TerminalSpeaksUtf8());
  std::setlocale(LC_CTYPE, "C");
  EXPECT_FALSE(TerminalSpeaksUtf8());
}
#endif

// 20-byte records; the fourth is partial. A name with bytes after its zero, a comma, a quote.
constexpr std::string_view kItems =
    "struct I { uword id; string name [6]; ubyte n; sbyte d; xword f; slong s [2]; }";
const std::string kItemData(
    "\x01\x00"
    "ab\0zz\0\xFF\x80\x0F\xA0\x01\x02\x03\x04\xFF\xFF\xFF\xFF"
    "\x02\x00"
    "c,\"\x8D\x5C!\x00\x7F\xFF\xFF\x00\x00\x00\x80\x05\x00\x00\x00"
    "\x03\x00\xFF\0\0\0\0\0\x01\x02\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00"
    "\x04\x00xyz",
    65);

// The byte-order mark alone says UTF-8 to the import.
TEST(VelmoraCsvImport, AnUntouchedExportComesBackByteForByte) {
  Cli cli(kItems, kItemData);
  std::vector<std::string> options = {"--no-base", "1", "-t", "f=sword", "-t", "d=xbyte", "DATA"};
  std::vector<std::string> exporting = options;
  exporting.insert(exporting.end(), {"--encoding", "utf-8-bom", "-o", cli.dir.File("in.csv")});
  ASSERT_EQ(cli.Run(exporting), ExitStatus::Done);
  options.insert(options.end(), {"--import", cli.dir.File("in.csv"), "-o", cli.dir.File("o.bin")});
  EXPECT_EQ(cli.Run(options), ExitStatus::Done) << cli.err;
  EXPECT_EQ(ReadBytes(cli.dir.File("o.bin")), kItemData);
}

// Told so, the import reads a CSV without the mark as UTF-8 too.
TEST(VelmoraCsvImport, AGivenEncodingReadsTheCsvInIt) {
  Cli cli(kItems, kItemData);
  EXPECT_EQ(cli.Import("No.,name\r\n0,\xE6\xA7\x8B\r\n", {"--encoding", "utf-8", "DATA"}),
            ExitStatus::Done);
  EXPECT_EQ(ReadBytes(cli.dir.File("data.bin")).substr(2, 3), std::string("\x8D\x5C\0", 3));
}

TEST(VelmoraCsvImport, AOneCellEditEqualsTheWindowsEditThenWrite) {
  // The row and column edited in the window, the text typed there, the CSV of the same edit.
  const std::vector<std::tuple<int, int, std::string, std::string>> cases = {
      {0, 2, "65535", "id,No.\r\n65535,0\r\n"},
      {1, 3, "a,\"b", "No.,name\r\n1,\"a,\"\"b\"\r\n"},
      {0, 3, "", "No.,name\r\n0,\r\n"},
      {2, 4, "7", "No.,n\n2,007\n"},
      {0, 5, "127", "No.,d\r\n0,127\r\n"},
      {1, 5, "-128", "No.,d\r\n1,-128\r\n"},
      {1, 6, "00ff", "No.,f\r\n1,00ff\r\n"},
      {2, 8, "-2147483648", "s[1],No.\r\n-2147483648,2\r\n"},
  };
  for (const auto& [row, column, typed, csv] : cases) {
    SCOPED_TRACE(csv);
    Session window(kItems);
    window.Load(kItemData);
    window.ui.editAnswer = [text = typed](auto, auto) { return text; };
    EditCell(window.state, window.ui, row, column);
    window.Write(window.dir.File("written.bin"));
    Cli cli(kItems, kItemData);
    EXPECT_EQ(cli.Import(csv), ExitStatus::Done);
    EXPECT_EQ(ReadBytes(cli.dir.File("data.bin")), ReadBytes(window.dir.File("written.bin")));
  }
}

TEST(VelmoraCsvImport, RowsByNumberColumnsByLabelInOrderAndNewRecordsFromZeros) {
  Cli cli("struct D { ubyte a; ubyte a; string s [3]; }", "\x01\x02xyz\x03\x04uvw\x05");
  EXPECT_EQ(cli.Import("s,a,No.,Address,a,\n"
                       ",,4,,7\r\n"
                       "q,9,1,zzz,8,\n"
                       "\n"
                       ",,,,\r\n"),
            ExitStatus::Done)
      << cli.err;
  EXPECT_EQ(ReadBytes(cli.dir.File("data.bin")), std::string("\x01\x02xyz\x09\x08q\0\0\x05\0\0\0\0"
                                                             "\0\0\0\0\0\0\x07\0\0\0",
                                                             25));
  // No "No.": rows by position.
  EXPECT_EQ(cli.Import("a\r5\r6\r", {"DATA", "-o", cli.dir.File("o.bin")}), ExitStatus::Done);
  EXPECT_EQ(ReadBytes(cli.dir.File("o.bin")).substr(0, 6), "\x05\x02xyz\x06");
  EXPECT_EQ(cli.Import("a\r5\r6\r", {"-o", cli.dir.File("o.bin")}), ExitStatus::Done);  // no data
  EXPECT_EQ(ReadBytes(cli.dir.File("o.bin")), std::string("\x05\0\0\0\0\x06\0\0\0\0", 10));
}

TEST(VelmoraCsvImport, LenientTakesEveryTextAsTypedIntoItsCell) {
  Cli cli(kItems, kItemData);
  EXPECT_EQ(cli.Import("n,id,name\r\n300,12 ,abcdefgh\r\n", {"--lenient", "DATA"}),
            ExitStatus::Done);
  EXPECT_EQ(ReadBytes(cli.dir.File("data.bin")).substr(0, 9), std::string("\x78\0abcdef\x2C", 9));
}

TEST(VelmoraCsvImport, BadInputIsRefusedWholeRowByRowAndNothingIsWritten) {
  Cli cli(kItems, kItemData);
  const std::string csv = cli.dir.File("in.csv");
  std::string many = "f\r\n";  // more problems than are listed
  for (int row = 0; row < 21; ++row) many += "g\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"No.,id,n,d,f,name,s[0]\r\n"
       "0,1x,256,-129,12345,abcdefg,2147483648\r\n"
       "3,1,,,,a,\r\n"  // the partial record has no "name"
       "3,,,,,,\r\n"
       "x,,,,,,\r\n"
       "99999999999999999999999,,,,,,\r\n"
       "1,\"1\"x,,,,,\r\n"
       "1,1\"\r\n"
       "1,\r\n"
       "2,\"open\r\n",
       "2 行目, \"id\" 列: 10 進の整数ではありません\n"
       "2 行目, \"n\" 列: 0 から 255 の範囲外です\n"
       "2 行目, \"d\" 列: -128 から 127 の範囲外です\n"
       "2 行目, \"f\" 列: 16 進数は 4 桁までです\n"
       "2 行目, \"name\" 列: 6 バイトを越える文字列です\n"
       "2 行目, \"s[0]\" 列: -2147483648 から 2147483647 の範囲外です\n"
       "3 行目, \"name\" 列: アクセスできる範囲を越えたところに入力されました\n"
       "4 行目, \"No.\" 列: 同じレコード番号の行がほかにあります\n"
       "5 行目, \"No.\" 列: レコード番号ではありません\n"
       "6 行目, \"No.\" 列: レコード番号が大きすぎます (データが 4 GiB を越えます)\n"
       "7 行目: 閉じた引用符の後にコンマか改行がありません\n"
       "8 行目: 引用符で始まらない値に引用符があります\n"
       "9 行目: 値の数が見出しの列の数と違います\n"
       "10 行目: 引用符が閉じられていません\n"
       "問題が 14 件あります。何も書き込みませんでした。\n"},
      {"No.,f,\x8D\x5C\r\n",
       "1 行目, \"\x8D\x5C\" 列: この名前の列は構造体にありません\n"
       "問題が 1 件あります。何も書き込みませんでした。\n"},
      {"No.,f\r\n0,\r\n",
       "2 行目, \"f\" 列: 16 進数ではありません\n"
       "問題が 1 件あります。何も書き込みませんでした。\n"},
      {"", "1 行目: 見出し行がありません\n問題が 1 件あります。何も書き込みませんでした。\n"},
      {"name\r\n\xE6\xA7\x8B\r\n",
       "UTF-8 の CSV のようです。--encoding utf-8 を指定してください (コードページ 932 なら "
       "--encoding cp932)。\n"},
      {"\xEF\xBB\xBFname\r\n\x8D\x5C\r\n",
       "2 行目, \"name\" 列: 文字コードが正しくありません\n"
       "問題が 1 件あります。何も書き込みませんでした。\n"},
      {many, "問題が 21 件あります (最初の 20 件を表示)。何も書き込みませんでした。\n"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(cli.Import(text), ExitStatus::InputRefused);
    std::string lines = cli.err;  // each line names the CSV first
    for (std::size_t at = 0; (at = lines.find(csv + ": ", at)) != std::string::npos;) {
      lines.erase(at, csv.size() + 2);
    }
    EXPECT_TRUE(lines.ends_with(expected)) << lines;
    EXPECT_EQ(ReadBytes(cli.dir.File("data.bin")), kItemData);
  }
  EXPECT_EQ(cli.Run({"--import", csv}), ExitStatus::Usage);  // no data file, no --output
  EXPECT_EQ(cli.Run({"--import", cli.dir.File("none.csv"), "DATA"}), ExitStatus::DataUnreadable);
  EXPECT_EQ(cli.err, cli.dir.File("none.csv") + ": CSV ファイルを読み込めませんでした。\n");
  EXPECT_EQ(cli.Run({"--import", csv, cli.dir.File("none.bin")}), ExitStatus::DataUnreadable);
  EXPECT_EQ(cli.err, cli.dir.File("none.bin") + ": データファイルを読み込めませんでした。\n");
}

}  // namespace
