#include "records/record_table.h"

#include <algorithm>
#include <cstring>

#include "records/value_format.h"

void RecordTable::Refresh(const DataBuffer& data, const StructDef& structDef,
                          const ColumnList& columns, std::int32_t noBase) {
  bytes_ = data.bytes.get();
  byteCount_ = bytes_ != nullptr ? data.byteCount : 0;
  // A negative size is taken as unsigned, like every position: one huge record.
  recordSize_ = static_cast<std::uint32_t>(structDef.recordSize);
  noBase_ = noBase;
  edits_.clear();

  // There is always a row; a record size of 0 would give endless records at position 0, so it
  // gives that one row only.
  if (byteCount_ == 0 || recordSize_ == 0) {
    rowCount_ = 1;
  } else {
    rowCount_ = static_cast<std::uint32_t>(
        (static_cast<std::uint64_t>(byteCount_) + recordSize_ - 1) / recordSize_);
  }

  columns_.clear();
  columns_.reserve(columns.size());
  std::int64_t reach = 0;
  for (std::size_t j = 0; j < columns.size(); ++j) {
    const ColumnDef& column = columns[j];
    ColumnSnapshot snapshot;
    snapshot.displayType = column.displayType;
    snapshot.offset = column.offset;
    // A number always takes its type's width, whatever the column says it covers.
    snapshot.length = column.displayType == TypeCode::String
                          ? ColumnByteLength(column, structDef)
                          : TypeWidth(column.displayType);
    if (j >= static_cast<std::size_t>(kFirstMemberColumn)) {
      if (column.offset < 0 || reach < 0) {
        reach = -1;
      } else {
        reach = std::max<std::int64_t>(reach, column.offset);
      }
    }
    snapshot.reach = reach;
    columns_.push_back(snapshot);
  }
}

std::uint32_t RecordTable::RowCount() const { return rowCount_; }

int RecordTable::ColumnCount() const { return static_cast<int>(columns_.size()); }

std::string RecordTable::CellText(std::uint32_t row, int column) const {
  std::string text;
  CellText(row, column, text);
  return text;
}

void RecordTable::CellText(std::uint32_t row, int column, std::string& out) const {
  out.clear();
  if (row >= rowCount_ || column < 0 || column >= ColumnCount()) return;
  if (!edits_.empty()) {
    auto edit = edits_.find(EditKey(row, column));
    if (edit != edits_.end()) {
      out.assign(edit->second, 0, kCellTextLimit);
      return;
    }
  }

  const std::uint64_t recordStart = static_cast<std::uint64_t>(row) * recordSize_;
  if (column == 0) {
    out = ToUnsignedDecimalText(static_cast<std::uint32_t>(noBase_) + row);
    return;
  }
  if (column == 1) {
    // Below byteCount for every row but a lone first one, so it fits 32 bits.
    out = ToHexText(8, static_cast<std::uint32_t>(recordStart));
    return;
  }
  if (bytes_ == nullptr) return;

  const ColumnSnapshot& cell = columns_[static_cast<std::size_t>(column)];
  if (cell.reach < 0 || recordStart + static_cast<std::uint64_t>(cell.reach) >= byteCount_) {
    return;
  }
  // A field that starts inside the data but runs past its end shows nothing rather than
  // bytes that are not there.
  const std::uint64_t position = recordStart + static_cast<std::uint64_t>(cell.offset);
  if (cell.length < 0 || position + static_cast<std::uint64_t>(cell.length) > byteCount_) return;
  const std::uint8_t* field = bytes_ + position;

  if (cell.displayType == TypeCode::String) {
    // The list holds zero-terminated text, and only the first kCellTextLimit bytes of it can
    // ever be read back, so a huge field is never copied whole.
    const std::size_t scan = static_cast<std::size_t>(
        std::min<std::int64_t>(cell.length, static_cast<std::int64_t>(kCellTextLimit)));
    const void* zero = std::memchr(field, 0, scan);
    const std::size_t shown =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - field)
                        : scan;
    out = FormatCellValue(field, TypeCode::String, static_cast<std::int32_t>(shown));
    return;
  }
  out = FormatCellValue(field, cell.displayType, static_cast<std::int32_t>(cell.length));
}

void RecordTable::SetEditedText(std::uint32_t row, int column, std::string_view text) {
  edits_[EditKey(row, column)] = std::string(text.substr(0, kCellTextLimit));
}

std::optional<std::string> RecordTable::EditedText(std::uint32_t row, int column) const {
  auto edit = edits_.find(EditKey(row, column));
  if (edit == edits_.end()) return std::nullopt;
  return edit->second;
}

void RecordTable::ClearEditedText(std::uint32_t row, int column) {
  edits_.erase(EditKey(row, column));
}

std::uint64_t RecordTable::EditKey(std::uint32_t row, int column) {
  return (static_cast<std::uint64_t>(row) << 32) | static_cast<std::uint32_t>(column);
}
