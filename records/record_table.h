#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "datafile/data_buffer.h"
#include "records/value_format.h"
#include "structdef/record_layout.h"
#include "structdef/type_model.h"

// The most a cell gives when read back (the list's 1024-byte item text buffer).
inline constexpr std::size_t kCellTextLimit = 1023;

// Rows that `byteCount` bytes of data show: every record that starts inside it, a partial last
// one included. There is always a row; a record size of 0 would give endless records at
// position 0, so it gives that one row only.
std::uint64_t RowsInData(std::uint64_t byteCount, std::uint32_t recordSize);

// How every cell of a record is found and formatted, fixed when the table is refreshed. The
// record list and the streaming exports make their texts through it, so they cannot differ.
class RowFormat {
 public:
  void Build(const StructDef& structDef, const ColumnList& columns, std::int32_t noBase);

  std::uint32_t RecordSize() const { return recordSize_; }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // Bytes from a record's start that decide its cells: with this many bytes of data from the
  // start on, a record shows every cell it can.
  std::uint64_t Span() const { return span_; }
  // True when the column's text can hold any byte (a String); number texts never need quoting.
  bool IsText(int column) const;
  // What the column shows; Member (empty text) for a column outside the format.
  ColumnKind Kind(int column) const;

  // Writes the text of `column` for record `index` at `out` (room for kCellTextLimit bytes)
  // and returns its end. `record` is the record's first byte, followed by `available` bytes of
  // data up to the end of the data (or at least Span() of them); nothing past them is read.
  // Columns outside the format give empty text.
  char* WriteCell(char* out, std::uint64_t index, const std::uint8_t* record,
                  std::uint64_t available, int column) const;

  // For a reader that cannot hold a whole record: a member column's field starts at
  // FieldOffset in the record, and its text reads only the first FieldReadBytes of it.
  std::int64_t FieldOffset(int column) const;
  std::size_t FieldReadBytes(int column) const;
  // WriteCell of a member column from those bytes alone, at `field`.
  char* WriteMemberCell(char* out, const std::uint8_t* field, std::uint64_t available,
                        int column) const;

 private:
  struct Column {
    ColumnKind kind = ColumnKind::Member;
    TypeForm form = TypeForm::Void;
    CellWriter write = nullptr;
    std::int64_t offset = 0;
    std::int64_t length = 0;
    // The largest member offset up to this column, -1 when one of them is negative: a row
    // shows this cell only if that position lies inside the data (a row's cells stop at the
    // first field that starts at or after the end).
    std::int64_t reach = 0;
  };

  static bool Shows(const Column& cell, std::uint64_t available);
  static char* WriteField(char* out, const Column& cell, const std::uint8_t* field);

  std::uint32_t recordSize_ = 0;
  std::uint64_t span_ = 0;
  std::int32_t noBase_ = 0;
  std::vector<Column> columns_;
};

// What the record list shows, held by the program instead of by the list control. A refresh
// takes a snapshot of everything a fill reads and refers to the data bytes without copying
// them; each cell's text is made only when asked for.
class RecordTable {
 public:
  // The data bytes stay owned by `data`; callers refresh after every load that replaces them.
  void Refresh(const DataBuffer& data, const StructDef& structDef, const ColumnList& columns,
               std::int32_t noBase);

  std::uint32_t RowCount() const;
  int ColumnCount() const;

  // The text the cell shows: the as-typed text of an edit until the next refresh, otherwise
  // the formatted field; empty where the field does not lie wholly inside the data, and for
  // rows and columns outside the table. At most kCellTextLimit bytes.
  std::string CellText(std::uint32_t row, int column) const;
  // Same, reusing the caller's string (no allocation once it has grown).
  void CellText(std::uint32_t row, int column, std::string& out) const;

  // An edited cell shows `text` as typed until the next refresh.
  void SetEditedText(std::uint32_t row, int column, std::string_view text);
  // The as-typed text of an edited cell, if it has one.
  std::optional<std::string> EditedText(std::uint32_t row, int column) const;
  // The cell shows its formatted field again.
  void ClearEditedText(std::uint32_t row, int column);
  bool HasEditedText() const { return !edits_.empty(); }
  // The as-typed text without a copy; null when the cell has none.
  const std::string* FindEditedText(std::uint32_t row, int column) const;

  // For exports that format whole runs of rows themselves: the format, the data bytes (null
  // when none are loaded) and their count.
  const RowFormat& Format() const { return format_; }
  const std::uint8_t* Bytes() const { return bytes_; }
  std::uint32_t ByteCount() const { return byteCount_; }

 private:
  static std::uint64_t EditKey(std::uint32_t row, int column);

  const std::uint8_t* bytes_ = nullptr;
  std::uint32_t byteCount_ = 0;
  std::uint32_t rowCount_ = 1;
  RowFormat format_;
  std::unordered_map<std::uint64_t, std::string> edits_;
};
