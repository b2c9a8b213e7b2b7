#include "e2e_fixture.h"

#include <algorithm>
#include <cstdlib>

namespace e2e {

using ::testing::AssertionFailure;
using ::testing::AssertionSuccess;

const char kItemPairDef[] =
    "struct Item {\r\n  ubyte kind;\r\n  xbyte flags;\r\n  uword count;\r\n  string name [6];\r\n"
    "  sword delta;\r\n  ulong total;\r\n}\r\n"
    "struct Pair {\r\n  ulong first;\r\n  xlong second [2];\r\n}\r\n";

std::string ItemData() {
  // Record 0: a String with bytes after its zero; record 1: a String with a comma and a quote;
  // record 2: a String of CP932 characters whose second byte is 0x5C.
  static const unsigned char bytes[] = {
      0x05, 0xA0, 0x34, 0x12, 'a',  'b',  0x00, 'X',  'Y',  'Z',  0xFE, 0xFF, 0x78, 0x56, 0x34, 0x12,
      0xFF, 0x01, 0x01, 0x00, 'a',  ',',  '"',  'b',  0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF,
      0x00, 0x7F, 0xFF, 0xFF, 0x95, 0x5C, 0x83, 0x5C, '!',  0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80,
  };
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void VelmoraE2eTest::TearDown() {
  if (process_ && !ModalWindowsOf(processId_).empty()) ADD_FAILURE() << "left" << OpenModals();
  process_.reset();
}

void VelmoraE2eTest::WriteStructDef(std::string_view text, const std::string& folder) {
  WriteBytes((folder.empty() ? Folder() : folder) + "\\struct.def", text);
}

AssertionResult VelmoraE2eTest::Launch(const std::string& folder) {
  // VELMORA_EXE from the environment, else the program the build made.
  const char* fromEnvironment = std::getenv("VELMORA_EXE");
#ifdef VELMORA_EXE
  if (!fromEnvironment || !*fromEnvironment) fromEnvironment = VELMORA_EXE;
#endif
  std::string exe = fromEnvironment ? fromEnvironment : "";
  if (exe.starts_with('/')) {  // a path of the Linux side, as Wine's Z: drive sees it
    std::replace(exe.begin(), exe.end(), '/', '\\');
    exe.insert(0, "Z:");
  }
  std::string error = "velmora.exe not found (\"" + exe + "\"); set VELMORA_EXE or build it";
  if (exe.empty() || GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES ||
      !(process_ = StartProcess(exe, folder.empty() ? Folder() : folder, error))) {
    return AssertionFailure() << error;
  }
  processId_ = GetProcessId(process_.get());
  // The first start of a program under Wine loads a lot; later ones take well under a second.
  if (!WaitUntil([&] {
        auto windows = TopWindowsOf(processId_, "VELMORA");
        return (main_ = windows.empty() ? nullptr : windows.front()) != nullptr;
      }, 30000)) {
    return AssertionFailure() << "no VELMORA window within 30 s";
  }
  return AssertionSuccess();
}

AssertionResult VelmoraE2eTest::Shown() {
  if (WaitUntil([&] { return IsWindowVisible(main_) && IsWindowEnabled(main_); }) && Settle()) {
    return AssertionSuccess();
  }
  return AssertionFailure() << "main window not shown and idle" << OpenModals();
}

AssertionResult VelmoraE2eTest::Settle() const {
  if (e2e::Settle(main_)) return AssertionSuccess();
  return AssertionFailure() << "the main window does not answer";
}

AssertionResult VelmoraE2eTest::SelectStructure(int index) {
  // Notifications are sent without waiting for the answer, so a message box they open never
  // blocks the test; unlike a posted message, the Settle after it is handled after it.
  HWND selector = Control(ids::kSelector);
  if (Ask(selector, CB_SETCURSEL, index) != index ||
      !SendNotifyMessageW(main_, WM_COMMAND, MAKEWPARAM(ids::kSelector, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(selector))) {
    return AssertionFailure() << "cannot select structure " << index;
  }
  return Settle();
}

AssertionResult VelmoraE2eTest::Press(int button, const std::string& path) {
  if (!SetWindowTextCp932(Control(ids::kPathField), path)) {
    return AssertionFailure() << "cannot type the path";
  }
  if (!ClickWindow(Control(button))) return AssertionFailure() << LastInputError();
  return AssertionSuccess();
}

AssertionResult VelmoraE2eTest::OpenDialog(int id, std::string_view caption,
                                           ModalWindow& dialog) {
  // Sent without waiting, like the structure change above.
  if (id != 0 && !SendNotifyMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0)) {
    return AssertionFailure() << "cannot send command " << id;
  }
  auto found = WaitForModal(processId_, caption);
  if (!found) return AssertionFailure() << "no window \"" << caption << "\"" << OpenModals();
  dialog = *found;
  return AssertionSuccess();
}

AssertionResult VelmoraE2eTest::Answer(const ModalWindow& modal, int id) {
  auto failure = AssertionFailure() << "\"" << modal.caption << "\", button " << id << ": ";
  HWND button = GetDlgItem(modal.window, id);
  if (!button || !ClickWindow(button)) return failure << "cannot click " << LastInputError();
  if (!WaitUntil([&] { return !IsWindow(modal.window) || !IsWindowVisible(modal.window); })) {
    return failure << "still open after the click";
  }
  return Settle();
}

AssertionResult VelmoraE2eTest::AnswerBox(std::string_view caption, std::string_view text,
                                          int button) {
  auto box = WaitForModal(processId_);
  if (box && box->caption == caption && box->text == text) return Answer(*box, button);
  return AssertionFailure() << "expected box \"" << caption << "\" saying \"" << text << "\""
                            << OpenModals();
}

AssertionResult VelmoraE2eTest::EditCell(int row, int column, std::string_view shown,
                                         std::string_view typed, int button) {
  if (!ClickListCell(List(), row, column, 2)) {
    return AssertionFailure() << "cannot double-click cell " << row << "," << column << ": "
                              << LastInputError();
  }
  ModalWindow dialog;
  if (auto opened = OpenDialog(0, "項目編集", dialog); !opened) return opened;
  HWND field = GetDlgItem(dialog.window, ids::kDialogField);
  if (std::string text = WindowText(field); text != shown) {
    Answer(dialog, ids::kCancel);
    return AssertionFailure() << "the edit field shows \"" << text << "\", not \"" << shown << "\"";
  }
  if (!SetWindowTextCp932(field, typed)) return AssertionFailure() << "cannot type the value";
  return Answer(dialog, button);
}

AssertionResult VelmoraE2eTest::ChangeType(int column, int marked, std::vector<int> clicks,
                                           int button) {
  if (!ClickListHeader(List(), column)) {
    return AssertionFailure() << "cannot click header " << column << ": " << LastInputError();
  }
  ModalWindow dialog;
  if (auto opened = OpenDialog(0, "型の変更", dialog); !opened) return opened;
  for (int radio = 0; radio < 3; ++radio) {
    if (IsChecked(GetDlgItem(dialog.window, ids::kFirstRadio + radio)) != (radio == marked)) {
      Answer(dialog, ids::kCancel);
      return AssertionFailure() << "radio button " << radio << " is "
                                << (radio == marked ? "not " : "") << "marked";
    }
  }
  for (int radio : clicks) {
    HWND item = GetDlgItem(dialog.window, ids::kFirstRadio + radio);
    if (!ClickWindow(item) || !WaitUntil([&] { return IsChecked(item); })) {
      return AssertionFailure() << "clicking radio button " << radio << " did not mark it";
    }
  }
  return Answer(dialog, button);
}

AssertionResult VelmoraE2eTest::StatusIs(std::string_view expected) {
  if (WaitUntil([&] { return Status() == expected; })) return AssertionSuccess();
  return AssertionFailure() << "status is \"" << Status() << "\", expected \"" << expected
                            << "\"" << OpenModals();
}

AssertionResult VelmoraE2eTest::NoModalAppears() {
  Sleep(400);
  Settle();
  if (ModalWindowsOf(processId_).empty()) return AssertionSuccess();
  return AssertionFailure() << "unexpected window" << OpenModals();
}

std::string VelmoraE2eTest::OpenModals() const {
  std::string text;
  for (const auto& modal : ModalWindowsOf(processId_)) {
    text += "; open: \"" + modal.caption + "\" saying \"" + modal.text + "\"";
  }
  return text;
}

}  // namespace e2e
