// The CSV writer over arbitrary cell texts and labels: String cells from arbitrary data and
// as-typed edits in any column, written to a file and read back with a strict RFC 4180
// reader. Every field must come back byte for byte, and no temporary file may stay behind.

#include <dirent.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "export/csv_writer.h"
#include "datafile/data_buffer.h"
#include "fuzz_support.h"
#include "records/record_table.h"

namespace {

using Record = std::vector<std::string>;

std::string folder;

// Strict: a quote inside an unquoted field, a lone CR or anything after a closing quote other
// than a separator or the line end is an error (nullopt). Every line ends with CR LF.
std::optional<std::vector<Record>> ReadCsv(const std::string& text) {
  std::vector<Record> records;
  std::size_t i = 0;
  while (i < text.size()) {
    Record record;
    for (;;) {
      std::string field;
      if (i < text.size() && text[i] == '"') {
        ++i;
        for (;;) {
          if (i >= text.size()) return std::nullopt;
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          field += text[i++];
        }
      } else {
        while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          if (text[i] == '"') return std::nullopt;
          field += text[i++];
        }
      }
      record.push_back(std::move(field));
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') {
        i += 2;
        break;
      }
      return std::nullopt;
    }
    records.push_back(std::move(record));
  }
  return records;
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
  }
  return bytes;
}

std::vector<std::string> FolderEntries() {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // tmpfs where there is one: the writer syncs every file it commits.
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/velmora-csv-fuzz-XXXXXX"
                                                      : "/tmp/velmora-csv-fuzz-XXXXXX";
  fuzz::Check(mkdtemp(pattern.data()) != nullptr, "a folder for the CSV files");
  folder = pattern;
  std::atexit([] {
    for (const std::string& name : FolderEntries()) unlink((folder + "/" + name).c_str());
    rmdir(folder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  FuzzedDataProvider provider(input, size);

  // One to six columns after "No." and "Address", each a String or a number of any width.
  StructDef structDef;
  ColumnList columns{{-1, TypeCode::UWord, provider.ConsumeRandomLengthString(16), 0},
                     {-1, TypeCode::XLong, provider.ConsumeRandomLengthString(16), 0}};
  const int members = provider.ConsumeIntegralInRange(1, 6);
  std::int32_t offset = 0;
  for (int m = 0; m < members; ++m) {
    const auto type = static_cast<TypeCode>(provider.ConsumeIntegralInRange(1, 10));
    const std::int32_t count =
        type == TypeCode::String ? provider.ConsumeIntegralInRange(0, 40) : 1;
    structDef.members.push_back({type, provider.ConsumeRandomLengthString(16), count});
    columns.push_back({m, type, structDef.members.back().name, offset});
    offset += count * TypeWidth(type);
  }
  structDef.recordSize = offset;

  std::vector<std::int32_t> selection;
  const int chosen = provider.ConsumeIntegralInRange(0, 10);
  for (int k = 0; k < chosen; ++k)
    selection.push_back(provider.ConsumeIntegralInRange(-1, members + 3));
  std::sort(selection.begin(), selection.end());
  selection.erase(std::unique(selection.begin(), selection.end()), selection.end());

  struct Edit {
    std::uint32_t row;
    int column;
    std::string text;
  };
  std::vector<Edit> edits(provider.ConsumeIntegralInRange(0, 6));
  for (Edit& edit : edits) {
    edit.row = provider.ConsumeIntegralInRange<std::uint32_t>(0, 8);
    edit.column = provider.ConsumeIntegralInRange(0, members + 1);
    edit.text = provider.ConsumeRandomLengthString(1100);
  }
  const std::vector<std::uint8_t> bytes = provider.ConsumeRemainingBytes<std::uint8_t>();

  DataBuffer data = fuzz::ExactBuffer(bytes);
  RecordTable table;
  table.Refresh(data, structDef, columns, 1);
  for (const Edit& edit : edits) table.SetEditedText(edit.row, edit.column, edit.text);

  const std::string path = folder + "/out.csv";
  int questions = 0;
  const CsvResult result =
      WriteCsv(path, table, columns, selection, [&](std::string_view, std::string_view) {
        ++questions;
        return true;
      });
  fuzz::Check(result == CsvResult::Written, "the export succeeds");

  std::vector<std::int32_t> valid;
  for (std::int32_t index : selection) {
    if (index >= 0 && static_cast<std::size_t>(index) < columns.size()) valid.push_back(index);
  }
  std::vector<Record> expected;
  Record header;
  for (std::int32_t index : valid) header.push_back(columns[static_cast<std::size_t>(index)].label);
  expected.push_back(header.empty() ? Record{""} : header);
  for (std::uint32_t row = 0; row < table.RowCount(); ++row) {
    Record line;
    for (std::int32_t index : valid) line.push_back(table.CellText(row, index));
    expected.push_back(line.empty() ? Record{""} : line);
  }

  const std::optional<std::vector<Record>> read = ReadCsv(ReadFile(path));
  fuzz::Check(read.has_value(), "the file is valid RFC 4180 with CR LF line ends");
  fuzz::Check(*read == expected, "every label and cell reads back as shown");
  fuzz::Check(FolderEntries() == std::vector<std::string>{"out.csv"}, "no temporary file is left");
  return 0;
}
