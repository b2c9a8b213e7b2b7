#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "datafile/data_buffer.h"
#include "records/record_table.h"
#include "structdef/record_layout.h"
#include "structdef/type_model.h"

inline constexpr std::size_t kEditTextCapacity = 1024;  // 1023 bytes and the terminating zero

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

  // Exchange with the dialogs: set before a dialog runs, read after it returns.
  std::unique_ptr<char[]> editText;  // kEditTextCapacity bytes, only during a cell edit
  std::string editCaption;
  std::string typeDialogCaption;
  TypeCode currentType = TypeCode::Void;
  TypeCode chosenType = TypeCode::Void;
  std::string csvPath;
  std::vector<std::int32_t> csvSelection;
};
