#include "export/csv_import.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <unordered_map>

#include "records/record_table.h"
#include "records/value_parse.h"

namespace {

// The fields of one CSV line after another (RFC 4180: quoted fields may hold commas, doubled
// quotes and line breaks). Lines end in CR LF, LF or CR.
class CsvScanner {
 public:
  explicit CsvScanner(std::string_view text)
      : next_(text.data()), end_(text.data() + text.size()) {}

  bool AtEnd() const { return next_ == end_; }

  // The fields of the next line, views into the text or into this scanner's own copies (valid
  // until the next call). A syntax problem skips the rest of the line.
  std::optional<CsvImportProblem> ReadLine(std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t copies = 0;
    for (;;) {
      if (next_ < end_ && *next_ == '"') {
        const char* start = ++next_;
        bool doubled = false;
        const char* quote = nullptr;
        for (;;) {
          quote = static_cast<const char*>(std::memchr(next_, '"', end_ - next_));
          if (quote == nullptr) {
            next_ = end_;
            return CsvImportProblem::UnclosedQuote;
          }
          next_ = quote + 1;
          if (next_ == end_ || *next_ != '"') break;
          doubled = true;
          ++next_;
        }
        std::string_view field(start, static_cast<std::size_t>(quote - start));
        if (doubled) field = Unescape(field, copies++);
        fields.push_back(field);
        if (next_ < end_ && *next_ == ',') {
          ++next_;
          continue;
        }
        if (EndLine()) return std::nullopt;
        SkipLine();
        return CsvImportProblem::TextAfterQuote;
      }
      const char* start = next_;
      while (next_ < end_ && *next_ != ',' && *next_ != '\r' && *next_ != '\n' && *next_ != '"') {
        ++next_;
      }
      if (next_ < end_ && *next_ == '"') {
        SkipLine();
        return CsvImportProblem::QuoteInField;
      }
      fields.emplace_back(start, static_cast<std::size_t>(next_ - start));
      if (next_ < end_ && *next_ == ',') {
        ++next_;
        continue;
      }
      EndLine();
      return std::nullopt;
    }
  }

 private:
  // True at a line end (taken) or the end of the text.
  bool EndLine() {
    if (next_ == end_) return true;
    if (*next_ == '\r') {
      ++next_;
      if (next_ < end_ && *next_ == '\n') ++next_;
      return true;
    }
    if (*next_ == '\n') {
      ++next_;
      return true;
    }
    return false;
  }
  void SkipLine() {
    while (next_ < end_ && *next_ != '\r' && *next_ != '\n') ++next_;
    EndLine();
  }
  std::string_view Unescape(std::string_view quoted, std::size_t slot) {
    if (slot == copies_.size()) copies_.emplace_back();  // a deque: earlier copies stay put
    std::string& copy = copies_[slot];
    copy.clear();
    for (std::size_t i = 0; i < quoted.size(); ++i) {
      copy += quoted[i];
      if (quoted[i] == '"') ++i;
    }
    return copy;
  }

  const char* next_;
  const char* const end_;
  std::deque<std::string> copies_;
};

// Digits as a number, held at 2^40 once past it: larger than any record a 32-bit size allows.
std::optional<std::uint64_t> ParseRecordNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), 1ull << 40);
  }
  return value;
}

CsvImportProblem ProblemOf(CellTextProblem problem) {
  switch (problem) {
    case CellTextProblem::NotDecimal: return CsvImportProblem::NotDecimal;
    case CellTextProblem::OutOfRange: return CsvImportProblem::OutOfRange;
    case CellTextProblem::NotHex: return CsvImportProblem::NotHex;
    case CellTextProblem::TooManyDigits: return CsvImportProblem::TooManyDigits;
    default: return CsvImportProblem::TooLong;
  }
}

