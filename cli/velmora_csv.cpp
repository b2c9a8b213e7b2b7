#include "cli/velmora_csv.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "cli/encoding.h"
#include "cli/options.h"
#include "cli/stream_export.h"
#include "datafile/data_buffer.h"
#include "datafile/safe_write.h"
#include "export/csv_import.h"
#include "resources/messages.h"
#include "records/value_format.h"
#include "structdef/definition_parser.h"
#include "structdef/record_layout.h"
#include "structdef/regular_file.h"
#include "version.h"

namespace {

constexpr std::string_view kProgram = "velmora-csv";
constexpr std::string_view kVersion = "velmora-csv " VELMORA_VERSION_SHORT;

constexpr std::string_view kHelp =
    "使い方: velmora-csv [オプション] DATAFILE\n"
    "DATAFILE の全レコードを CSV で標準出力に書きます (- は標準入力)。\n"
    "オプションなしの出力は Velmora の CSV エクスポートとバイト単位で同じです。\n"
    "\n"
    "  -d, --def PATH          構造体定義ファイル (既定: struct.def)\n"
    "  -s, --struct NAME       構造体 (既定: 最初の構造体)\n"
    "  -l, --list              構造体名を一行ずつ表示して終了\n"
    "      --layout            列 (番号, ラベル, オフセット, サイズ, 型) を表示して終了\n"
    "  -c, --columns LIST      出力する列: 番号, 番号-番号, ラベルをコンマで区切る\n"
    "                          (0 は No., 1 は Address)\n"
    "  -t, --type COLUMN=KEYWORD  列の表示型 (同じ幅の型だけ; 繰り返し可)\n"
    "      --no-base 0|1       No. の開始番号\n"
    "      --records FIRST:COUNT  FIRST 番目から COUNT 件だけ (COUNT 省略で最後まで);\n"
    "                          見出し行は FIRST が 0 のときだけ書くので、分割した出力を\n"
    "                          つなげると全体と同じになります\n"
    "  -o, --output PATH       標準出力ではなくファイルへ (失敗時は元のファイルのまま)\n"
    "      --encoding cp932|utf-8|utf-8-bom  ラベルと文字列の文字コード (既定: cp932)\n"
    "      --strict            定義エラーがあれば何も出力せず終了\n"
    "      --import CSV        CSV (見出し行つき) の値を DATAFILE に書き戻す (-o "
    "で別のファイルへ;\n"
    "                          DATAFILE なしは 0 から)。見出しのラベルで列を、No. 列で\n"
    "                          レコードを決め、表示と違う値だけを書きます\n"
    "      --lenient           --import で、値を項目編集と同じ規則で読む (範囲外も受け付ける)\n"
    "  -h, --help              この説明\n"
    "      --version           バージョン\n"
    "\n"
    "終了コード: 0 完了, 1 使い方の誤り, 2 定義の問題, 3 データが読めない, 4 出力の失敗,\n"
    "            5 CSV を受け付けない (何も書きません)\n";

// Why a cell, a row or the CSV was refused, as the problem lines say it.
std::string ProblemText(const CsvProblem& problem) {
  const int bits = 8 * TypeWidth(problem.type);
  switch (problem.kind) {
    case CsvImportProblem::NoHeader: return std::string(texts::kCsvNoHeader);
    case CsvImportProblem::UnclosedQuote: return std::string(texts::kCsvUnclosedQuote);
    case CsvImportProblem::TextAfterQuote: return std::string(texts::kCsvTextAfterQuote);
    case CsvImportProblem::QuoteInField: return std::string(texts::kCsvQuoteInField);
    case CsvImportProblem::FieldCount: return std::string(texts::kCsvFieldCount);
    case CsvImportProblem::UnknownLabel: return std::string(texts::kCsvUnknownLabel);
    case CsvImportProblem::NotARecordNumber: return std::string(texts::kCsvNotARecordNumber);
    case CsvImportProblem::RecordNumberTooLarge:
      return std::string(texts::kCsvRecordNumberTooLarge);
    case CsvImportProblem::DuplicateRecordNumber:
      return std::string(texts::kCsvDuplicateRecordNumber);
    case CsvImportProblem::NotDecimal: return std::string(texts::kCsvNotDecimal);
    case CsvImportProblem::OutOfRange:
      if (FormOfType(problem.type) == TypeForm::Signed) {
        const std::int64_t half = std::int64_t{1} << (bits - 1);
        return texts::CsvOutOfRange(-half, static_cast<std::uint64_t>(half - 1));
      }
      return texts::CsvOutOfRange(0, (std::uint64_t{1} << bits) - 1);
    case CsvImportProblem::NotHex: return std::string(texts::kCsvNotHex);
    case CsvImportProblem::TooManyDigits: return texts::CsvTooManyDigits(bits / 4);
    case CsvImportProblem::TooLong: return texts::CsvTooLong(problem.maxLength);
    case CsvImportProblem::PastTheEnd: return std::string(texts::kEditOutsideData);
    case CsvImportProblem::Encoding: return std::string(texts::kCsvEncoding);
  }
  return std::string();
}

class Run {
 public:
  explicit Run(CliStreams& io) : io_(io) {}

