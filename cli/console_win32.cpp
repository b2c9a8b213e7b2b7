#include "cli/console.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <cstdio>

namespace {

bool WriteAll(HANDLE handle, const char* bytes, std::size_t count, bool& readerGone) {
  while (count > 0) {
    const DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) {
      const DWORD error = GetLastError();
      // Which one a closed pipe gives depends on the pipe's kind (and on Wine).
      readerGone =
          error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}

}  // namespace

bool StandardOutput::Write(const char* bytes, std::size_t count) {
  return WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes, count, readerGone_);
}

void PrepareStandardStreams() {
  // Text mode would turn the CSV's CR LF into CR CR LF and stop reading data at a 0x1A byte.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

bool TerminalSpeaksUtf8() { return GetConsoleOutputCP() == CP_UTF8; }

void WriteStandardError(std::string_view text) {
  bool gone = false;
  WriteAll(GetStdHandle(STD_ERROR_HANDLE), text.data(), text.size(), gone);
}

double MonotonicSeconds() { return static_cast<double>(GetTickCount64()) / 1000.0; }
