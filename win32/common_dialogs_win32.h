#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "win32/handles_win32.h"
#include "datafile/data_buffer.h"

// The data file chooser. It opens on the previous choice; true with the new one in
// data.filePath (and data.fileTitle).
bool BrowseDataFile(HWND owner, DataBuffer& data);

// The export dialog's chooser: the chosen full path, nothing when cancelled.
std::optional<std::string> ChooseCsvFile(HWND owner);

// The screen font chooser, with no preset and no owner; the font made from the choice, empty
// when cancelled or when the font cannot be made.
OwnedFont ChooseListFont();