  ExitStatus Go(const std::vector<std::string>& args);

 private:
  std::string ForTerminal(std::string_view text) const {
    return io_.utf8Terminal ? Cp932ToUtf8(text) : std::string(text);
  }
  // `subject` (a path or an option, as typed) and a message in code page 932.
  void Report(std::string_view subject, std::string_view message) {
    io_.error(std::string(subject) + ": " + ForTerminal(message));
  }
  ExitStatus Usage(const UsageError& error) {
    Report(std::string(kProgram) + ": " + error.option, error.problem);
    io_.error(ForTerminal(texts::kSeeHelp));
    return ExitStatus::Usage;
  }
  // Text of names and labels on standard output, in the encoding asked for.
  std::string ForOutput(std::string_view text) const {
    return options_.encoding == OutputEncoding::Cp932 ? std::string(text) : Cp932ToUtf8(text);
  }
  bool Print(std::string_view text) { return io_.out->Write(text.data(), text.size()); }
  ExitStatus Printed(bool ok) {
    return ok || io_.out->ReaderGone() ? ExitStatus::Done : OutputFailed(kProgram);
  }
  ExitStatus OutputFailed(std::string_view subject) {
    Report(subject, texts::kOutputFailed);
    return ExitStatus::OutputFailed;
  }

  // The name as typed, or its code page 932 form where the terminal speaks UTF-8.
  bool SameName(const std::string& stored, const std::string& typed) const;
  std::optional<int> FindColumn(const std::string& item) const;
  std::optional<UsageError> ApplyTypes();
  std::optional<UsageError> Select(std::vector<std::int32_t>& selection) const;
  ExitStatus PrintLayout();
  ExitStatus Export(const std::vector<std::int32_t>& selection);
  ExitStatus Import();

  CliStreams& io_;
  CliOptions options_;
  StructDef structDef_;
  ColumnList columns_;
};

bool Run::SameName(const std::string& stored, const std::string& typed) const {
  if (stored == typed) return true;
  if (!io_.utf8Terminal) return false;
  const std::optional<std::string> converted = Utf8ToCp932(typed);
  return converted && *converted == stored;
}

std::optional<int> Run::FindColumn(const std::string& item) const {
  if (const auto number = ParseCount(item)) {
    if (*number < columns_.size()) return static_cast<int>(*number);
    return std::nullopt;
  }
  for (std::size_t j = 0; j < columns_.size(); ++j) {
    if (SameName(columns_[j].label, item)) return static_cast<int>(j);
  }
  return std::nullopt;
}

std::optional<UsageError> Run::ApplyTypes() {
  for (const std::string& request : options_.types) {
    const std::size_t equals = request.find('=');
    const std::string item = request.substr(0, equals);
    const std::string keyword = request.substr(equals + 1);
    const std::optional<int> column = FindColumn(item);
    if (!column) return UsageError{"--type", texts::NoSuchColumn(item)};
    ColumnDef& target = columns_[static_cast<std::size_t>(*column)];
    const std::optional<TypeCode> chosen = FindKeyword(keyword);
    if (!chosen) return UsageError{"--type", texts::NotAType(keyword)};
    switch (CheckRetype(target.displayType, *chosen)) {
      case Retype::NotANumber:
        return UsageError{"--type", texts::TypeCannotChange(TypeName(target.displayType))};
      case Retype::OtherFamily: return UsageError{"--type", texts::CannotBecome(item, keyword)};
      case Retype::Allowed: break;
    }
    target.displayType = *chosen;
  }
  return std::nullopt;
}

std::optional<UsageError> Run::Select(std::vector<std::int32_t>& selection) const {
  std::vector<char> chosen(columns_.size(), !options_.columns);  // no list: every column
  if (options_.columns) {
    const std::string& list = *options_.columns;
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t comma = std::min(list.find(',', start), list.size());
      const std::string item = list.substr(start, comma - start);
      start = comma + 1;
      const std::size_t dash = item.find('-');
      const auto low = ParseCount(item.substr(0, dash));
      const auto high = dash == std::string::npos ? low : ParseCount(item.substr(dash + 1));
      if (low && high) {
        if (*low > *high || *high >= columns_.size()) {
          return UsageError{"--columns", texts::OutOfColumnRange(item)};
        }
        std::fill(chosen.begin() + static_cast<std::ptrdiff_t>(*low),
                  chosen.begin() + static_cast<std::ptrdiff_t>(*high) + 1, 1);
      } else if (const auto column = FindColumn(item)) {
        chosen[static_cast<std::size_t>(*column)] = 1;
      } else {
        return UsageError{"--columns", texts::NoSuchColumn(item)};
      }
    }
  }
  for (std::size_t j = 0; j < chosen.size(); ++j) {
    if (chosen[j]) selection.push_back(static_cast<std::int32_t>(j));
  }
  return std::nullopt;
}

