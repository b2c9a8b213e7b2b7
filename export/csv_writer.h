#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/safe_write.h"
#include "records/record_table.h"
#include "structdef/record_layout.h"

// Large enough that a sink sees few, large writes.
inline constexpr std::size_t kCsvBufferBytes = std::size_t{1} << 20;

// Where CSV bytes go: a file being written safely, a pipe, standard output.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(const char* bytes, std::size_t count) = 0;
};

// A file being written through the safe writer; the caller opens and commits it.
class SafeFileSink : public ByteSink {
 public:
  explicit SafeFileSink(SafeFileWriter& file) : file_(file) {}
  bool Write(const char* bytes, std::size_t count) override { return file_.Write(bytes, count); }

 private:
  SafeFileWriter& file_;
};

// Turns the text of labels and String cells into another encoding on the way out.
class TextConverter {
 public:
  // At most this many bytes come out of kCellTextLimit bytes of text.
  static constexpr std::size_t kCellRoom = 3 * kCellTextLimit;
  virtual ~TextConverter() = default;
  virtual std::string Convert(std::string_view text) const = 0;
  // The converted cell text at `out`, which has kCellRoom bytes; returns the end.
  virtual char* ConvertCell(std::string_view text, char* out) const = 0;
};

// Makes the CSV lines of a table straight into one large buffer, with no allocation per line
// or cell, and hands the buffer to the sink whenever it fills. Both the window's export and the
// command line write through it.
class CsvLines {
 public:
  // Indexes of `selection` that name no column of `columns` are left out.
  CsvLines(const RowFormat& format, const ColumnList& columns,
           const std::vector<std::int32_t>& selection, ByteSink& sink,
           const TextConverter* converter = nullptr, std::size_t bufferBytes = kCsvBufferBytes);
  CsvLines(const CsvLines&) = delete;
  CsvLines& operator=(const CsvLines&) = delete;

  bool WriteHeader();
  // The lines of `count` records from record `first`, whose bytes begin at `bytes` followed by
  // `available` bytes of data (null and 0 when there are none). Edited cells of `table` show
  // their typed text.
  bool WriteRecords(std::uint64_t first, std::uint64_t count, const std::uint8_t* bytes,
                    std::uint64_t available, const RecordTable* table = nullptr);
  // The line of one record of which only the bytes its cells read are held: `fields[j]` is
  // where member column j's FieldReadBytes are, and `available` the bytes of the record that
  // exist (at most its size).
  bool WriteGatheredRecord(std::uint64_t index, const std::vector<const std::uint8_t*>& fields,
                           std::uint64_t available);
  // False when any write failed.
  bool Flush();

 private:
  // The one loop of every row: `count` records from `first`, whose cells read whole records at
  // `bytes` or, for one record, the `fields` gathered apart (one per column of the format).
  template <bool kGathered>
  bool WriteRows(std::uint64_t first, std::uint64_t count, const std::uint8_t* bytes,
                 std::uint64_t available, const RecordTable* table,
                 const std::vector<const std::uint8_t*>* fields);
  template <bool kGathered>
  char* WriteCellOf(char* out, std::uint64_t index, const std::uint8_t* record, std::uint64_t rest,
                    const std::vector<const std::uint8_t*>* fields, std::uint64_t available,
                    int column) const;
  char* AppendText(char* out, std::string_view text);
  bool Append(std::string_view bytes);
  bool Drain(char* out);

  const RowFormat& format_;
  const ColumnList& columns_;
  std::vector<std::int32_t> chosen_;
  std::vector<char> isText_;
  ByteSink& sink_;
  const TextConverter* converter_;
  std::vector<char> buffer_;
  std::size_t limit_;  // drained once this much is in
  std::size_t used_ = 0;
  bool failed_ = false;
};

// The table as shown (the chosen columns, edited cells as typed) in CSV: a header line, then
// every row. False when the sink failed.
bool WriteCsvTo(ByteSink& sink, const RecordTable& table, const ColumnList& columns,
                const std::vector<std::int32_t>& selection,
                std::size_t bufferBytes = kCsvBufferBytes);

// The same CSV as the file at `path`, replaced whole or, on failure, left exactly as it was.
bool WriteCsv(const std::string& path, const RecordTable& table, const ColumnList& columns,
              const std::vector<std::int32_t>& selection,
              std::size_t bufferBytes = kCsvBufferBytes);