class Importer {
 public:
  Importer(DataBuffer& data, const StructDef& structDef, const ColumnList& columns,
           const CsvImportOptions& options)
      : data_(data), structDef_(structDef), columns_(columns), options_(options) {
    format_.Build(structDef, columns, options.noBase);
    recordSize_ = format_.RecordSize();
    original_ = data.HasBytes() ? data.byteCount : 0;
    if (recordSize_ == 0) {
      firstNew_ = original_ > 0 ? 1 : 0;
    } else {
      firstNew_ = (std::uint64_t{original_} + recordSize_ - 1) / recordSize_;
    }
  }

  CsvImportResult Run(std::string_view csv);

 private:
  enum : int { kIgnored = -1 };

  void Report(std::uint64_t row, int column, CsvImportProblem kind, std::string_view label = {});
  std::size_t MaxTextLength(int column) const;
  void MapHeader(const std::vector<std::string_view>& labels);
  void ImportRow(std::uint64_t row, std::uint64_t position,
                 const std::vector<std::string_view>& fields);
  std::optional<std::uint64_t> RecordOf(std::uint64_t row, std::uint64_t position,
                                        const std::vector<std::string_view>& fields);
  bool Store(std::uint64_t index, int column, std::string_view text);
  void AppendNewRecords();

  DataBuffer& data_;
  const StructDef& structDef_;
  const ColumnList& columns_;
  const CsvImportOptions& options_;
  RowFormat format_;
  std::uint64_t recordSize_ = 0;
  std::uint32_t original_ = 0;  // the data's size before the import
  std::uint64_t firstNew_ = 0;  // the first record that lies wholly past the original data
  // Records from firstNew_ on, zero-filled as rows reach them; its byteCount is the bytes in
  // use, its allocation may be larger so that appended rows do not copy it each time.
  DataBuffer added_;
  std::uint64_t addedRoom_ = 0;
  std::vector<int> fieldColumns_;  // the layout column of each CSV field, or kIgnored
  int numberField_ = -1;           // the CSV field of "No.", -1 when it has none
  std::vector<bool> seen_;         // records a row has named
  CsvImportResult result_;
};

void Importer::Report(std::uint64_t row, int column, CsvImportProblem kind,
                      std::string_view label) {
  ++result_.problemCount;
  if (result_.problems.size() >= options_.maxProblems) return;
  CsvProblem problem;
  problem.row = row;
  problem.kind = kind;
  problem.label = label;
  if (column >= 0) {
    const ColumnDef& def = columns_[static_cast<std::size_t>(column)];
    problem.label = def.label;
    problem.type = def.displayType;
    problem.maxLength = MaxTextLength(column);
  }
  result_.problems.push_back(std::move(problem));
}

std::size_t Importer::MaxTextLength(int column) const {
  const std::int64_t length =
      ColumnByteLength(columns_[static_cast<std::size_t>(column)], structDef_);
  return static_cast<std::size_t>(
      std::clamp<std::int64_t>(length, 0, static_cast<std::int64_t>(kCellTextLimit)));
}

void Importer::MapHeader(const std::vector<std::string_view>& labels) {
  // The fields of each label in header order; the columns of that label, in layout order, take
  // them one by one, so two members of one name map in order. Only the header's labels are
  // looked up: a structure may have tens of thousands of columns.
  struct Waiting {
    std::vector<std::size_t> fields;
    std::size_t next = 0;
  };
  std::unordered_map<std::string_view, Waiting> waiting;
  for (std::size_t k = 0; k < labels.size(); ++k) waiting[labels[k]].fields.push_back(k);
  constexpr int kUnmatched = -2;
  fieldColumns_.assign(labels.size(), kUnmatched);
  std::size_t matched = 0;
  std::string converted;
  for (std::size_t j = 0; j < columns_.size() && matched < labels.size(); ++j) {
    std::string_view label = columns_[j].label;
    if (options_.codec) {
      converted = options_.codec->Convert(label);
      label = converted;
    }
    auto found = waiting.find(label);
    if (found == waiting.end() || found->second.next == found->second.fields.size()) continue;
    const std::size_t k = found->second.fields[found->second.next++];
    ++matched;
    if (columns_[j].kind == ColumnKind::RecordNumber) numberField_ = static_cast<int>(k);
    fieldColumns_[k] = columns_[j].kind == ColumnKind::Member ? static_cast<int>(j) : kIgnored;
  }
  for (std::size_t k = 0; k < labels.size(); ++k) {
    if (fieldColumns_[k] != kUnmatched) continue;
    fieldColumns_[k] = kIgnored;
    const auto decoded = options_.codec ? options_.codec->ToCp932(labels[k]) : std::nullopt;
    Report(1, -1, CsvImportProblem::UnknownLabel, decoded.value_or(std::string(labels[k])));
  }
}

