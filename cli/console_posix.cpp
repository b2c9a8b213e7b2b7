#include "cli/console.h"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <ctime>
#include <langinfo.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const char* bytes, std::size_t count, bool& readerGone) {
  while (count > 0) {
    const ssize_t written = write(fd, bytes, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      readerGone = errno == EPIPE;
      return false;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool StandardOutput::Write(const char* bytes, std::size_t count) {
  return WriteAll(STDOUT_FILENO, bytes, count, readerGone_);
}

void PrepareStandardStreams() {
  std::signal(SIGPIPE, SIG_IGN);
  std::setlocale(LC_CTYPE, "");
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO); }

bool TerminalSpeaksUtf8() { return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0; }

void WriteStandardError(std::string_view text) {
  bool gone = false;
  WriteAll(STDERR_FILENO, text.data(), text.size(), gone);
}

double MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}
