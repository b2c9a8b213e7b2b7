// Any table exported to CSV and imported with no edit gives back the same bytes: any layout,
// data, display types (as a header click leaves them) and numbering, any choice of columns and
// rows, the rows in any order where "No." names them.

#include <map>

#include "export/csv_import.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput in(input, size);
  in.RetypeColumns();
  // A label's occurrences are picked from its first on, as the import maps them in order.
  std::vector<std::int32_t> picked;
  std::map<std::string, bool> allPickedSoFar;
  for (int j = 0; j < in.n(); ++j) {
    auto [label, all] = *allPickedSoFar.try_emplace(in.columns[j].label, true).first;
    const bool pick = all && in.ConsumeBool();
    if (pick) picked.push_back(j);
    allPickedSoFar[label] = pick;
  }
  const bool numbered = !picked.empty() && picked.front() == 0;
  const std::int32_t noBase = in.ConsumeBool() ? 1 : 0;
  const bool reversed = in.ConsumeBool();
  const bool lenient = in.ConsumeBool();
  const std::vector<std::uint8_t> bytes = in.ConsumeData(picked.size());
  DataBuffer data = ExactBuffer(bytes);
  RecordTable table;
  table.Refresh(data, in.def, in.columns, noBase);
  std::vector<std::uint32_t> rows;
  for (std::uint32_t r = 0; r < table.RowCount(); ++r) {
    // Rows left out stay as they are; without "No." rows go by position, so only a first few.
    if (numbered ? in.ConsumeBool() : rows.size() == r && in.ConsumeBool()) rows.push_back(r);
  }
  if (reversed && numbered) std::reverse(rows.begin(), rows.end());

  // The export's lines, as export_paths_fuzz proves them: RFC 4180 fields, CR LF.
  std::string csv;
  for (std::size_t k = 0; k < picked.size(); ++k)
    AddField(csv, in.columns[picked[k]].label, k == 0);
  csv += "\r\n";
  std::string text;
  for (std::uint32_t r : rows) {
    for (std::size_t k = 0; k < picked.size(); ++k) {
      table.CellText(r, picked[k], text);
      AddField(csv, text, k == 0);
    }
    csv += "\r\n";
  }

  CsvImportOptions options;
  options.noBase = noBase;
  options.lenient = lenient;
  const CsvImportResult result = ImportCsv(csv, data, in.def, in.columns, options);
  FUZZ_CHECK(result.problemCount == 0 && result.cellsStored == 0);
  FUZZ_CHECK(data.byteCount == bytes.size() &&
             std::equal(bytes.begin(), bytes.end(), data.bytes.get()));
  return 0;
}
