#include "structdef/type_model.h"

#include <limits>

namespace {

bool SameKeyword(std::string_view token, std::string_view keyword) {
  if (keyword.empty() || keyword.size() != token.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    char c = token[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != keyword[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<TypeCode> FindKeyword(std::string_view token) {
  for (const TypeInfo& type : kTypes) {
    for (std::string_view keyword : type.keywords) {
      if (SameKeyword(token, keyword)) return type.code;
    }
  }
  return std::nullopt;
}

std::string_view TypeName(TypeCode code) {
  const TypeInfo* type = FindType(code);
  return type != nullptr ? type->keywords[0] : std::string_view();
}

std::int32_t TypeWidth(TypeCode code) {
  const TypeInfo* type = FindType(code);
  return type != nullptr ? type->width : 0;
}

std::optional<TypeFamily> FamilyOfType(TypeCode code) {
  const TypeInfo* type = FindType(code);
  return type != nullptr ? type->family : std::nullopt;
}

std::array<TypeCode, 3> FamilyTypes(TypeFamily family) {
  std::array<TypeCode, 3> types{};
  for (const TypeInfo& type : kTypes) {
    if (type.family != family) continue;
    switch (type.form) {
      case TypeForm::Unsigned: types[0] = type.code; break;
      case TypeForm::Signed: types[1] = type.code; break;
      case TypeForm::Hex: types[2] = type.code; break;
      default: break;
    }
  }
  return types;
}

Retype CheckRetype(TypeCode current, TypeCode chosen) {
  const std::optional<TypeFamily> family = FamilyOfType(current);
  if (!family) return Retype::NotANumber;
  return FamilyOfType(chosen) == family ? Retype::Allowed : Retype::OtherFamily;
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
