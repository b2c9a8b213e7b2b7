#include "records/record_table.h"

#include <algorithm>
#include <cstring>

#include "records/value_format.h"

void RowFormat::Build(const StructDef& structDef, const ColumnList& columns, std::int32_t noBase) {
  // A negative size is taken as unsigned, like every position: one huge record.
  recordSize_ = static_cast<std::uint32_t>(structDef.recordSize);
  noBase_ = noBase;
  span_ = 0;
  columns_.clear();
  columns_.reserve(columns.size());
  std::int64_t reach = 0;
  for (const ColumnDef& column : columns) {
    Column snapshot;
    snapshot.kind = column.kind;
    snapshot.form = FormOfType(column.displayType);
    snapshot.write = CellWriterOf(column.displayType);
    snapshot.offset = column.offset;
    snapshot.length = ColumnByteLength(column, structDef);
    if (column.kind == ColumnKind::Member) {
      if (column.offset < 0 || reach < 0) {
        reach = -1;
      } else {
        reach = std::max<std::int64_t>(reach, column.offset);
      }
      // A cell of no bytes shows empty text whether or not its record reaches it, so it asks
      // no reader to hold more (a String of none after a huge pad would ask for the pad).
      if (reach >= 0 && snapshot.length > 0) {
        span_ = std::max<std::uint64_t>(span_, static_cast<std::uint64_t>(std::max(
                                                   reach + 1, column.offset + snapshot.length)));
      }
    }
    snapshot.reach = reach;
    columns_.push_back(snapshot);
  }
}

bool RowFormat::IsText(int column) const {
  return column >= 0 && column < ColumnCount() &&
         columns_[static_cast<std::size_t>(column)].form == TypeForm::String;
}

char* RowFormat::WriteCell(char* out, std::uint64_t index, const std::uint8_t* record,
                           std::uint64_t available, int column) const {
  if (column < 0 || column >= ColumnCount()) return out;
  const Column& cell = columns_[static_cast<std::size_t>(column)];
  if (cell.kind == ColumnKind::Member) {
    return Shows(cell, available) ? WriteField(out, cell, record + cell.offset) : out;
  }
  if (cell.kind == ColumnKind::RecordNumber) {
    // The list adds in 32 bits, where a base other than 0 or 1 can wrap; only records past
    // any a list can hold (streamed files over 4 GiB) count on in 64 bits.
    const std::uint64_t number = std::uint64_t{static_cast<std::uint32_t>(noBase_)} + index;
    return WriteUnsignedDecimal(out, index < UINT32_MAX ? number & UINT32_MAX : number);
  }
  // The address: eight digits as long as it fits 32 bits, as many as it needs past that.
  const std::uint64_t address = index * recordSize_;
  const auto high = static_cast<std::uint32_t>(address >> 32);
  if (high != 0) {
    int highDigits = 0;
    for (std::uint32_t rest = high; rest != 0; rest >>= 4) ++highDigits;
    out = WriteHex(out, highDigits, high);
  }
  return WriteHex(out, 8, static_cast<std::uint32_t>(address));
}

ColumnKind RowFormat::Kind(int column) const {
  return column >= 0 && column < ColumnCount() ? columns_[static_cast<std::size_t>(column)].kind
                                               : ColumnKind::Member;
}

std::int64_t RowFormat::FieldOffset(int column) const {
  return column >= 0 && column < ColumnCount() ? columns_[static_cast<std::size_t>(column)].offset
                                               : 0;
}

std::size_t RowFormat::FieldReadBytes(int column) const {
  if (column < 0 || column >= ColumnCount() || Kind(column) != ColumnKind::Member) return 0;
  const Column& cell = columns_[static_cast<std::size_t>(column)];
  if (cell.length <= 0) return 0;
  return static_cast<std::size_t>(std::min<std::int64_t>(cell.length, kCellTextLimit));
}

char* RowFormat::WriteMemberCell(char* out, const std::uint8_t* field, std::uint64_t available,
                                 int column) const {
  if (column < 0 || column >= ColumnCount() || Kind(column) != ColumnKind::Member) return out;
  const Column& cell = columns_[static_cast<std::size_t>(column)];
  return Shows(cell, available) ? WriteField(out, cell, field) : out;
}

