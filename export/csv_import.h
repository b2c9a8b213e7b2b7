#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/data_buffer.h"
#include "export/csv_writer.h"
#include "structdef/record_layout.h"

// What keeps a CSV from being taken back; each is reported with its row and column.
enum class CsvImportProblem {
  NoHeader,       // an empty file
  UnclosedQuote,  // a quoted field runs to the end of the file
  TextAfterQuote,
  QuoteInField,  // a quote inside a field that does not start with one
  FieldCount,    // a line with more or fewer fields than the header
  UnknownLabel,  // a header label no column of the layout has (or has fewer times)
  NotARecordNumber,
  RecordNumberTooLarge,  // the record would end past 4 GiB, or records have no size
  DuplicateRecordNumber,
  NotDecimal,
  OutOfRange,
  NotHex,
  TooManyDigits,
  TooLong,
  PastTheEnd,  // a field of a partial last record that lies past the end of the data
  Encoding,    // a text that is not valid in the CSV's encoding
};

struct CsvProblem {
  std::uint64_t row = 0;  // as a spreadsheet counts: 1 is the header line
  std::string label;      // the column's label in code page 932; empty for a whole line
  CsvImportProblem kind = CsvImportProblem::NoHeader;
  TypeCode type = TypeCode::Void;  // the column's display type
  std::size_t maxLength = 0;       // the most bytes a String text can have
};

// A CSV in another encoding than code page 932: the texts the table shows are compared in the
// CSV's form (Convert), and a changed text comes back to code page 932.
class CsvTextCodec : public TextConverter {
 public:
  // None when the text is not valid in the CSV's encoding or has no code page 932 form.
  virtual std::optional<std::string> ToCp932(std::string_view text) const = 0;
};

struct CsvImportOptions {
  std::int32_t noBase = 0;  // the numbering of the "No." column
  bool lenient = false;     // every text is stored as if typed into its cell's item edit dialog
  const CsvTextCodec* codec = nullptr;  // null: the CSV is code page 932
  std::size_t maxProblems = 20;         // the most problems kept; all are counted
};

struct CsvImportResult {
  std::vector<CsvProblem> problems;
  std::uint64_t problemCount = 0;
  std::uint64_t cellsStored = 0;
};

// Takes a CSV with a header line of column labels (as the export writes it, byte-order mark
// removed) back into `data`: rows go to the records their "No." names (else by position),
// columns by label, "Address" is ignored. A cell whose text is the one the table shows today
// leaves its bytes untouched; any other text is checked as the column could show it (or taken
// as typed with `lenient`) and stored through the item edit's own StoreCellValue. Rows past
// the end add whole zero-filled records. With problems, `data` holds part of the changes and
// must not be written.
CsvImportResult ImportCsv(std::string_view csv, DataBuffer& data, const StructDef& structDef,
                          const ColumnList& columns, const CsvImportOptions& options);
