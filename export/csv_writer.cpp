#include "export/csv_writer.h"

#include <sys/stat.h>

#include "datafile/safe_write.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kOverwriteCaption = "上書き注意";

// True for a file or a folder, as the overwrite question needs.
bool PathExists(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0;
}

bool NeedsQuotes(std::string_view text) {
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

// Quoted only where a reader would otherwise split or misread the field; inner quotes doubled.
// Formatted numbers never need it, but an edited cell shows its text as typed until the next
// refresh, and "1,5" typed into a number column must not split the line.
void AppendField(std::string& line, std::string_view text) {
  if (!NeedsQuotes(text)) {
    line += text;
    return;
  }
  line += '"';
  for (char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

}  // namespace

CsvResult WriteCsv(const std::string& path, const RecordTable& table, const ColumnList& columns,
                   const std::vector<std::int32_t>& selection, const YesNoQuestion& ask) {
  if (PathExists(path)) {
    const std::string question =
        "ファイル\"" + path + "\"は既に存在しています。\r\n上書きしますか？";
    if (!ask(question, kOverwriteCaption)) return CsvResult::Declined;
  }

  // Indexes that name no column of the ColumnList are left out.
  std::vector<std::int32_t> chosen;
  chosen.reserve(selection.size());
  for (std::int32_t index : selection) {
    if (index >= 0 && static_cast<std::size_t>(index) < columns.size()) chosen.push_back(index);
  }

  SafeFileWriter file;
  if (!file.Open(path)) return CsvResult::Failed;

  std::string line;
  for (std::size_t k = 0; k < chosen.size(); ++k) {
    if (k > 0) line += ',';
    AppendField(line, columns[static_cast<std::size_t>(chosen[k])].label);
  }
  line += kLineEnd;
  if (!file.Write(line)) return CsvResult::Failed;

  // Rows are streamed one line at a time: the file can be far larger than the data.
  std::string cell;
  const std::uint32_t rowCount = table.RowCount();
  for (std::uint32_t row = 0; row < rowCount; ++row) {
    line.clear();
    for (std::size_t k = 0; k < chosen.size(); ++k) {
      if (k > 0) line += ',';
      table.CellText(row, chosen[k], cell);
      AppendField(line, cell);
    }
    line += kLineEnd;
    if (!file.Write(line)) return CsvResult::Failed;
  }
  return file.Commit() ? CsvResult::Written : CsvResult::Failed;
}
