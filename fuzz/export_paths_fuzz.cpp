// The window's export and velmora-csv's streamed export of any table are the same RFC 4180 text,
// built here from the cells the list shows, whatever the layout, display types, numbering,
// edits, chosen columns, slice, encoding, and chunk and buffer sizes down to one byte; a small
// share of the window's exports also goes through the safe writer to a file.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/encoding.h"
#include "cli/stream_export.h"
#include "export/csv_writer.h"
#include "fuzz_support.h"

namespace {

struct Slice {
  std::uint64_t first = 0;
  std::optional<std::uint64_t> count;
};

// The lines of the slice's rows of what the list shows, labels and String cells in UTF-8 when
// asked; the header (after a byte-order mark when asked) only where the slice starts at 0.
std::string Expected(const RecordTable& table, const ColumnList& columns,
                     const std::vector<std::int32_t>& chosen, const Slice& slice, bool utf8,
                     bool byteOrderMark) {
  const auto shown = [&](std::string text, bool isText) {
    return utf8 && isText ? Cp932ToUtf8(text) : text;
  };
  std::string text;
  if (slice.first == 0) {
    if (byteOrderMark) text += "\xEF\xBB\xBF";
    for (std::size_t k = 0; k < chosen.size(); ++k)
      AddField(text, shown(columns[chosen[k]].label, true), k == 0);
    text += "\r\n";
  }
  const std::uint64_t end = slice.count ? slice.first + *slice.count : table.RowCount();
  for (std::uint64_t row = slice.first; row < table.RowCount() && row < end; ++row) {
    for (std::size_t k = 0; k < chosen.size(); ++k) {
      const std::string cell = table.CellText(static_cast<std::uint32_t>(row), chosen[k]);
      AddField(text, shown(cell, table.Format().IsText(chosen[k])), k == 0);
    }
    text += "\r\n";
  }
  return text;
}

std::string folder = "/dev/shm/velmora-csv-XXXXXX";  // tmpfs: the writer syncs each file
const bool made =
    mkdtemp(folder.data()) && !std::atexit([] { std::filesystem::remove_all(folder); });

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  LayoutInput in(input, size);
  in.RetypeColumns();
  std::vector<std::int32_t> selection;  // ascending, as both programs give it
  for (int column = in.ConsumeBool() ? -1 : 0; column <= in.n(); ++column)
    if (in.ConsumeBool()) selection.push_back(column);
  std::vector<std::int32_t> chosen;
  for (std::int32_t column : selection)
    if (column >= 0 && column < in.n()) chosen.push_back(column);
  const std::int32_t noBase = in.ConsumeBool() ? 1 : 0;
  const std::size_t windowBuffer = in.ConsumeIntegralInRange<std::size_t>(1, 300);
  const std::size_t streamBuffer = in.ConsumeIntegralInRange<std::size_t>(1, 300);
  StreamRequest request;
  request.chunkBytes = in.ConsumeIntegralInRange<std::size_t>(1, 300);
  request.skipBytes = in.ConsumeIntegralInRange<std::size_t>(1, 300);
  const int encoding = in.ConsumeIntegralInRange(0, 2);           // CP932, UTF-8, UTF-8 with a mark
  const bool toFile = in.ConsumeIntegral<std::uint8_t>() >= 248;  // a small share: it syncs
  Slice slice;
  if (in.ConsumeBool()) {
    slice.first = in.ConsumeIntegralInRange<std::uint64_t>(0, 40);
    if (in.ConsumeBool()) slice.count = in.ConsumeIntegralInRange<std::uint64_t>(0, 40);
  }
  request.firstRecord = slice.first;
  request.recordCount = slice.count;
  const int edits = in.ConsumeIntegralInRange(0, 8);
  DataBuffer data = ExactBuffer(in.ConsumeData(chosen.size()));

  RecordTable table;
  table.Refresh(data, in.def, in.columns, noBase);
  for (int i = 0; i < edits && in.remaining_bytes() > 0; ++i) {  // as the edit dialog stores them
    const auto row = in.ConsumeIntegralInRange<std::uint32_t>(0, table.RowCount());
    const int column = in.ConsumeIntegralInRange(0, in.n());
    const std::string typed = in.ConsumeRandomLengthString(64);
    if (StoreCellValue(data, in.def, in.columns, typed, column, row) == StoreResult::Stored)
      table.SetEditedText(row, column, typed);
  }
  StringSink window;
  FUZZ_CHECK(WriteCsvTo(window, table, in.columns, selection, windowBuffer));
  FUZZ_CHECK(window.text == Expected(table, in.columns, chosen, {}, false, false));
  if (toFile) {
    const std::string path = folder + "/out.csv";
    FUZZ_CHECK(made && WriteCsv(path, table, in.columns, selection, windowBuffer));
    std::ifstream file(path, std::ios::binary);
    FUZZ_CHECK(std::string(std::istreambuf_iterator<char>(file), {}) == window.text);
    const auto files = std::distance(std::filesystem::directory_iterator(folder), {});
    FUZZ_CHECK(files == 1);  // no temporary left
  }

  // The stream reads the data as written, where the list shows the edits once refreshed.
  table.Refresh(data, in.def, in.columns, noBase);
  StringSink refreshed;
  FUZZ_CHECK(WriteCsvTo(refreshed, table, in.columns, selection, windowBuffer));
  FUZZ_CHECK(refreshed.text == Expected(table, in.columns, chosen, {}, false, false));
  const Utf8Output utf8;
  StringSink stream;
  request.bufferBytes = streamBuffer;
  std::FILE* file = data.byteCount > 0 ? fmemopen(data.bytes.get(), data.byteCount, "rb")
                                       : std::fopen("/dev/null", "rb");
  FUZZ_CHECK(file != nullptr);
  const StreamResult result =
      WriteStreamedCsv(file, table.Format(), in.columns, selection, stream,
                       encoding > 0 ? &utf8 : nullptr, encoding == 2, request);
  std::fclose(file);
  FUZZ_CHECK(result == StreamResult::Done);
  FUZZ_CHECK(stream.text ==
             Expected(table, in.columns, chosen, slice, encoding > 0, encoding == 2));
  return 0;
}
