#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "win32/handles_win32.h"

// The data file chooser's buffers, kept for the process so that it opens on its last choice.
struct DataFileChooser {
  std::array<char, MAX_PATH> path{};
  std::array<char, MAX_PATH> title{};
};

// The data file chooser: the chosen full path, nothing when cancelled.
std::optional<std::string> BrowseDataFile(HWND owner, DataFileChooser& chooser);

// The export dialog's chooser: the chosen full path, nothing when cancelled.
std::optional<std::string> ChooseCsvFile(HWND owner);

// The screen font chooser, with no preset and no owner; the font made from the choice, empty
// when cancelled or when the font cannot be made.
OwnedFont ChooseListFont();
