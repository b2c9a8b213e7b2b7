#include "structdef/definition_parser.h"

#include "resources/messages.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "structdef/regular_file.h"

namespace {

// A hostile struct.def can hold hundreds of thousands of bad tokens, and each report is a modal
// box the user must close; past this many per load the rest are dropped silently.
constexpr int kMaxReportedDefinitionErrors = 100;

// Bounds that keep a few bytes of struct.def from asking for gigabytes of columns or from
// overflowing 32-bit offsets. The label budget stops a long name times a large count.
constexpr std::int64_t kMaxMemberColumns = 65536;
constexpr std::int64_t kMaxRecordSize = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMaxLabelBytes = std::int64_t{32} << 20;

constexpr std::string_view kStruct = "struct";

bool IsSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Binary mode on purpose: a text-mode read on Windows would stop at a 0x1A byte, and CR is
// white space anyway.
class TokenReader {
 public:
  TokenReader(const std::string& path, std::size_t readBytes)
      : file_(OpenRegularFile(path).release()),
        buffer_(std::max<std::size_t>(readBytes, 1)),
        data_(buffer_.data()) {}
  // Over bytes already in memory: the whole text is one buffer that never refills.
  explicit TokenReader(std::string_view bytes)
      : file_(nullptr), data_(bytes.data()), end_(bytes.size()) {}
  TokenReader(const TokenReader&) = delete;
  TokenReader& operator=(const TokenReader&) = delete;
  ~TokenReader() {
    if (file_) std::fclose(file_);
  }

  bool IsOpen() const { return file_ != nullptr; }  // only a file can fail to open

  // False at the end of the file (a read error counts as the end).
  bool Next(std::string& token) {
    token.clear();
    for (;;) {
      if (pos_ == end_ && !Fill()) return !token.empty();
      const unsigned char c = static_cast<unsigned char>(data_[pos_]);
      if (IsSpace(c)) {
        ++pos_;
        if (!token.empty()) return true;
        continue;
      }
      std::size_t stop = pos_ + 1;
      while (stop < end_ && !IsSpace(static_cast<unsigned char>(data_[stop]))) ++stop;
      token.append(data_ + pos_, stop - pos_);
      pos_ = stop;
    }
  }

 private:
  bool Fill() {
    if (!file_) return false;
    pos_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    return end_ > 0;
  }

