#include "e2e_fixture.h"


namespace e2e {

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

const char kItemPairDef[] =
    "struct Item {\r\n"
    "  ubyte kind;\r\n"
    "  xbyte flags;\r\n"
    "  uword count;\r\n"
    "  string name [6];\r\n"
    "  sword delta;\r\n"
    "  ulong total;\r\n"
    "}\r\n"
    "struct Pair {\r\n"
    "  ulong first;\r\n"
    "  xlong second [2];\r\n"
    "}\r\n";

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
  if (!app_) return;
  for (const auto& modal : app_->OpenModals()) {
    ADD_FAILURE() << "left open: window \"" << modal.caption << "\" saying \"" << modal.text
                  << "\"";
  }
  app_.reset();
}

void VelmoraE2eTest::WriteStructDef(std::string_view text, const std::string& folder) {
  WriteBytes((folder.empty() ? Folder() : folder) + "\\struct.def", text);
}

::testing::AssertionResult VelmoraE2eTest::Launch(const std::string& folder) {
  std::string error;
  app_ = Velmora::Launch(folder.empty() ? Folder() : folder, error);
  if (!app_) return ::testing::AssertionFailure() << error;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult VelmoraE2eTest::Start(const std::string& folder) {
  if (auto launched = Launch(folder); !launched) return launched;
  if (!app_->WaitShown()) {
    auto failure = ::testing::AssertionFailure() << "main window not shown and idle";
    for (const auto& modal : app_->OpenModals()) {
      failure << "; open: \"" << modal.caption << "\" saying \"" << modal.text << "\"";
    }
    return failure;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult VelmoraE2eTest::Read(const std::string& path) {
  if (!app_->TypePath(path)) return ::testing::AssertionFailure() << "cannot type the path";
  if (!app_->ClickRead()) {
    return ::testing::AssertionFailure() << "cannot click the read button: " << LastInputError();
  }
  return StatusIs("データ" + Quoted(path) + "を読み込みました");
}

::testing::AssertionResult VelmoraE2eTest::Write(const std::string& path) {
  if (!app_->TypePath(path)) return ::testing::AssertionFailure() << "cannot type the path";
  if (!app_->ClickWrite()) {
    return ::testing::AssertionFailure() << "cannot click the write button: " << LastInputError();
  }
  return StatusIs("データを" + Quoted(path) + "に書き込みました");
}

::testing::AssertionResult VelmoraE2eTest::OpenDialog(int id, std::string_view caption,
                                                      ModalWindow& dialog) {
  if (id != 0 && !app_->Command(id)) {
    return ::testing::AssertionFailure() << "cannot post command " << id;
  }
  auto found = app_->WaitModal(caption);
  if (!found) {
    auto failure = ::testing::AssertionFailure() << "no window \"" << caption << "\"";
    for (const auto& modal : app_->OpenModals()) {
      failure << "; open instead: \"" << modal.caption << "\" saying \"" << modal.text << "\"";
    }
    return failure;
  }
  dialog = *found;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult VelmoraE2eTest::AnswerBox(std::string_view caption,
                                                     std::string_view text, int button) {
  auto box = app_->WaitModal();
  if (!box) return ::testing::AssertionFailure() << "no message box \"" << caption << "\"";
  if (box->caption != caption || box->text != text) {
    return ::testing::AssertionFailure()
           << "expected box \"" << caption << "\" saying \"" << text << "\", got \""
           << box->caption << "\" saying \"" << box->text << "\"";
  }
  if (!app_->Answer(*box, button)) {
    return ::testing::AssertionFailure() << "cannot press button " << button << " of \""
                                         << caption << "\": " << app_->AnswerError();
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult VelmoraE2eTest::EditCell(int row, int column, std::string_view shown,
                                                    std::string_view typed, int button) {
  if (!app_->DoubleClickCell(row, column)) {
    return ::testing::AssertionFailure() << "cannot double-click cell " << row << "," << column;
  }
  ModalWindow dialog;
  if (auto opened = OpenDialog(0, "項目編集", dialog); !opened) return opened;
  HWND field = GetDlgItem(dialog.window, ids::kDialogField);
  if (std::string text = WindowText(field); text != shown) {
    app_->Answer(dialog, ids::kCancel);
    return ::testing::AssertionFailure() << "the edit field shows \"" << text << "\", expected \""
                                         << shown << "\"";
  }
  if (!SetWindowTextCp932(field, typed)) {
    return ::testing::AssertionFailure() << "cannot type into the edit field";
  }
  if (!app_->Answer(dialog, button)) {
    return ::testing::AssertionFailure() << "cannot press button " << button << ": "
                                         << app_->AnswerError();
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult VelmoraE2eTest::ChangeType(int column, int marked,
                                                      std::vector<int> clicks, int button) {
  if (!app_->ClickHeader(column)) {
    return ::testing::AssertionFailure() << "cannot click header " << column;
  }
  ModalWindow dialog;
  if (auto opened = OpenDialog(0, "型の変更", dialog); !opened) return opened;
  for (int radio = 0; radio < 3; ++radio) {
    if (IsChecked(GetDlgItem(dialog.window, ids::kFirstRadio + radio)) != (radio == marked)) {
      app_->Answer(dialog, ids::kCancel);
      return ::testing::AssertionFailure() << "radio button " << radio << " is "
                                           << (radio == marked ? "not " : "") << "marked";
    }
  }
  for (int radio : clicks) {
    HWND button = GetDlgItem(dialog.window, ids::kFirstRadio + radio);
    if (!ClickWindow(button) || !WaitUntil([&] { return IsChecked(button); })) {
      return ::testing::AssertionFailure() << "clicking radio button " << radio << " did not mark it";
    }
  }
  if (!app_->Answer(dialog, button)) {
    return ::testing::AssertionFailure() << "cannot press button " << button << ": "
                                         << app_->AnswerError();
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult VelmoraE2eTest::StatusIs(std::string_view expected) {
  if (app_->WaitStatus(expected)) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure()
                 << "status is \"" << app_->Status() << "\", expected \"" << expected << "\"";
  for (const auto& modal : app_->OpenModals()) {
    failure << "; open: \"" << modal.caption << "\" saying \"" << modal.text << "\"";
  }
  return failure;
}

::testing::AssertionResult VelmoraE2eTest::NoModalAppears() {
  Sleep(400);
  app_->Settle();
  auto modals = app_->OpenModals();
  if (modals.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "unexpected window \"" << modals.front().caption
                                       << "\" saying \"" << modals.front().text << "\"";
}

}  // namespace e2e
