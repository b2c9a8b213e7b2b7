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

// 1 written, 0 the user declined to overwrite, -1 the file could not be written (an existing
// file is then left exactly as it was).
int WriteCsv(const std::string& path, const RecordTable& table, const ColumnList& columns,
             const std::vector<std::int32_t>& selection, const YesNoQuestion& ask);