std::optional<std::uint64_t> Importer::RecordOf(std::uint64_t row, std::uint64_t position,
                                                const std::vector<std::string_view>& fields) {
  std::uint64_t index = position;
  if (numberField_ >= 0) {
    const std::optional<std::uint64_t> number =
        ParseRecordNumber(fields[static_cast<std::size_t>(numberField_)]);
    const auto base = static_cast<std::uint64_t>(options_.noBase);
    if (!number || *number < base) {
      Report(row, 0, CsvImportProblem::NotARecordNumber);
      return std::nullopt;
    }
    index = *number - base;
  }
  // The data's size is a 32-bit count.
  const bool fits =
      recordSize_ == 0
          ? index == 0
          : index < firstNew_ || (index < UINT32_MAX && (index + 1) * recordSize_ <= UINT32_MAX);
  if (!fits) {
    Report(row, 0, CsvImportProblem::RecordNumberTooLarge);
    return std::nullopt;
  }
  if (numberField_ < 0) return index;
  if (index < seen_.size() && seen_[index]) {
    Report(row, 0, CsvImportProblem::DuplicateRecordNumber);
    return std::nullopt;
  }
  if (index >= seen_.size()) seen_.resize(index + 1);
  seen_[index] = true;
  return index;
}

void Importer::ImportRow(std::uint64_t row, std::uint64_t position,
                         const std::vector<std::string_view>& fields) {
  const std::optional<std::uint64_t> index = RecordOf(row, position, fields);
  if (!index) return;
  // What the table shows today: the record as it was before the import (a new one shows
  // nothing), since no other row writes into it.
  const std::uint64_t start = *index * recordSize_;
  const bool inside = *index < firstNew_;
  const std::uint8_t* record = inside ? data_.bytes.get() + start : nullptr;
  const std::uint64_t available = inside ? original_ - start : 0;
  char shown[kCellTextLimit];
  std::string decoded;
  for (std::size_t k = 0; k < fieldColumns_.size(); ++k) {
    const int column = fieldColumns_[k];
    if (column == kIgnored) continue;
    std::string_view text = fields[k];
    const char* end = format_.WriteCell(shown, *index, record, available, column);
    const std::string_view today(shown, static_cast<std::size_t>(end - shown));
    if (format_.IsText(column) && options_.codec) {
      if (options_.codec->Convert(today) == text) continue;
      std::optional<std::string> cp932 = options_.codec->ToCp932(text);
      if (!cp932) {
        Report(row, column, CsvImportProblem::Encoding);
        continue;
      }
      decoded = std::move(*cp932);
      text = decoded;
    }
    if (text == today) continue;
    if (options_.lenient) {
      // The item edit dialog hands over at most this much.
      text = text.substr(0, kCellTextLimit);
    } else {
      const TypeCode type = columns_[static_cast<std::size_t>(column)].displayType;
      const CellTextProblem problem = CheckCellText(type, text, MaxTextLength(column));
      if (problem != CellTextProblem::None) {
        Report(row, column, ProblemOf(problem));
        continue;
      }
    }
    if (Store(*index, column, text)) {
      ++result_.cellsStored;
    } else {
      Report(row, column, CsvImportProblem::PastTheEnd);
    }
  }
}

