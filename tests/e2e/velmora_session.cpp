#include "velmora_session.h"

#include <cstdlib>

namespace e2e {

std::string VelmoraExePath() {
  if (const char* path = std::getenv("VELMORA_EXE"); path && *path) return ToWindowsPath(path);
#ifdef VELMORA_EXE
  return ToWindowsPath(VELMORA_EXE);
#else
  return {};
#endif
}

std::unique_ptr<Velmora> Velmora::Launch(const std::string& folder, std::string& error) {
  const std::string exe = VelmoraExePath();
  if (exe.empty() || GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    error = "velmora.exe not found (\"" + exe + "\"); set VELMORA_EXE or build the velmora target";
    return nullptr;
  }
  auto process = Process::Start(exe, folder, error);
  if (!process) return nullptr;
  // The first start of a program under Wine loads a lot; later ones take well under a second.
  HWND main = WaitForTopWindow(process->Id(), "VELMORA", false, 30000);
  if (!main) {
    error = process->HasExited() ? "velmora.exe ended without a main window"
                                 : "no VELMORA window within 30 s";
    return nullptr;
  }
  return std::unique_ptr<Velmora>(new Velmora(std::move(*process), main));
}

bool Velmora::WaitShown() {
  return WaitUntil([&] { return IsWindowVisible(main_) && IsWindowEnabled(main_); }) && Settle();
}

bool Velmora::WaitStatus(std::string_view expected) const {
  return WaitUntil([&] { return Status() == expected; });
}

bool Velmora::SelectStructure(int index) {
  HWND selector = Control(ids::kSelector);
  auto selected = Ask(selector, CB_SETCURSEL, index);
  if (!selected || *selected != index) return false;
  return SendNotifyMessageW(main_, WM_COMMAND, MAKEWPARAM(ids::kSelector, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(selector));
}

bool Velmora::Command(int id) { return SendNotifyMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

std::optional<ModalWindow> Velmora::WaitModal(std::string_view caption) const {
  return caption.empty() ? WaitForModal(process_.Id()) : WaitForModal(process_.Id(), caption);
}

bool Velmora::Answer(const ModalWindow& modal, int id) {
  answerError_.clear();
  if (!GetDlgItem(modal.window, id)) {
    answerError_ = "no button " + std::to_string(id);
  } else if (!ClickDialogItem(modal.window, id)) {
    answerError_ = LastInputError();
  } else if (!WaitForClose(modal.window)) {
    answerError_ = "still open after clicking button " + std::to_string(id);
  } else if (!Settle()) {
    answerError_ = "the main window does not answer";
  }
  return answerError_.empty();
}

std::optional<DWORD> Velmora::Exit() {
  if (!Command(ids::kExit)) return std::nullopt;
  return process_.WaitForExit();
}

}  // namespace e2e
