#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

enum class OutputEncoding { Cp932, Utf8, Utf8Bom };

// What the command line asked for, checked for form only: names of structures and columns are
// looked up once the definition is read.
struct CliOptions {
  std::string defPath = "struct.def";
  std::optional<std::string> structName;
  bool list = false;
  bool layout = false;
  std::optional<std::string> columns;
  std::vector<std::string> types;  // COLUMN=KEYWORD, in command-line order
  std::int32_t noBase = 0;
  std::uint64_t firstRecord = 0;
  std::optional<std::uint64_t> recordCount;  // none: to the end
  std::optional<std::string> outputPath;
  OutputEncoding encoding = OutputEncoding::Cp932;
  bool encodingGiven = false;
  std::optional<std::string> importPath;  // a CSV to take back into the data file
  bool lenient = false;
  bool strict = false;
  bool help = false;
  bool version = false;
  std::string dataPath;  // "-" for standard input
};

// One line's worth: the option (or argument) and what was wrong with it, in code page 932.
struct UsageError {
  UsageError(std::string optionName, std::string_view problemText)
      : option(std::move(optionName)), problem(problemText) {}
  std::string option;
  std::string problem;
};

std::variant<CliOptions, UsageError> ParseOptions(const std::vector<std::string>& args);

// "digits" as a number; none for anything else, an empty text and values past 64 bits included.
std::optional<std::uint64_t> ParseCount(std::string_view text);
