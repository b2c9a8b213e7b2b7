#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "datafile/data_buffer.h"
#include "structdef/column_list.h"
#include "structdef/type_model.h"

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
  // the formatted field; empty where the field does not lie wholly inside the data.
  std::string CellText(std::uint32_t row, int column) const;
  // Same, reusing the caller's string (no allocation once it has grown).
  void CellText(std::uint32_t row, int column, std::string& out) const;

  // An edited cell shows `text` as typed until the next refresh.
  void SetEditedText(std::uint32_t row, int column, std::string_view text);

 private:
  struct ColumnSnapshot {
    TypeCode displayType;
    std::int32_t offset;
    std::int32_t length;
  };

  const std::uint8_t* bytes_ = nullptr;
  std::uint32_t byteCount_ = 0;
  std::uint32_t recordSize_ = 0;
  std::uint32_t rowCount_ = 1;
  std::int32_t noBase_ = 0;
  std::vector<ColumnSnapshot> columns_;
  std::unordered_map<std::uint64_t, std::string> edits_;
};
