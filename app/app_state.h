#pragma once

#include <cstdint>
#include <string>

#include "datafile/data_buffer.h"
#include "records/record_table.h"
#include "structdef/record_layout.h"
#include "structdef/type_model.h"

// The portable part of the process-wide state. Owned by the entry point and passed by
// reference, so every test starts from a fresh one. Window handles live in the shell.
struct AppState {
  std::string currentDirectory;  // captured once at start; struct.def is looked up beside it

  StructDef structDef;
  ColumnList columns;
  std::int32_t lastColumnIndex = -1;
  DataBuffer dataBuffer;
  std::int32_t noBase = 0;
  RecordTable table;  // what the record list shows
};
