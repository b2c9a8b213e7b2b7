// velmora-csv: the window program's CSV export from the command line.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/encoding.h"
#include "cli/velmora_csv.h"
#include "resources/messages.h"

int main(int argc, char** argv) {
  PrepareStandardStreams();
  StandardOutput out;
  CliStreams io;
  io.in = stdin;
  io.out = &out;
  io.utf8Terminal = TerminalSpeaksUtf8();
  io.error = [](std::string_view line) { WriteStandardError(std::string(line) + "\n"); };
  std::size_t shownWidth = 0;
  if (StandardErrorIsTerminal()) {
    io.clock = MonotonicSeconds;
    // Carriage return and spaces rather than escape sequences: every console understands them.
    io.progress = [&shownWidth](std::string_view line) {
      std::string text = "\r" + std::string(line);
      if (line.size() < shownWidth) text += std::string(shownWidth - line.size(), ' ');
      text += line.empty() ? "\r" : "";
      shownWidth = line.size();
      WriteStandardError(text);
    };
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return static_cast<int>(RunVelmoraCsv(args, io));
  } catch (const std::bad_alloc&) {
    // Chunks and kept cells are small; a record of gigabytes held whole (fields that overlap,
    // which struct.def cannot declare) is all that can get here.
    const std::string message(texts::kOutOfMemory);
    io.error(io.utf8Terminal ? Cp932ToUtf8(message) : message);
    return static_cast<int>(ExitStatus::DataUnreadable);
  }
}
