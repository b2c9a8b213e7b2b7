#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/velmora_csv.h"

// Standard output written as it is, with no conversion of line ends.
class StandardOutput : public OutputStream {
 public:
  bool Write(const char* bytes, std::size_t count) override;
  bool ReaderGone() const override { return readerGone_; }

 private:
  bool readerGone_ = false;
};

// Binary standard streams, and a closed pipe reported as a failed write instead of a signal.
void PrepareStandardStreams();
bool StandardErrorIsTerminal();
// Whether the terminal's text is UTF-8 (the locale's character set; the console's code page).
bool TerminalSpeaksUtf8();
void WriteStandardError(std::string_view text);
// Seconds from an arbitrary start, never going back (<chrono> cannot be built for code page 932).
double MonotonicSeconds();
