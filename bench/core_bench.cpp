// Throughput of the core's per-cell work (formatting, parsing, write-back) and of loading and
// saving a whole data file.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "datafile/data_buffer.h"
#include "records/value_format.h"
#include "records/value_parse.h"

namespace {

constexpr std::size_t kFieldBytes = 1 << 16;
constexpr std::int32_t kStringLength = 16;

std::vector<std::uint8_t> RandomBytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  std::mt19937 random(12345);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

// Walks the fields of a 64 KiB block so that the values vary as they do in a real table.
void FormatCells(benchmark::State& state, TypeCode type) {
  const std::vector<std::uint8_t> bytes = RandomBytes(kFieldBytes + kStringLength);
  std::size_t step = type == TypeCode::String ? kStringLength : 4;
  std::size_t position = 0;
  for (auto _ : state) {
    std::string text = FormatCellValue(bytes.data() + position, type, kStringLength);
    benchmark::DoNotOptimize(text);
    position = (position + step) & (kFieldBytes - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

std::vector<std::string> SampleTexts(TypeCode type) {
  const std::vector<std::uint8_t> bytes = RandomBytes(4096 + kStringLength);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < 1024; ++i) texts.push_back(FormatCellValue(&bytes[i * 4], type, 8));
  return texts;
}

void ParseUnsigned(benchmark::State& state) {
  const std::vector<std::string> texts = SampleTexts(TypeCode::ULong);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseDigits(texts[i], 10));
    i = (i + 1) & 1023;
  }
  state.SetItemsProcessed(state.iterations());
}

void ParseHex(benchmark::State& state) {
  const std::vector<std::string> texts = SampleTexts(TypeCode::XLong);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseDigits(texts[i], 16));
    i = (i + 1) & 1023;
  }
  state.SetItemsProcessed(state.iterations());
}

void ParseSigned(benchmark::State& state) {
  const std::vector<std::string> texts = SampleTexts(TypeCode::SLong);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseSignedDecimal(texts[i]));
    i = (i + 1) & 1023;
  }
  state.SetItemsProcessed(state.iterations());
}

// One edit per iteration into successive records of a one-member table.
void StoreCells(benchmark::State& state, TypeCode type) {
  StructDef structDef;
  structDef.members.push_back({type, "value", type == TypeCode::String ? kStringLength : 1});
  structDef.recordSize = type == TypeCode::String ? kStringLength : TypeWidth(type);
  ColumnList columns(2);
  columns.push_back({0, type, "value", 0});
  DataBuffer data;
  data.byteCount = 1 << 20;
  data.bytes.reset(new std::uint8_t[data.byteCount]());
  const std::vector<std::string> texts = SampleTexts(type);
  const std::uint32_t records = data.byteCount / static_cast<std::uint32_t>(structDef.recordSize);
  std::uint32_t record = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(StoreCellValue(data, structDef, columns, texts[i], 2, record));
    i = (i + 1) & 1023;
    if (++record == records) record = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/velmora-bench-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    if (path_.empty()) return;
    if (DIR* dir = opendir(path_.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") unlink((path_ + "/" + name).c_str());
      }
      closedir(dir);
    }
    rmdir(path_.c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

constexpr std::uint32_t kFileBytes = 64u << 20;

DataBuffer MakeDataBuffer() {
  DataBuffer data;
  std::vector<std::uint8_t> bytes = RandomBytes(kFileBytes);
  data.bytes.reset(new std::uint8_t[kFileBytes]);
  std::copy(bytes.begin(), bytes.end(), data.bytes.get());
  data.byteCount = kFileBytes;
  return data;
}

void LoadFile(benchmark::State& state) {
  ScratchFolder folder;
  std::string path = folder.Path() + "/data.bin";
  DataBuffer source = MakeDataBuffer();
  if (folder.Path().empty() || !SaveDataFile(source, path)) {
    state.SkipWithError("cannot write the sample file");
    return;
  }
  DataBuffer data;
  for (auto _ : state) {
    if (!LoadDataFile(data, path)) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFileBytes);
}

void SaveFile(benchmark::State& state) {
  ScratchFolder folder;
  std::string path = folder.Path() + "/data.bin";
  DataBuffer data = MakeDataBuffer();
  for (auto _ : state) {
    if (!SaveDataFile(data, path)) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFileBytes);
}

// A string's name says its length.
std::string BenchName(const TypeInfo& type) {
  const std::string name(type.keywords[0]);
  return type.form == TypeForm::String ? name + std::to_string(kStringLength) : name;
}

}  // namespace

int main(int argc, char** argv) {
  // Every type with a text, by its name.
  for (const TypeInfo& type : kTypes) {
    if (type.form == TypeForm::Void) continue;
    const std::string name = BenchName(type);
    benchmark::RegisterBenchmark(("FormatCellValue/" + name).c_str(), FormatCells, type.code);
  }
  benchmark::RegisterBenchmark("ParseDigits/base10", ParseUnsigned);
  benchmark::RegisterBenchmark("ParseDigits/base16", ParseHex);
  benchmark::RegisterBenchmark("ParseSignedDecimal", ParseSigned);
  for (const TypeInfo& type : kTypes) {
    if (type.form == TypeForm::Void) continue;
    const std::string name = BenchName(type);
    benchmark::RegisterBenchmark(("StoreCellValue/" + name).c_str(), StoreCells, type.code);
  }
  // Wall-clock time: the work is in the system's file cache and disk, not on this thread.
  benchmark::RegisterBenchmark("LoadDataFile/64MiB", LoadFile)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("SaveDataFile/64MiB", SaveFile)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
