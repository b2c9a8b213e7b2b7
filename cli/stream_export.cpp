#include "cli/stream_export.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

namespace {

// Reads until `count` bytes are in or the data ends; false on a read error.
bool ReadFully(std::FILE* in, std::uint8_t* into, std::size_t count, std::size_t& got) {
  got = 0;
  while (got < count) {
    const std::size_t read = std::fread(into + got, 1, count - got, in);
    got += read;
    if (read == 0) return !std::ferror(in);
  }
  return true;
}

}  // namespace

StreamResult StreamCsv(std::FILE* in, const RowFormat& format, CsvLines& lines,
                       const StreamRequest& request) {
  constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t remaining = request.recordCount.value_or(kAll);
  const std::uint64_t recordSize = format.RecordSize();
  const std::uint64_t span = format.Span();
  std::vector<std::uint8_t> buffer(std::max<std::uint64_t>(request.chunkBytes, std::max<std::uint64_t>(span, 1)));

  // Records of size 0 all start at position 0: there is the one row only.
  std::uint64_t first = request.firstRecord;
  if (recordSize == 0) {
    if (first > 0) return StreamResult::Done;
    remaining = std::min<std::uint64_t>(remaining, 1);
  } else if (first > 0) {
    if (first > kAll / recordSize || !SkipInput(in, first * recordSize)) {
      return first > kAll / recordSize ? StreamResult::Done : StreamResult::ReadFailed;
    }
  }

  std::size_t filled = 0;
  std::uint64_t bytesRead = 0;
  std::uint64_t written = 0;
  bool ended = false;
  bool any = first > 0;
  while (remaining > 0) {
    std::size_t got = 0;
    if (!ReadFully(in, buffer.data() + filled, buffer.size() - filled, got)) {
      return StreamResult::ReadFailed;
    }
    filled += got;
    bytesRead += got;
    ended = filled < buffer.size();
    if (filled == 0) {
      // No bytes at all: the window's one row with only "No." and "Address".
      if (!any && !lines.WriteRecords(0, 1, nullptr, 0)) return StreamResult::WriteFailed;
      break;
    }
    any = true;

    // Every record whose cells lie wholly in the buffer, or all that start in it at the end.
    std::uint64_t count;
    if (recordSize == 0) {
      count = 1;
    } else if (ended) {
      count = (filled + recordSize - 1) / recordSize;
    } else {
      count = filled >= span ? (filled - span) / recordSize + 1 : 0;
    }
    count = std::min(count, remaining);
    if (!lines.WriteRecords(first, count, buffer.data(), filled)) return StreamResult::WriteFailed;
    first += count;
    remaining -= count;
    written += count;
    if (request.progress) request.progress(written, bytesRead);
    if (ended || recordSize == 0) break;

    const std::uint64_t consumed = count * recordSize;
    if (consumed >= filled) {
      if (!SkipInput(in, consumed - filled)) return StreamResult::ReadFailed;
      bytesRead += consumed - filled;
      filled = 0;
    } else {
      std::memmove(buffer.data(), buffer.data() + consumed, filled - consumed);
      filled -= static_cast<std::size_t>(consumed);
    }
  }
  return StreamResult::Done;
}

bool SkipInput(std::FILE* in, std::uint64_t count) {
  if (count == 0) return true;
  if (InputSize(in)) {
#ifdef _WIN32
    if (_fseeki64(in, static_cast<__int64>(count), SEEK_CUR) == 0) return true;
#else
    if (count <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
        fseeko(in, static_cast<off_t>(count), SEEK_CUR) == 0) {
      return true;
    }
#endif
  }
  std::vector<std::uint8_t> discard(std::min<std::uint64_t>(count, 1 << 20));
  while (count > 0) {
    std::size_t got = 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, discard.size()));
    if (!ReadFully(in, discard.data(), want, got)) return false;
    if (got < want) return true;
    count -= got;
  }
  return true;
}

std::optional<std::uint64_t> InputSize(std::FILE* in) {
#ifdef _WIN32
  struct _stat64 info {};
  if (_fstat64(_fileno(in), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return std::nullopt;
#else
  struct stat info {};
  if (fstat(fileno(in), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
#endif
  if (info.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}
