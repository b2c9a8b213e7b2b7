// What the record list costs over a 64 MiB data file of 16-byte records with 8 member columns
// (4,194,304 rows, 10 cells each): a refresh, making every cell's text once, the window's CSV
// export, and velmora-csv streaming the same file to /dev/null and to a file; and the way back,
// --import of that export: unchanged (every text compared, nothing stored), over zeros (every
// member cell parsed, checked and stored), and velmora-csv from file to file. Cells count as the
// export counts them, 10 a row.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "app/app_state.h"
#include "cli/velmora_csv.h"
#include "export/csv_import.h"
#include "export/csv_writer.h"

namespace {

constexpr std::uint32_t kDataBytes = 64u << 20;

AppState& Loaded() {
  static AppState state = [] {
    AppState s;
    s.structDef.members = {{TypeCode::UByte, "a", 1}, {TypeCode::SByte, "b", 1},
                           {TypeCode::XByte, "c", 1}, {TypeCode::XByte, "d", 1},
                           {TypeCode::UWord, "e", 1}, {TypeCode::SWord, "f", 1},
                           {TypeCode::ULong, "g", 1}, {TypeCode::XLong, "h", 1}};
    s.structDef.recordSize = ComputeRecordSize(s.structDef.members);
    BuildColumnList(s.structDef, s.columns);
    s.dataBuffer.bytes = std::make_unique<std::uint8_t[]>(kDataBytes);
    s.dataBuffer.byteCount = kDataBytes;
    std::mt19937 random(2024);
    for (std::uint32_t i = 0; i < kDataBytes; ++i) {
      s.dataBuffer.bytes[i] = static_cast<std::uint8_t>(random());
    }
    s.table.Refresh(s.dataBuffer, s.structDef, s.columns, 1);
    return s;
  }();
  return state;
}

void BM_Refresh(benchmark::State& bench) {
  AppState& s = Loaded();
  for (auto _ : bench) {
    s.table.Refresh(s.dataBuffer, s.structDef, s.columns, 1);
    benchmark::DoNotOptimize(s.table.RowCount());
  }
  bench.counters["rows"] = s.table.RowCount();
}
BENCHMARK(BM_Refresh);

void BM_EveryCellTextOnce(benchmark::State& bench) {
  AppState& s = Loaded();
  std::string text;
  std::uint64_t cells = 0;
  std::uint64_t bytes = 0;
  for (auto _ : bench) {
    const std::uint32_t rows = s.table.RowCount();
    const int columns = s.table.ColumnCount();
    for (std::uint32_t row = 0; row < rows; ++row) {
      for (int column = 0; column < columns; ++column) {
        s.table.CellText(row, column, text);
        bytes += text.size();
      }
    }
    cells += std::uint64_t{rows} * static_cast<std::uint64_t>(columns);
  }
  benchmark::DoNotOptimize(bytes);
  bench.SetItemsProcessed(static_cast<std::int64_t>(cells));
}
BENCHMARK(BM_EveryCellTextOnce)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CsvExportAllColumns(benchmark::State& bench) {
  AppState& s = Loaded();
  char folder[] = "/tmp/velmora-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    bench.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(folder) + "/export.csv";
  std::vector<std::int32_t> all;
  for (std::size_t i = 0; i < s.columns.size(); ++i) all.push_back(static_cast<std::int32_t>(i));
  for (auto _ : bench) {
    if (!WriteCsv(path, s.table, s.columns, all)) bench.SkipWithError("export failed");
  }
  bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations()) * s.table.RowCount() *
                          static_cast<std::int64_t>(all.size()));
  struct stat info {};
  if (stat(path.c_str(), &info) == 0)
    bench.counters["csv_MB"] = static_cast<double>(info.st_size) / 1e6;
  unlink(path.c_str());
  rmdir(folder);
}
BENCHMARK(BM_CsvExportAllColumns)->Iterations(1)->Unit(benchmark::kMillisecond);

struct StringSink : ByteSink {
  bool Write(const char* bytes, std::size_t count) override {
    text.append(bytes, count);
    return true;
  }
  std::string text;
};

// The export of Loaded() with every column, numbered from 1 as the table is.
const std::string& ExportedCsv() {
  static const std::string csv = [] {
    AppState& s = Loaded();
    std::vector<std::int32_t> all;
    for (std::size_t i = 0; i < s.columns.size(); ++i) all.push_back(static_cast<std::int32_t>(i));
    StringSink sink;
    CsvLines lines(s.table.Format(), s.columns, all, sink);
    lines.WriteHeader();
    lines.WriteRecords(0, s.table.RowCount(), s.table.Bytes(), s.table.ByteCount());
    lines.Flush();
    return sink.text;
  }();
  return csv;
}