// A field that starts inside the data but runs past its end shows nothing rather than bytes
// that are not there.
bool RowFormat::Shows(const Column& cell, std::uint64_t available) {
  return cell.reach >= 0 && static_cast<std::uint64_t>(cell.reach) < available &&
         cell.length >= 0 && static_cast<std::uint64_t>(cell.offset + cell.length) <= available;
}

char* RowFormat::WriteField(char* out, const Column& cell, const std::uint8_t* field) {
  if (cell.form != TypeForm::String) {
    return cell.write(out, field, static_cast<std::int32_t>(cell.length));
  }
  // The list holds zero-terminated text, and only the first kCellTextLimit bytes of it can
  // ever be read back, so a huge field is never copied whole.
  const std::size_t scan = static_cast<std::size_t>(
      std::min<std::int64_t>(cell.length, static_cast<std::int64_t>(kCellTextLimit)));
  // A field of no bytes may have no address at all (a reader that kept none of it).
  const void* zero = scan > 0 ? std::memchr(field, 0, scan) : nullptr;
  const std::size_t shown =
      zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - field)
                      : scan;
  return cell.write(out, field, static_cast<std::int32_t>(shown));
}

std::uint64_t RowsInData(std::uint64_t byteCount, std::uint32_t recordSize) {
  if (byteCount == 0 || recordSize == 0) return 1;
  return (byteCount - 1) / recordSize + 1;
}

void RecordTable::Refresh(const DataBuffer& data, const StructDef& structDef,
                          const ColumnList& columns, std::int32_t noBase) {
  bytes_ = data.bytes.get();
  byteCount_ = bytes_ != nullptr ? data.byteCount : 0;
  format_.Build(structDef, columns, noBase);
  edits_.clear();

  rowCount_ = static_cast<std::uint32_t>(RowsInData(byteCount_, format_.RecordSize()));
}

std::uint32_t RecordTable::RowCount() const { return rowCount_; }

int RecordTable::ColumnCount() const { return format_.ColumnCount(); }

std::string RecordTable::CellText(std::uint32_t row, int column) const {
  std::string text;
  CellText(row, column, text);
  return text;
}

void RecordTable::CellText(std::uint32_t row, int column, std::string& out) const {
  out.clear();
  if (row >= rowCount_ || column < 0 || column >= ColumnCount()) return;
  if (const std::string* edit = FindEditedText(row, column)) {
    out.assign(*edit, 0, kCellTextLimit);
    return;
  }
  const std::uint64_t recordStart = static_cast<std::uint64_t>(row) * format_.RecordSize();
  const bool inside = bytes_ != nullptr && recordStart < byteCount_;
  char text[kCellTextLimit];
  char* end = format_.WriteCell(text, row, inside ? bytes_ + recordStart : nullptr,
                                inside ? byteCount_ - recordStart : 0, column);
  out.assign(text, static_cast<std::size_t>(end - text));
}

void RecordTable::SetEditedText(std::uint32_t row, int column, std::string_view text) {
  edits_[EditKey(row, column)] = std::string(text.substr(0, kCellTextLimit));
}

std::optional<std::string> RecordTable::EditedText(std::uint32_t row, int column) const {
  auto edit = edits_.find(EditKey(row, column));
  if (edit == edits_.end()) return std::nullopt;
  return edit->second;
}

const std::string* RecordTable::FindEditedText(std::uint32_t row, int column) const {
  if (edits_.empty()) return nullptr;
  auto edit = edits_.find(EditKey(row, column));
  return edit == edits_.end() ? nullptr : &edit->second;
}

void RecordTable::ClearEditedText(std::uint32_t row, int column) {
  edits_.erase(EditKey(row, column));
}

std::uint64_t RecordTable::EditKey(std::uint32_t row, int column) {
  return (static_cast<std::uint64_t>(row) << 32) | static_cast<std::uint32_t>(column);
}
