#pragma once

#include <cstddef>
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

enum class DefinitionRead : int { Read = 0, Unreadable = -1 };
// Found whatever errors were reported; NotFound leaves the structure exactly as it was.
enum class StructLookup : int { Found = 0, NotFound = -1 };

// Bytes of the file read at a time; a token may span any number of reads.
inline constexpr std::size_t kDefinitionReadBytes = 64 * 1024;

DefinitionRead ListStructNames(const std::string& path, const NameSink& addName,
                               std::size_t readBytes = kDefinitionReadBytes);
// The same pass over the bytes of a definition file already in memory.
void ListStructNamesInBytes(std::string_view bytes, const NameSink& addName);

StructLookup LoadStructDef(const std::string& path, std::string_view name, StructDef& structDef,
                           const MessageSink& report, std::size_t readBytes = kDefinitionReadBytes);
// The same pass over the bytes of a definition file already in memory.
StructLookup LoadStructDefFromBytes(std::string_view bytes, std::string_view name,
                                    StructDef& structDef, const MessageSink& report);
