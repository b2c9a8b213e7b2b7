// The window's CSV export of any table holds its labels and cells in RFC 4180 with CR LF, through
// a buffer of any size; a small share of the inputs goes through the safe writer to a file.

#include <filesystem>
#include <fstream>

#include "export/csv_writer.h"
#include "fuzz_support.h"

static std::string folder = "/dev/shm/velmora-csv-XXXXXX";  // tmpfs: the writer syncs each file
static const bool made =
    mkdtemp(folder.data()) && !std::atexit([] { std::filesystem::remove_all(folder); });

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput in(input, size);
  std::vector<std::int32_t> picked{-1};  // ascending, the first and last naming no column
  for (int i = 0; i <= in.n(); ++i)
    if (i == in.n() || in.ConsumeBool()) picked.push_back(i);
  const auto bufferBytes = in.ConsumeIntegralInRange<std::size_t>(1, 300);
  const bool toFile = in.ConsumeIntegral<std::uint8_t>() < 8;
  const auto length = in.ConsumeIntegral<std::uint16_t>();
  std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(length);
  KeepCells(bytes, in.def.recordSize, picked.size());
  const DataBuffer data = ExactBuffer(bytes);
  RecordTable table;
  table.Refresh(data, in.def, in.columns, 1);
  while (in.remaining_bytes() > 0)  // as-typed edits
    table.SetEditedText(in.ConsumeIntegral<std::uint8_t>(), in.ConsumeIntegralInRange(0, in.n()),
                        in.ConsumeRandomLengthString());
  const std::string path = folder + "/out.csv";
  StringSink memory;
  FUZZ_CHECK(toFile ? made && WriteCsv(path, table, in.columns, picked, bufferBytes)
                    : WriteCsvTo(memory, table, in.columns, picked, bufferBytes));
  std::string expected;  // a field with a comma, a quote, CR or LF is quoted, its quotes doubled
  for (std::uint32_t row = 0; row <= table.RowCount(); ++row) {
    for (std::size_t k = 1; k + 1 < picked.size(); ++k) {
      const auto& text = row ? table.CellText(row - 1, picked[k]) : in.columns[picked[k]].label;
      const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos;
      expected += (k > 1 ? "," : "") + std::string(quoted, '"');
      for (char c : text) expected.append(quoted && c == '"' ? 2 : 1, c);
      expected.append(quoted, '"');
    }
    expected += "\r\n";
  }
  if (!toFile) {
    FUZZ_CHECK(memory.text == expected);
    return 0;
  }
  std::ifstream file(path, std::ios::binary);
  FUZZ_CHECK(std::string(std::istreambuf_iterator<char>(file), {}) == expected);
  FUZZ_CHECK(std::distance(std::filesystem::directory_iterator(folder), {}) == 1);  // no temporary
  return 0;
}
