#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "export/csv_writer.h"
#include "records/record_table.h"

inline constexpr std::size_t kDefaultChunkBytes = std::size_t{16} << 20;
inline constexpr std::size_t kDefaultSkipBytes = std::size_t{64} << 10;

struct StreamRequest {
  std::uint64_t firstRecord = 0;
  std::optional<std::uint64_t> recordCount;  // none: to the end of the data
  // Bytes read at a time; more only when one record's cells need more (Span of the format).
  std::size_t chunkBytes = kDefaultChunkBytes;
  // Bytes read at a time where input that cannot seek is passed over.
  std::size_t skipBytes = kDefaultSkipBytes;
  // The CSV lines' buffer (WriteStreamedCsv).
  std::size_t bufferBytes = kCsvBufferBytes;
  // Called after every chunk with the records written and the data bytes read so far.
  std::function<void(std::uint64_t records, std::uint64_t bytes)> progress;
};

enum class StreamResult { Done, ReadFailed, WriteFailed };

// Reads the data from `in` chunk by chunk and writes the line of each record of the request
// through `lines`, the same lines the window would show for the whole file: a partial last
// record shows what lies inside the data, and data with no bytes (or records of size 0) has
// its one row. The header is the caller's. Memory stays at one chunk whatever the data's size.
StreamResult StreamCsv(std::FILE* in, const RowFormat& format, CsvLines& lines,
                       const StreamRequest& request);

// The whole CSV of velmora-csv: where the request starts at record 0, a UTF-8 byte-order mark
// when asked and the header line; then the lines of the request's records, flushed to `sink`.
// `converter` (none: code page 932) turns labels and String cells into the output's encoding.
StreamResult WriteStreamedCsv(std::FILE* in, const RowFormat& format, const ColumnList& columns,
                              const std::vector<std::int32_t>& selection, ByteSink& sink,
                              const TextConverter* converter, bool byteOrderMark,
                              const StreamRequest& request);

// Moves `in` forward by `count` bytes, by seeking where it can and by reading `skipBytes` at a
// time elsewhere; false on a read error (the end of the data is not one).
bool SkipInput(std::FILE* in, std::uint64_t count, std::size_t skipBytes = kDefaultSkipBytes);
