#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/csv_writer.h"

enum class ExitStatus {
  Done = 0,
  Usage = 1,
  Definition = 2,  // no definition file, no such structure, or an error under --strict
  DataUnreadable = 3,
  OutputFailed = 4,
  InputRefused = 5,  // --import: the CSV cannot be taken back whole; nothing was written
};

// Standard output: a ByteSink that also says when its reader has gone (a closed pipe).
class OutputStream : public ByteSink {
 public:
  virtual bool ReaderGone() const = 0;
};

// The streams of one run, given by the entry point (or a test).
struct CliStreams {
  std::FILE* in = nullptr;  // standard input, in binary mode
  OutputStream* out = nullptr;
  // One diagnostic line, without its line end, already in the terminal's encoding.
  std::function<void(std::string_view line)> error;
  // The progress line to show in place of the last one; empty erases it. Null: no terminal.
  std::function<void(std::string_view line)> progress;
  std::function<double()> clock;  // seconds, never going back: the progress line's pace
  bool utf8Terminal = false;      // diagnostics and help go out as UTF-8, not code page 932
};

ExitStatus RunVelmoraCsv(const std::vector<std::string>& args, CliStreams& io);
