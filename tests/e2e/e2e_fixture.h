#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"
#include "velmora_session.h"

namespace e2e {

// "\"" + text + "\"": how the program quotes paths, labels and keywords in its texts.
std::string Quoted(std::string_view text);

// A temporary folder to start velmora.exe in, and the program itself. Whatever a test leaves
// open is reported and the process is ended, so one failure never leaks into the next test.
class VelmoraE2eTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Writes struct.def (CP932 bytes as given) into `folder`, the test's folder by default.
  void WriteStructDef(std::string_view text, const std::string& folder = {});
  std::string Folder() const { return dir_.Path(); }
  std::string PathIn(std::string_view name) const { return dir_.File(name); }

  // Starts the program and waits for its main window to exist; Start also waits until it is
  // shown and idle (no start-up message box left).
  ::testing::AssertionResult Launch(const std::string& folder = {});
  ::testing::AssertionResult Start(const std::string& folder = {});
  Velmora& App() { return *app_; }

  // Types `path` into the path field, clicks the read button and waits for the read report.
  ::testing::AssertionResult Read(const std::string& path);
  // The same with the write button.
  ::testing::AssertionResult Write(const std::string& path);
  // Opens the modal window with `caption` by posting menu command `id` (0: no command).
  ::testing::AssertionResult OpenDialog(int id, std::string_view caption, ModalWindow& dialog);
  // Expects a message box with this caption and text and closes it with `button`.
  ::testing::AssertionResult AnswerBox(std::string_view caption, std::string_view text,
                                       int button = ids::kOk);
  // Double-clicks a cell, expects the item edit dialog with `shown` in its field, types `typed`
  // and closes it with `button`.
  ::testing::AssertionResult EditCell(int row, int column, std::string_view shown,
                                      std::string_view typed, int button = ids::kOk);
  // Clicks a column header, expects the type change dialog with radio button `marked` (0 to 2)
  // as the only mark, clicks the radio buttons `clicks` in order and closes with `button`.
  ::testing::AssertionResult ChangeType(int column, int marked, std::vector<int> clicks,
                                        int button = ids::kOk);
  // Waits for the status line; the failure names both texts.
  ::testing::AssertionResult StatusIs(std::string_view expected);
  // No modal window shows up after the program has handled its input (a negative check needs
  // a short grace period: input is queued behind what the program is doing).
  ::testing::AssertionResult NoModalAppears();

  TempDir dir_;
  std::unique_ptr<Velmora> app_;
};

// The main test structure and data, shared by several tests. Item is 16 bytes; Pair lays the
// same bytes out as 12-byte records.
extern const char kItemPairDef[];
std::string ItemData();

}  // namespace e2e