ExitStatus Run::PrintLayout() {
  std::string text;
  for (std::size_t j = 0; j < columns_.size(); ++j) {
    const ColumnDef& column = columns_[j];
    if (column.kind != ColumnKind::Member) continue;
    text += ToUnsignedDecimalText(static_cast<std::uint32_t>(j)) + '\t' + ForOutput(column.label) +
            '\t' + ToSignedDecimalText(column.offset) + '\t' +
            ToSignedDecimalText(ColumnByteLength(column, structDef_)) + '\t' +
            std::string(TypeName(column.displayType)) + '\n';
  }
  return Printed(Print(text));
}

// Shows records done, percent where the size is known and MB/s, once a run has taken a second.
class Progress {
 public:
  Progress(const CliStreams& io, std::optional<std::uint64_t> size)
      : io_(io), size_(size.value_or(0)), start_(io.clock()), last_(start_) {}
  ~Progress() {
    if (shown_) io_.progress("");
  }
  void Update(std::uint64_t records, std::uint64_t bytes) {
    const double now = io_.clock();
    if (now - start_ < 1 || now - last_ < 0.2) return;
    last_ = now;
    const double seconds = now - start_;
    char line[128];
    int length =
        std::snprintf(line, sizeof line, "%llu レコード", static_cast<unsigned long long>(records));
    if (size_ > 0) {
      length +=
          std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length), "  %3u%%",
                        static_cast<unsigned>(std::min<std::uint64_t>(100, bytes * 100 / size_)));
    }
    std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length), "  %.1f MB/s",
                  static_cast<double>(bytes) / 1e6 / seconds);
    io_.progress(io_.utf8Terminal ? Cp932ToUtf8(line) : std::string(line));
    shown_ = true;
  }

 private:
  const CliStreams& io_;
  std::uint64_t size_;  // 0 for a pipe: no percent
  double start_;
  double last_;
  bool shown_ = false;
};

ExitStatus Run::Export(const std::vector<std::int32_t>& selection) {
  FileHandle opened;  // a FIFO is data too here, as standard input is
  std::FILE* in = io_.in;
  if (options_.dataPath != "-") {
    opened.reset(std::fopen(options_.dataPath.c_str(), "rb"));
    if (!opened) {
      Report(options_.dataPath, texts::kDataUnreadable);
      return ExitStatus::DataUnreadable;
    }
    in = opened.get();
  }

  SafeFileWriter file;
  SafeFileSink fileOutput(file);
  ByteSink* sink = io_.out;
  if (options_.outputPath) {
    if (!file.Open(*options_.outputPath)) return OutputFailed(*options_.outputPath);
    sink = &fileOutput;
  }
  const std::string outputName = options_.outputPath.value_or(std::string(kProgram));

  RowFormat format;
  format.Build(structDef_, columns_, options_.noBase);
  Utf8Output utf8;
  const TextConverter* converter = options_.encoding == OutputEncoding::Cp932 ? nullptr : &utf8;

  StreamRequest request;
  request.firstRecord = options_.firstRecord;
  request.recordCount = options_.recordCount;
  std::optional<Progress> progress;
  if (io_.progress && io_.clock) {
    progress.emplace(io_, RegularFileSize(in));
    request.progress = [&progress](std::uint64_t records, std::uint64_t bytes) {
      progress->Update(records, bytes);
    };
  }

  const StreamResult result =
      WriteStreamedCsv(in, format, columns_, selection, *sink, converter,
                       options_.encoding == OutputEncoding::Utf8Bom, request);
  progress.reset();
  if (result == StreamResult::ReadFailed) {
    Report(options_.dataPath, texts::kDataUnreadable);
    return ExitStatus::DataUnreadable;
  }
  const bool written = result == StreamResult::Done;
  if (options_.outputPath) {
    return written && file.Commit() ? ExitStatus::Done : OutputFailed(outputName);
  }
  // A reader that went away (`| head`) ends the run quietly.
  if (!written && !io_.out->ReaderGone()) return OutputFailed(outputName);
  return ExitStatus::Done;
}

