// The window's CSV export over any layout, data, selection and as-typed edits: the file holds
// the labels and cells shown, in RFC 4180 with CR LF, and no temporary is left beside it.

#include <filesystem>
#include <fstream>

#include "export/csv_writer.h"
#include "fuzz_support.h"

static std::string folder = "/dev/shm/velmora-csv-XXXXXX";  // tmpfs: the writer syncs each file
static const bool made =
    mkdtemp(folder.data()) && !std::atexit([] { std::filesystem::remove_all(folder); });

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput provider(input, size);
  const ColumnList& columns = provider.columns;
  const int n = provider.n;
  std::vector<std::int32_t> selection;  // ascending; -1 and n name no column
  for (int i = -1; i <= n; ++i)
    if (provider.ConsumeBool()) selection.push_back(i);
  const auto length = provider.ConsumeIntegral<std::uint16_t>();
  const DataBuffer data = ExactBuffer(provider.ConsumeBytes<std::uint8_t>(length));
  RecordTable table;
  table.Refresh(data, provider.def, columns, 1);
  while (provider.remaining_bytes() > 0) {
    const auto row = provider.ConsumeIntegralInRange(0u, table.RowCount());
    const int column = provider.ConsumeIntegralInRange(0, n);
    table.SetEditedText(row, column, provider.ConsumeRandomLengthString());
  }
  const std::string path = folder + "/out.csv";
  const auto yes = [](auto, auto) { return true; };
  FUZZ_CHECK(made && WriteCsv(path, table, columns, selection, yes) == CsvResult::Written);
  std::string expected;  // a field with a comma, a quote, CR or LF is quoted, its quotes doubled
  for (std::uint32_t row = 0; row <= table.RowCount(); ++row) {
    for (std::size_t k = 0; k < selection.size(); ++k) {
      const std::int32_t index = selection[k];
      if (index < 0 || index >= n) continue;
      const std::string text = row ? table.CellText(row - 1, index) : columns[index].label;
      const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos;
      expected += (k > (selection[0] < 0) ? "," : "") + std::string(quoted, '"');  // -1 first
      for (char c : text) expected.append(quoted && c == '"' ? 2 : 1, c);
      expected.append(quoted, '"');
    }
    expected += "\r\n";
  }
  std::ifstream file(path, std::ios::binary);
  FUZZ_CHECK(std::string(std::istreambuf_iterator<char>(file), {}) == expected);
  FUZZ_CHECK(std::distance(std::filesystem::directory_iterator(folder), {}) == 1);
  return 0;
}