  std::FILE* file_;
  std::vector<char> buffer_;
  const char* data_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

// atoi's reading (optional sign, decimal digits, stop at the first other byte, no digits is
// 0), but saturating at the 32-bit limits instead of overflowing.
std::int32_t ReadCount(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : kMaxRecordSize;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::int64_t DecimalDigits(std::int64_t value) {
  std::int64_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

// Bytes of the labels name[0] .. name[count-1].
std::int64_t ElementLabelBytes(std::int64_t nameSize, std::int64_t count) {
  std::int64_t bytes = count * (nameSize + 2);
  std::int64_t low = 0;
  for (std::int64_t high = 10; low < count; low = high, high *= 10) {
    const std::int64_t inBand = (count < high ? count : high) - low;
    bytes += inBand * DecimalDigits(low);
  }
  return bytes;
}

class BodyParser {
 public:
  explicit BodyParser(const MessageSink& report) : report_(report) {}

  void Take(const std::string& token) {
    switch (state_) {
      case State::ExpectType:
        if (token == ";" || token.front() == '[') {
          Report(texts::kSemicolonBeforeType);
        } else if (auto code = FindKeyword(token)) {
          member_.type = *code;
          state_ = State::ExpectName;
        } else if (reported_ < kMaxReportedDefinitionErrors) {
          Report(texts::NotAType(token));
        }
        break;
      case State::ExpectName:
        if (token == ";" || token.front() == '[') {
          Report(texts::kEndBeforeName);
        } else if (token.back() == ';') {
          member_.name.assign(token, 0, token.size() - 1);
          member_.count = 1;
          Append();
        } else {
          member_.name = token;
          state_ = State::ExpectCount;
        }
        break;
      case State::ExpectCount:
        if (token == ";") {
          member_.count = 1;
          Append();
        } else if (token.front() == '[') {
          const std::size_t close = token.find(']', 1);
          if (close == std::string::npos) {
            Report(texts::kBadArray);
            member_.count = 1;
            state_ = State::ExpectEnd;
            break;
          }
          member_.count = ReadCount(std::string_view(token).substr(1));  // stops at ']'
          if (member_.count < 0) {
            Report(texts::kBadArray);
            member_.count = 1;
          }
          if (close + 1 < token.size() && token[close + 1] == ';') {
            Append();
          } else {
            state_ = State::ExpectEnd;
          }
        }
        break;
      case State::ExpectEnd:
        if (token == ";") Append();
        break;
    }
  }

  std::vector<MemberDef> TakeMembers() { return std::move(members_); }

 private:
  enum class State { ExpectType, ExpectName, ExpectCount, ExpectEnd };

  struct Cost {
    std::int64_t columns = 0;
    std::int64_t bytes = 0;
    std::int64_t labelBytes = 0;
  };

  Cost CostOf(const MemberDef& member, std::int64_t count) const {
    const auto nameSize = static_cast<std::int64_t>(member.name.size());
    Cost cost;
    cost.bytes = count * TypeWidth(member.type);
    if (member.type == TypeCode::String) {
      cost.columns = 1;
      cost.labelBytes = nameSize;
    } else if (member.type != TypeCode::Void) {
      cost.columns = count;
      cost.labelBytes = count == 1 ? nameSize : ElementLabelBytes(nameSize, count);
    }
    return cost;
  }

  bool Fits(const Cost& cost) const {
    return used_.columns + cost.columns <= kMaxMemberColumns &&
           used_.bytes + cost.bytes <= kMaxRecordSize &&
           used_.labelBytes + cost.labelBytes <= kMaxLabelBytes;
  }

  // A member that would take the structure past the bounds is an invalid array definition:
  // it keeps one element, or is left out when even one element does not fit.
  void Append() {
    state_ = State::ExpectType;
    Cost cost = CostOf(member_, member_.count);
    if (!Fits(cost)) {
      Report(texts::kBadArray);
      member_.count = 1;
      cost = CostOf(member_, 1);
      if (!Fits(cost)) return;
    }
    used_.columns += cost.columns;
    used_.bytes += cost.bytes;
    used_.labelBytes += cost.labelBytes;
    members_.push_back(member_);
  }

  void Report(std::string_view text) {
    if (reported_ >= kMaxReportedDefinitionErrors) return;
    ++reported_;
    report_(text, DefinitionErrorCaption());
  }

  const MessageSink& report_;
  State state_ = State::ExpectType;
  MemberDef member_;
  std::vector<MemberDef> members_;
  Cost used_;
  int reported_ = 0;
};

// The listing pass's state machine. `onName` sees each structure name and returns true to stop
// right after it; the result says whether it stopped before the end of the file.
template <typename OnName>
bool WalkStructNames(TokenReader& reader, OnName onName) {
  enum class State { Outside, Named, BeforeBody, InBody } state = State::Outside;
  std::string token;
  while (reader.Next(token)) {
    switch (state) {
      case State::Outside:
        if (token == kStruct) state = State::Named;
        break;
      case State::Named:
        if (onName(token)) return true;
        state = State::BeforeBody;
        break;
      case State::BeforeBody:
        if (token == "{") state = State::InBody;
        break;
      case State::InBody:
        if (token == "}") state = State::Outside;
        break;
    }
  }
  return false;
}

void ListNames(TokenReader& reader, const NameSink& addName) {
  WalkStructNames(reader, [&addName](const std::string& token) {
    addName(token);
    return false;
  });
}

StructLookup LoadDefinition(TokenReader& reader, std::string_view name, StructDef& structDef,
                            const MessageSink& report) {
  const bool found =
      WalkStructNames(reader, [name](const std::string& token) { return token == name; });
  if (!found) return StructLookup::NotFound;

  BodyParser body(report);
  std::string token;
  bool inBody = false;
  while (reader.Next(token)) {
    if (!inBody) {
      inBody = token == "{";
      continue;
    }
    if (token.front() == '}') break;
    body.Take(token);
  }

  structDef.members = body.TakeMembers();
  structDef.recordSize = ComputeRecordSize(structDef.members);
  return StructLookup::Found;
}

}  // namespace

std::string_view DefinitionErrorCaption() { return texts::kDefinitionErrorCaption; }

std::string StructDefPath(std::string_view currentDirectory) {
#ifdef _WIN32
  constexpr std::string_view kName = "\\struct.def";
#else
  constexpr std::string_view kName = "/struct.def";
#endif
  std::string path;
  path.reserve(currentDirectory.size() + kName.size());
  path += currentDirectory;
  path += kName;
  return path;
}

DefinitionRead ListStructNames(const std::string& path, const NameSink& addName,
                               std::size_t readBytes) {
  TokenReader reader(path, readBytes);
  if (!reader.IsOpen()) return DefinitionRead::Unreadable;
  ListNames(reader, addName);
  return DefinitionRead::Read;
}

void ListStructNamesInBytes(std::string_view bytes, const NameSink& addName) {
  TokenReader reader(bytes);
  ListNames(reader, addName);
}

StructLookup LoadStructDef(const std::string& path, std::string_view name, StructDef& structDef,
                           const MessageSink& report, std::size_t readBytes) {
  TokenReader reader(path, readBytes);
  return reader.IsOpen() ? LoadDefinition(reader, name, structDef, report) : StructLookup::NotFound;
}

StructLookup LoadStructDefFromBytes(std::string_view bytes, std::string_view name,
                                    StructDef& structDef, const MessageSink& report) {
  TokenReader reader(bytes);
  return LoadDefinition(reader, name, structDef, report);
}