ExitStatus Run::Import() {
  const std::string& csvPath = *options_.importPath;
  DataBuffer data;
  data.bytes = std::make_unique<std::uint8_t[]>(0);  // no data file: records from zeros
  if (!options_.dataPath.empty() && !LoadDataFile(data, options_.dataPath)) {
    Report(options_.dataPath, texts::kDataUnreadable);
    return ExitStatus::DataUnreadable;
  }
  DataBuffer csv;
  if (!LoadDataFile(csv, csvPath)) {
    Report(csvPath, texts::kCsvUnreadable);
    return ExitStatus::DataUnreadable;
  }
  std::string_view text(reinterpret_cast<const char*>(csv.bytes.get()), csv.byteCount);

  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  bool utf8 = options_.encoding != OutputEncoding::Cp932;
  if (text.substr(0, 3) == kByteOrderMark) {
    text.remove_prefix(3);
    utf8 = true;
  } else if (!options_.encodingGiven &&
             std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; }) &&
             Utf8ToCp932(text)) {
    // Saved as UTF-8 without a mark: read as code page 932, every changed text would be wrong.
    Report(csvPath, texts::kCsvLooksLikeUtf8);
    return ExitStatus::InputRefused;
  }

  Utf8Output codec;
  CsvImportOptions request;
  request.noBase = options_.noBase;
  request.lenient = options_.lenient;
  request.codec = utf8 ? &codec : nullptr;
  const CsvImportResult result = ImportCsv(text, data, structDef_, columns_, request);
  if (result.problemCount > 0) {
    for (const CsvProblem& problem : result.problems) {
      Report(csvPath, texts::CsvPlace(problem.row, problem.label) + ": " + ProblemText(problem));
    }
    Report(csvPath, texts::CsvRefused(result.problemCount, result.problems.size()));
    return ExitStatus::InputRefused;
  }
  const std::string& target = options_.outputPath ? *options_.outputPath : options_.dataPath;
  return SaveDataFile(data, target) ? ExitStatus::Done : OutputFailed(target);
}

ExitStatus Run::Go(const std::vector<std::string>& args) {
  auto parsed = ParseOptions(args);
  if (auto* error = std::get_if<UsageError>(&parsed)) return Usage(*error);
  options_ = std::get<CliOptions>(std::move(parsed));
  if (options_.help) return Printed(Print(ForTerminal(kHelp)));
  if (options_.version) return Printed(Print(std::string(kVersion) + "\n"));

  std::vector<std::string> names;
  const auto addName = [&names](std::string_view name) { names.emplace_back(name); };
  if (ListStructNames(options_.defPath, addName) == DefinitionRead::Unreadable) {
    Report(options_.defPath, texts::kDefinitionsUnreadable);
    return ExitStatus::Definition;
  }
  if (options_.list) {
    std::string text;
    for (const std::string& name : names) text += ForOutput(name) + '\n';
    return Printed(Print(text));
  }

  std::string name;
  if (options_.structName) {
    auto found = std::find_if(names.begin(), names.end(), [this](const std::string& stored) {
      return SameName(stored, *options_.structName);
    });
    if (found == names.end()) {
      io_.error(options_.defPath + ": \"" + *options_.structName + "\"" +
                ForTerminal(texts::kNoSuchStructure));
      return ExitStatus::Definition;
    }
    name = *found;
  } else if (names.empty()) {
    Report(options_.defPath, texts::kNoStructures);
    return ExitStatus::Definition;
  } else {
    name = names.front();
  }

  int definitionErrors = 0;
  LoadStructDef(options_.defPath, name, structDef_,
                [this, &definitionErrors](std::string_view text, std::string_view) {
                  ++definitionErrors;
                  Report(options_.defPath, text);
                });
  if (options_.strict && definitionErrors > 0) return ExitStatus::Definition;
  BuildColumnList(structDef_, columns_);
  if (auto error = ApplyTypes()) return Usage(*error);
  if (options_.layout) return PrintLayout();
  if (options_.importPath) return Import();

  std::vector<std::int32_t> selection;
  if (auto error = Select(selection)) return Usage(*error);
  return Export(selection);
}

}  // namespace

ExitStatus RunVelmoraCsv(const std::vector<std::string>& args, CliStreams& io) {
  Run run(io);
  return run.Go(args);
}
