#include "structdef/type_model.h"

#include <limits>

std::optional<TypeCode> FindKeyword(std::string_view token) {
  for (const KeywordEntry& entry : KeywordTable) {
    if (entry.keyword.size() != token.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < token.size() && same; ++i) {
      char c = token[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      same = c == entry.keyword[i];
    }
    if (same) return entry.code;
  }
  return std::nullopt;
}

std::string_view TypeName(TypeCode code) {
  for (const KeywordEntry& entry : KeywordTable) {
    if (entry.code == code) return entry.keyword;
  }
  return {};
}

std::int32_t TypeWidth(TypeCode code) {
  switch (code) {
    case TypeCode::Void:
    case TypeCode::UByte:
    case TypeCode::SByte:
    case TypeCode::XByte:
    case TypeCode::String: return 1;
    case TypeCode::UWord:
    case TypeCode::SWord:
    case TypeCode::XWord: return 2;
    case TypeCode::ULong:
    case TypeCode::SLong:
    case TypeCode::XLong: return 4;
  }
  return 0;
}

// A negative count takes no bytes, as in the column layout, so offsets never run backwards;
// the parser never produces one, but a hand-made structure may hold anything.
std::int32_t ComputeRecordSize(const std::vector<MemberDef>& members) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t size = 0;
  for (const MemberDef& member : members) {
    if (member.count > 0) size += std::int64_t{member.count} * TypeWidth(member.type);
    if (size > kMax) return static_cast<std::int32_t>(kMax);
  }
  return static_cast<std::int32_t>(size);
}
