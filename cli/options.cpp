#include "cli/options.h"

#include "resources/messages.h"

#include <array>
#include <string_view>

namespace {

enum class Takes { Nothing, Value };

struct OptionSpec {
  std::string_view longName;
  char shortName;  // 0: none
  Takes takes;
};

constexpr std::array<OptionSpec, 15> kOptions{{
    {"--def", 'd', Takes::Value},
    {"--struct", 's', Takes::Value},
    {"--list", 'l', Takes::Nothing},
    {"--layout", 0, Takes::Nothing},
    {"--columns", 'c', Takes::Value},
    {"--type", 't', Takes::Value},
    {"--no-base", 0, Takes::Value},
    {"--records", 0, Takes::Value},
    {"--output", 'o', Takes::Value},
    {"--encoding", 0, Takes::Value},
    {"--strict", 0, Takes::Nothing},
    {"--import", 0, Takes::Value},
    {"--lenient", 0, Takes::Nothing},
    {"--help", 'h', Takes::Nothing},
    {"--version", 0, Takes::Nothing},
}};

const OptionSpec* FindOption(std::string_view name) {
  for (const OptionSpec& spec : kOptions) {
    if (name == spec.longName) return &spec;
    if (spec.shortName != 0 && name.size() == 2 && name[0] == '-' && name[1] == spec.shortName) {
      return &spec;
    }
  }
  return nullptr;
}

std::optional<UsageError> Apply(CliOptions& options, std::string_view name, std::string value) {
  const std::string option(name);
  if (name == "--def") {
    if (value.empty()) return UsageError{option, texts::kEmptyPath};
    options.defPath = value;
  } else if (name == "--struct") {
    options.structName = value;
  } else if (name == "--list") {
    options.list = true;
  } else if (name == "--layout") {
    options.layout = true;
  } else if (name == "--columns") {
    options.columns = value;
  } else if (name == "--type") {
    if (value.find('=') == std::string::npos) {
      return UsageError{option, texts::NotColumnKeyword(value)};
    }
    options.types.push_back(value);
  } else if (name == "--no-base") {
    if (value != "0" && value != "1") return UsageError{option, texts::kZeroOrOne};
    options.noBase = value == "0" ? 0 : 1;
  } else if (name == "--records") {
    const std::size_t colon = value.find(':');
    const auto first = ParseCount(std::string_view(value).substr(0, colon));
    const std::string_view count =
        colon == std::string::npos ? std::string_view() : std::string_view(value).substr(colon + 1);
    if (colon == std::string::npos || !first || (!count.empty() && !ParseCount(count))) {
      return UsageError{option, texts::NotFirstCount(value)};
    }
    options.firstRecord = *first;
    options.recordCount = count.empty() ? std::nullopt : ParseCount(count);
  } else if (name == "--output") {
    if (value.empty()) return UsageError{option, texts::kEmptyPath};
    options.outputPath = value;
  } else if (name == "--import") {
    if (value.empty()) return UsageError{option, texts::kEmptyPath};
    options.importPath = value;
  } else if (name == "--lenient") {
    options.lenient = true;
  } else if (name == "--encoding") {
    options.encodingGiven = true;
    if (value == "cp932") {
      options.encoding = OutputEncoding::Cp932;
    } else if (value == "utf-8") {
      options.encoding = OutputEncoding::Utf8;
    } else if (value == "utf-8-bom") {
      options.encoding = OutputEncoding::Utf8Bom;
    } else {
      return UsageError{option, texts::kOneOfEncodings};
    }
  } else if (name == "--strict") {
    options.strict = true;
  } else if (name == "--help") {
    options.help = true;
  } else if (name == "--version") {
    options.version = true;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::uint64_t> ParseCount(std::string_view text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::variant<CliOptions, UsageError> ParseOptions(const std::vector<std::string>& args) {
  CliOptions options;
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name=value" and "-xvalue"; the value is otherwise the next argument.
    const bool isLong = arg.rfind("--", 0) == 0;
    const std::size_t equals = isLong ? arg.find('=') : arg.size() > 2 ? 2 : std::string::npos;
    const std::string name = arg.substr(0, equals);
    const OptionSpec* spec = FindOption(name);
    if (spec == nullptr) return UsageError{name, texts::kNoSuchOption};
    std::string value;
    if (spec->takes == Takes::Value) {
      if (equals != std::string::npos) {
        value = arg.substr(isLong ? equals + 1 : equals);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return UsageError{name, texts::kValueMissing};
      }
    } else if (equals != std::string::npos) {
      return UsageError{name, texts::kTakesNoValue};
    }
    if (auto error = Apply(options, spec->longName, std::move(value))) return *error;
  }

  const bool needsData = !(options.help || options.version || options.list || options.layout);
  if (operands.size() > 1) return UsageError{operands[1], texts::kOneDataFile};
  if (!operands.empty()) options.dataPath = operands[0];
  if (options.lenient && !options.importPath) {
    return UsageError{"--lenient", texts::kOnlyWithImport};
  }
  if (needsData && options.importPath) {
    // The data file is the target: standard input cannot be written back, and without one the
    // records start from zeros into --output.
    if (options.columns) return UsageError{"--columns", texts::kNotWithImport};
    if (options.firstRecord != 0 || options.recordCount) {
      return UsageError{"--records", texts::kNotWithImport};
    }
    if (options.dataPath == "-") return UsageError{"-", texts::kNoStandardInputForImport};
    if (operands.empty() && !options.outputPath) {
      return UsageError{"DATAFILE", texts::kDataFileOrOutput};
    }
  } else if (needsData && operands.empty()) {
    return UsageError{"DATAFILE", texts::kNoDataFile};
  }
  return options;
}
