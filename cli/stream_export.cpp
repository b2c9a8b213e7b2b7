#include "cli/stream_export.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "structdef/regular_file.h"

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

// Moves on by up to `count` bytes by reading `step` at a time; the bytes passed, fewer at the
// end of the data.
bool Pass(std::FILE* in, std::uint64_t count, std::size_t step, std::uint64_t& passed) {
  std::vector<std::uint8_t> discard(
      static_cast<std::size_t>(std::min<std::uint64_t>(count, std::max<std::size_t>(step, 1))));
  passed = 0;
  while (passed < count) {
    std::size_t got = 0;
    const auto want =
        static_cast<std::size_t>(std::min<std::uint64_t>(count - passed, discard.size()));
    if (!ReadFully(in, discard.data(), want, got)) return false;
    passed += got;
    if (got < want) break;
  }
  return true;
}

// The member columns in the order of their fields, when those never overlap: then a record
// can be read through once, keeping only what its cells read.
std::optional<std::vector<int>> FieldOrder(const RowFormat& format) {
  std::vector<int> order;
  for (int j = 0; j < format.ColumnCount(); ++j) {
    if (format.FieldReadBytes(j) > 0) order.push_back(j);
  }
  std::sort(order.begin(), order.end(),
            [&format](int a, int b) { return format.FieldOffset(a) < format.FieldOffset(b); });
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (format.FieldOffset(order[k]) < 0) return std::nullopt;
    if (k > 0 && format.FieldOffset(order[k]) <
                     format.FieldOffset(order[k - 1]) +
                         static_cast<std::int64_t>(format.FieldReadBytes(order[k - 1]))) {
      return std::nullopt;
    }
  }
  return order;
}

// Records larger than a chunk: each is read through once and only the bytes its cells read
// are kept, at most a cell's text per column, whatever the record's size.
StreamResult StreamLargeRecords(std::FILE* in, const RowFormat& format, CsvLines& lines,
                                const std::vector<int>& order, std::uint64_t first,
                                std::uint64_t remaining, const StreamRequest& request) {
  std::vector<std::uint8_t> kept;
  std::vector<std::size_t> at(static_cast<std::size_t>(format.ColumnCount()), 0);
  for (int j : order) {
    at[static_cast<std::size_t>(j)] = kept.size();
    kept.resize(kept.size() + format.FieldReadBytes(j));
  }
  std::vector<const std::uint8_t*> fields(at.size(), nullptr);
  for (int j : order)
    fields[static_cast<std::size_t>(j)] = kept.data() + at[static_cast<std::size_t>(j)];

  const std::uint64_t recordSize = format.RecordSize();
  std::uint64_t bytesRead = 0;
  for (std::uint64_t written = 0; written < remaining; ++written) {
    std::uint64_t position = 0;
    bool ended = false;
    for (int j : order) {
      std::uint64_t passed = 0;
      const auto offset = static_cast<std::uint64_t>(format.FieldOffset(j));
      if (!Pass(in, offset - position, request.skipBytes, passed)) {
        return StreamResult::ReadFailed;
      }
      position += passed;
      if (position < offset) {
        ended = true;
        break;
      }
      std::size_t got = 0;
      if (!ReadFully(in, kept.data() + at[static_cast<std::size_t>(j)], format.FieldReadBytes(j),
                     got)) {
        return StreamResult::ReadFailed;
      }
      position += got;
      if (got < format.FieldReadBytes(j)) {
        ended = true;
        break;
      }
    }
    std::uint64_t passed = 0;
    if (!ended && !Pass(in, recordSize - position, request.skipBytes, passed)) {
      return StreamResult::ReadFailed;
    }
    position += passed;
    bytesRead += position;
    if (position == 0 && (written > 0 || first > 0)) break;
    if (!lines.WriteGatheredRecord(first + written, fields, position)) {
      return StreamResult::WriteFailed;
    }
    if (request.progress) request.progress(written + 1, bytesRead);
    if (position < recordSize) break;
  }
  return StreamResult::Done;
}

}  // namespace

StreamResult StreamCsv(std::FILE* in, const RowFormat& format, CsvLines& lines,
                       const StreamRequest& request) {
  constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t remaining = request.recordCount.value_or(kAll);
  const std::uint64_t recordSize = format.RecordSize();
  const std::uint64_t span = format.Span();

  // Records of size 0 all start at position 0: there is the one row only.
  std::uint64_t first = request.firstRecord;
  if (recordSize == 0) {
    if (first > 0) return StreamResult::Done;
    remaining = std::min<std::uint64_t>(remaining, 1);
  } else if (first > 0) {
    if (first > kAll / recordSize || !SkipInput(in, first * recordSize, request.skipBytes)) {
      return first > kAll / recordSize ? StreamResult::Done : StreamResult::ReadFailed;
    }
  }

  if (recordSize > 0 && span > request.chunkBytes && span <= recordSize) {
    if (auto order = FieldOrder(format)) {
      return StreamLargeRecords(in, format, lines, *order, first, remaining, request);
    }
  }

  std::vector<std::uint8_t> buffer(
      std::max<std::uint64_t>(request.chunkBytes, std::max<std::uint64_t>(span, 1)));
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
    // Past the end: no more rows, unless the data has no bytes at all (the window's one row).
    if (filled == 0 && any) break;
    any = true;

    // Every record whose cells lie wholly in the buffer, or all that start in it at the end.
    std::uint64_t count;
    if (ended || recordSize == 0) {
      count = RowsInData(filled, format.RecordSize());
    } else {
      // A record is there only once a byte of it is: with no cells (span 0), one that would
      // start just past the buffer may not exist.
      const std::uint64_t needed = std::max<std::uint64_t>(span, 1);
      count = filled >= needed ? (filled - needed) / recordSize + 1 : 0;
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
      if (!SkipInput(in, consumed - filled, request.skipBytes)) return StreamResult::ReadFailed;
      bytesRead += consumed - filled;
      filled = 0;
    } else {
      std::memmove(buffer.data(), buffer.data() + consumed, filled - consumed);
      filled -= static_cast<std::size_t>(consumed);
    }
  }
  return StreamResult::Done;
}

bool SkipInput(std::FILE* in, std::uint64_t count, std::size_t skipBytes) {
  std::uint64_t passed = 0;
  return count == 0 || SeekForward(in, count) || Pass(in, count, skipBytes, passed);
}

StreamResult WriteStreamedCsv(std::FILE* in, const RowFormat& format, const ColumnList& columns,
                              const std::vector<std::int32_t>& selection, ByteSink& sink,
                              const TextConverter* converter, bool byteOrderMark,
                              const StreamRequest& request) {
  CsvLines lines(format, columns, selection, sink, converter, request.bufferBytes);
  // A later slice of a split file starts with its first record, so that the slices join.
  if (request.firstRecord == 0) {
    if (byteOrderMark && !sink.Write("\xEF\xBB\xBF", 3)) return StreamResult::WriteFailed;
    if (!lines.WriteHeader()) return StreamResult::WriteFailed;
  }
  const StreamResult result = StreamCsv(in, format, lines, request);
  if (result != StreamResult::Done) return result;
  return lines.Flush() ? StreamResult::Done : StreamResult::WriteFailed;
}