bool Importer::Store(std::uint64_t index, int column, std::string_view text) {
  if (index < firstNew_) {
    return StoreCellValue(data_, structDef_, columns_, text, column,
                          static_cast<std::uint32_t>(index)) == StoreResult::Stored;
  }
  // A new record: the added records grow to hold it, zero-filled.
  const std::uint64_t relative = index - firstNew_;
  const std::uint64_t needed = (relative + 1) * recordSize_;
  if (needed > added_.byteCount) {
    if (needed > addedRoom_) {
      const std::uint64_t room = std::clamp<std::uint64_t>(2 * addedRoom_, needed, UINT32_MAX);
      auto bytes = std::make_unique<std::uint8_t[]>(room);
      if (added_.byteCount > 0) std::memcpy(bytes.get(), added_.bytes.get(), added_.byteCount);
      added_.bytes = std::move(bytes);
      addedRoom_ = room;
    }
    added_.byteCount = static_cast<std::uint32_t>(needed);
  }
  return StoreCellValue(added_, structDef_, columns_, text, column,
                        static_cast<std::uint32_t>(relative)) == StoreResult::Stored;
}

void Importer::AppendNewRecords() {
  if (added_.byteCount == 0) return;
  // A partial last record is completed with zeros before the added records.
  const std::uint64_t at = firstNew_ * recordSize_;
  const std::uint64_t size = at + added_.byteCount;
  auto bytes = std::make_unique<std::uint8_t[]>(size);
  if (original_ > 0) std::memcpy(bytes.get(), data_.bytes.get(), original_);
  std::memcpy(bytes.get() + at, added_.bytes.get(), added_.byteCount);
  data_.bytes = std::move(bytes);
  data_.byteCount = static_cast<std::uint32_t>(size);
}

CsvImportResult Importer::Run(std::string_view csv) {
  CsvScanner scanner(csv);
  std::vector<std::string_view> fields;
  if (scanner.AtEnd()) {
    Report(1, -1, CsvImportProblem::NoHeader);
    return std::move(result_);
  }
  if (auto problem = scanner.ReadLine(fields)) {
    Report(1, -1, *problem);
    return std::move(result_);
  }
  // A spreadsheet may end every line with a comma; an empty header has no columns.
  if (!fields.empty() && fields.back().empty()) fields.pop_back();
  MapHeader(fields);
  const std::size_t expected = fieldColumns_.size();

  // Lines of empty fields are rows only when a line with text follows: spreadsheets add them
  // at the end.
  const std::vector<std::string_view> blank(expected);
  std::uint64_t row = 1;
  std::uint64_t position = 0;
  std::uint64_t blanks = 0;
  while (!scanner.AtEnd()) {
    ++row;
    if (auto problem = scanner.ReadLine(fields)) {
      Report(row, -1, *problem);
      ++position;
      continue;
    }
    if (std::all_of(fields.begin(), fields.end(), [](std::string_view f) { return f.empty(); })) {
      ++blanks;
      continue;
    }
    for (; blanks > 0; --blanks) ImportRow(row - blanks, position++, blank);
    if (fields.size() == expected + 1 && fields.back().empty()) fields.pop_back();
    if (fields.size() != expected) {
      Report(row, -1, CsvImportProblem::FieldCount);
      ++position;
      continue;
    }
    ImportRow(row, position++, fields);
  }
  if (result_.problemCount == 0) AppendNewRecords();
  return std::move(result_);
}

}  // namespace

CsvImportResult ImportCsv(std::string_view csv, DataBuffer& data, const StructDef& structDef,
                          const ColumnList& columns, const CsvImportOptions& options) {
  Importer importer(data, structDef, columns, options);
  return importer.Run(csv);
}
