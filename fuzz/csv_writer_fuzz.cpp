// The CSV writer over arbitrary cell texts and labels: String cells from arbitrary data and
// as-typed edits in any column, written to a file that must hold exactly those texts in
// RFC 4180, with no temporary file left behind.

#include <dirent.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include "export/csv_writer.h"
#include "fuzz_support.h"
#include "records/record_table.h"

namespace {

std::string folder;

// RFC 4180 as the window's export writes it: a field with a comma, a quote, CR or LF is quoted,
// its quotes doubled; every line ends with CR LF.
std::string Line(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const bool quoted = fields[i].find_first_of(",\"\r\n") != std::string::npos;
    line += (i ? "," : "") + std::string(quoted, '"');
    for (char c : fields[i]) line.append(quoted && c == '"' ? 2 : 1, c);
    line.append(quoted, '"');
  }
  return line + "\r\n";
}

std::size_t FolderEntries() {
  std::size_t count = 0;
  if (DIR* dir = opendir(folder.c_str())) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // tmpfs where there is one: the writer syncs every file it commits.
  folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm/velmora-csv-fuzz-XXXXXX"
                                         : "/tmp/velmora-csv-fuzz-XXXXXX";
  fuzz::Check(mkdtemp(folder.data()) != nullptr, "a folder for the CSV files");
  std::atexit([] { unlink((folder + "/out.csv").c_str()), rmdir(folder.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  FuzzedDataProvider provider(input, size);
  // One to six columns after "No." and "Address", each a String or a number of any width.
  StructDef structDef;
  ColumnList columns{{-1, TypeCode::UWord, provider.ConsumeRandomLengthString(16), 0},
                     {-1, TypeCode::XLong, provider.ConsumeRandomLengthString(16), 0}};
  const int members = provider.ConsumeIntegralInRange(1, 6);
  for (int m = 0; m < members; ++m) {
    const auto type = static_cast<TypeCode>(provider.ConsumeIntegralInRange(1, 10));
    const std::int32_t count =
        type == TypeCode::String ? provider.ConsumeIntegralInRange(0, 40) : 1;
    structDef.members.push_back({type, provider.ConsumeRandomLengthString(16), count});
    columns.push_back({m, type, structDef.members.back().name, structDef.recordSize});
    structDef.recordSize += count * TypeWidth(type);
  }
  std::vector<std::int32_t> selection;
  for (int k = provider.ConsumeIntegralInRange(0, 10); k > 0; --k) {
    const std::int32_t index = provider.ConsumeIntegralInRange(-1, members + 3);
    if (std::find(selection.begin(), selection.end(), index) == selection.end())
      selection.push_back(index);
  }
  std::sort(selection.begin(), selection.end());
  std::vector<std::tuple<std::uint32_t, int, std::string>> edits(
      provider.ConsumeIntegralInRange(0, 6));
  for (auto& [row, column, text] : edits) {
    row = provider.ConsumeIntegralInRange<std::uint32_t>(0, 8);
    column = provider.ConsumeIntegralInRange(0, members + 1);
    text = provider.ConsumeRandomLengthString(1100);
  }
  DataBuffer data = fuzz::ExactBuffer(provider.ConsumeRemainingBytes<std::uint8_t>());
  RecordTable table;
  table.Refresh(data, structDef, columns, 1);
  for (const auto& [row, column, text] : edits) table.SetEditedText(row, column, text);

  const std::string path = folder + "/out.csv";
  const int result =
      static_cast<int>(WriteCsv(path, table, columns, selection, [](auto, auto) { return true; }));
  fuzz::Check(result == 1, "the export succeeds");
  std::vector<std::vector<std::string>> lines(table.RowCount() + 1);
  for (std::int32_t index : selection) {
    if (index < 0 || index >= static_cast<std::int32_t>(columns.size())) continue;
    lines[0].push_back(columns[index].label);
    for (std::uint32_t row = 0; row < table.RowCount(); ++row)
      lines[row + 1].push_back(table.CellText(row, index));
  }
  std::string expected, written;
  for (const auto& line : lines) expected += Line(line);
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(file)) != EOF;) written += static_cast<char>(c);
    std::fclose(file);
  }
  fuzz::Check(written == expected, "every label and cell as shown, in RFC 4180 with CR LF");
  fuzz::Check(FolderEntries() == 3, "no temporary file is left beside out.csv, . and ..");
  return 0;
}