void RunImport(benchmark::State& bench, bool fromZeros) {
  AppState& s = Loaded();
  const std::string& csv = ExportedCsv();
  CsvImportOptions options;
  options.noBase = 1;
  std::uint64_t stored = 0;
  for (auto _ : bench) {
    bench.PauseTiming();
    DataBuffer data{std::make_unique<std::uint8_t[]>(kDataBytes), kDataBytes};
    if (!fromZeros) std::copy_n(s.dataBuffer.bytes.get(), kDataBytes, data.bytes.get());
    bench.ResumeTiming();
    const CsvImportResult result = ImportCsv(csv, data, s.structDef, s.columns, options);
    if (result.problemCount > 0) bench.SkipWithError("import refused");
    stored += result.cellsStored;
  }
  bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations()) * s.table.RowCount() * 10);
  bench.counters["stored_cells"] = static_cast<double>(stored / bench.iterations());
  bench.counters["csv_MB"] = static_cast<double>(csv.size()) / 1e6;
}

void BM_CsvImportUnchanged(benchmark::State& bench) { RunImport(bench, false); }
BENCHMARK(BM_CsvImportUnchanged)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_CsvImportOverZeros(benchmark::State& bench) { RunImport(bench, true); }
BENCHMARK(BM_CsvImportOverZeros)->Iterations(3)->Unit(benchmark::kMillisecond);

// The data of Loaded() as a file, with its structure.
struct DataFolder {
  DataFolder() {
    char name[] = "/tmp/velmora-bench-XXXXXX";
    if (mkdtemp(name) == nullptr) return;
    path = name;
    std::FILE* def = std::fopen((path + "/struct.def").c_str(), "wb");
    std::fputs(
        "struct B { ubyte a; sbyte b; xbyte c; xbyte d; uword e; sword f; ulong g; xlong h; }",
        def);
    std::fclose(def);
    std::FILE* data = std::fopen((path + "/data.bin").c_str(), "wb");
    std::fwrite(Loaded().dataBuffer.bytes.get(), 1, kDataBytes, data);
    std::fclose(data);
  }
  ~DataFolder() {
    for (const char* name : {"/struct.def", "/data.bin", "/out.csv", "/in.csv", "/out.bin"}) {
      unlink((path + name).c_str());
    }
    rmdir(path.c_str());
  }
  std::string path;
};

class DevNull : public OutputStream {
 public:
  DevNull() : fd_(open("/dev/null", O_WRONLY)) {}
  ~DevNull() override { close(fd_); }
  bool Write(const char* bytes, std::size_t count) override {
    return write(fd_, bytes, count) == static_cast<ssize_t>(count);
  }
  bool ReaderGone() const override { return false; }

 private:
  int fd_;
};

void RunCli(benchmark::State& bench, bool toFile) {
  DataFolder folder;
  DevNull devNull;
  CliStreams io;
  io.in = stdin;
  io.out = &devNull;
  io.error = [](std::string_view) {};
  std::vector<std::string> args = {"-d", folder.path + "/struct.def", folder.path + "/data.bin"};
  if (toFile) args.insert(args.end(), {"-o", folder.path + "/out.csv"});
  for (auto _ : bench) {
    if (RunVelmoraCsv(args, io) != ExitStatus::Done) bench.SkipWithError("export failed");
  }
  bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations()) * (kDataBytes / 16) * 10);
}

void BM_VelmoraCsvToDevNull(benchmark::State& bench) { RunCli(bench, false); }
BENCHMARK(BM_VelmoraCsvToDevNull)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VelmoraCsvToFile(benchmark::State& bench) { RunCli(bench, true); }
BENCHMARK(BM_VelmoraCsvToFile)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// velmora-csv --import from file to file: the CSV and the data read, imported, written safely.
void BM_VelmoraCsvImportToFile(benchmark::State& bench) {
  DataFolder folder;
  const std::string& csv = ExportedCsv();
  std::FILE* file = std::fopen((folder.path + "/in.csv").c_str(), "wb");
  std::fwrite(csv.data(), 1, csv.size(), file);
  std::fclose(file);
  CliStreams io;
  io.in = stdin;
  io.error = [](std::string_view) {};
  const std::vector<std::string> args = {"-d",
                                         folder.path + "/struct.def",
                                         "--no-base",
                                         "1",
                                         "--import",
                                         folder.path + "/in.csv",
                                         "-o",
                                         folder.path + "/out.bin",
                                         folder.path + "/data.bin"};
  for (auto _ : bench) {
    if (RunVelmoraCsv(args, io) != ExitStatus::Done) bench.SkipWithError("import failed");
  }
  bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations()) * (kDataBytes / 16) * 10);
}
BENCHMARK(BM_VelmoraCsvImportToFile)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
