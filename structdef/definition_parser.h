#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "structdef/message_sink.h"
#include "structdef/type_model.h"

// Receives each structure name of struct.def in file order (the structure selector).
using NameSink = std::function<void(std::string_view name)>;

// The caption of every definition error box, the same on every platform.
std::string_view DefinitionErrorCaption();

// The definition file beside the working directory captured at start.
std::string StructDefPath(std::string_view currentDirectory);

// -1 when the file cannot be opened, otherwise 0.
int ListStructNames(const std::string& path, const NameSink& addName);
// The same pass over the bytes of a definition file already in memory; always 0.
int ListStructNamesInBytes(std::string_view bytes, const NameSink& addName);

// 0 when the named definition was found (whatever errors were reported), -1 otherwise; on -1
// `structDef` is left exactly as it was.
int LoadStructDef(const std::string& path, std::string_view name, StructDef& structDef,
                  const MessageSink& report);
// The same pass over the bytes of a definition file already in memory.
int LoadStructDefFromBytes(std::string_view bytes, std::string_view name, StructDef& structDef,
                           const MessageSink& report);
