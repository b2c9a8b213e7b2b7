#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/record_table.h"
#include "structdef/record_layout.h"

// Asks a yes/no question; true for Yes.
using YesNoQuestion = std::function<bool(std::string_view text, std::string_view caption)>;

enum class CsvResult : int {
  Written = 1,
  Declined = 0,  // the file exists and the user did not agree to replace it
  Failed = -1,   // the file could not be written; an existing one is left exactly as it was
};

CsvResult WriteCsv(const std::string& path, const RecordTable& table, const ColumnList& columns,
                   const std::vector<std::int32_t>& selection, const YesNoQuestion& ask);
