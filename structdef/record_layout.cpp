#include "structdef/record_layout.h"

#include <charconv>
#include <limits>

namespace {

ColumnDef MakeColumn(std::int32_t memberIndex, TypeCode type, std::string label,
                     std::int64_t offset, ColumnKind kind = ColumnKind::Member) {
  ColumnDef column;
  column.kind = kind;
  column.memberIndex = memberIndex;
  column.displayType = type;
  column.label = std::move(label);
  column.offset = static_cast<std::int32_t>(offset);
  return column;
}

std::string ElementLabel(const std::string& name, std::int32_t index) {
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, index);
  std::string label;
  label.reserve(name.size() + 2 + static_cast<std::size_t>(result.ptr - digits));
  label += name;
  label += '[';
  label.append(digits, result.ptr);
  label += ']';
  return label;
}

}  // namespace

// The parser keeps every structure within 32-bit offsets; a hand-made structure that is not
// gets no column that would end past them, so no cell can address bytes beyond recordSize.
int BuildColumnList(const StructDef& structDef, ColumnList& columns) {
  constexpr std::int64_t kMaxEnd = std::numeric_limits<std::int32_t>::max();
  columns.clear();
  columns.push_back(MakeColumn(-1, TypeCode::UWord, "No.", 0, ColumnKind::RecordNumber));
  columns.push_back(MakeColumn(-1, TypeCode::XLong, "Address", 0, ColumnKind::Address));

  std::int64_t offset = 0;
  for (std::size_t i = 0; i < structDef.members.size(); ++i) {
    const MemberDef& member = structDef.members[i];
    const auto memberIndex = static_cast<std::int32_t>(i);
    const std::int64_t count = member.count > 0 ? member.count : 0;
    if (member.type == TypeCode::Void) {
      offset += count;
      continue;
    }
    if (member.type == TypeCode::String) {
      if (offset + count > kMaxEnd) break;
      columns.push_back(MakeColumn(memberIndex, TypeCode::String, member.name, offset));
      offset += count;
      continue;
    }
    const std::int32_t width = TypeWidth(member.type);
    if (width == 0) continue;
    for (std::int32_t j = 0; j < count; ++j) {
      if (offset + width > kMaxEnd) return 1;
      columns.push_back(MakeColumn(memberIndex, member.type,
                                   count == 1 ? member.name : ElementLabel(member.name, j),
                                   offset));
      offset += width;
    }
  }
  return 1;
}

std::int32_t ColumnByteLength(const ColumnDef& column, const StructDef& structDef) {
  if (column.kind != ColumnKind::Member) return 0;
  if (column.displayType == TypeCode::String) {
    if (static_cast<std::size_t>(column.memberIndex) >= structDef.members.size()) return 0;
    const std::int32_t count = structDef.members[column.memberIndex].count;
    return count > 0 ? count : 0;
  }
  if (column.displayType == TypeCode::Void) return 0;
  return TypeWidth(column.displayType);
}
