#include "export/csv_writer.h"

#include <algorithm>
#include <cstring>

namespace {

// The most one piece of a row can take: a field (a converted cell with every byte a doubled
// quote, its two quotes and the comma before it) and the line end after it. The buffer holds
// this much past its size, and drains once the size is reached before any field and before
// the line end of a row of no field, so that nothing a row writes goes unchecked.
constexpr std::size_t kPieceRoom = 2 * TextConverter::kCellRoom + 3 + 2;

bool NeedsQuotes(std::string_view text) {
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

// Quoted only where a reader would otherwise split or misread the field; inner quotes doubled.
// Formatted numbers never need it, but an edited cell shows its text as typed until the next
// refresh, and "1,5" typed into a number column must not split the line.
char* WriteField(char* out, std::string_view text) {
  if (!NeedsQuotes(text)) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
  }
  *out++ = '"';
  for (char c : text) {
    if (c == '"') *out++ = '"';
    *out++ = c;
  }
  *out++ = '"';
  return out;
}

}  // namespace

CsvLines::CsvLines(const RowFormat& format, const ColumnList& columns,
                   const std::vector<std::int32_t>& selection, ByteSink& sink,
                   const TextConverter* converter, std::size_t bufferBytes)
    : format_(format),
      columns_(columns),
      sink_(sink),
      converter_(converter),
      buffer_(std::max<std::size_t>(bufferBytes, 1) + kPieceRoom),
      limit_(std::max<std::size_t>(bufferBytes, 1)) {
  for (std::int32_t index : selection) {
    if (index < 0 || static_cast<std::size_t>(index) >= columns.size()) continue;
    chosen_.push_back(index);
    isText_.push_back(format.IsText(index) ? 1 : 0);
  }
}

bool CsvLines::Drain(char* out) {
  used_ = static_cast<std::size_t>(out - buffer_.data());
  if (used_ > 0 && !failed_ && !sink_.Write(buffer_.data(), used_)) failed_ = true;
  used_ = 0;
  return !failed_;
}

bool CsvLines::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ >= limit_ && !Drain(buffer_.data() + used_)) return false;
    const std::size_t part = std::min(bytes.size(), limit_ - used_);
    std::memcpy(buffer_.data() + used_, bytes.data(), part);
    used_ += part;
    bytes.remove_prefix(part);
  }
  return !failed_;
}

bool CsvLines::WriteHeader() {
  // Labels have no length limit: built apart from the buffer, once.
  std::string line;
  for (std::size_t k = 0; k < chosen_.size(); ++k) {
    if (k > 0) line += ',';
    std::string label = columns_[static_cast<std::size_t>(chosen_[k])].label;
    if (converter_) label = converter_->Convert(label);
    std::string field(2 * label.size() + 2, '\0');
    field.resize(static_cast<std::size_t>(WriteField(field.data(), label) - field.data()));
    line += field;
  }
  line += "\r\n";
  return Append(line);
}

char* CsvLines::AppendText(char* out, std::string_view text) {
  if (!converter_) return WriteField(out, text);
  char converted[TextConverter::kCellRoom];
  const char* end = converter_->ConvertCell(text, converted);
  return WriteField(out, std::string_view(converted, static_cast<std::size_t>(end - converted)));
}

bool CsvLines::WriteRecords(std::uint64_t first, std::uint64_t count, const std::uint8_t* bytes,
                            std::uint64_t available, const RecordTable* table) {
  return WriteRows<false>(first, count, bytes, available, table, nullptr);
}

bool CsvLines::WriteGatheredRecord(std::uint64_t index,
                                   const std::vector<const std::uint8_t*>& fields,
                                   std::uint64_t available) {
  return WriteRows<true>(index, 1, nullptr, available, nullptr, &fields);
}

// A cell from the whole record at `record` or, gathered, from its own field's bytes.
template <bool kGathered>
char* CsvLines::WriteCellOf(char* out, std::uint64_t index, const std::uint8_t* record,
                            std::uint64_t rest, const std::vector<const std::uint8_t*>* fields,
                            std::uint64_t available, int column) const {
  if (kGathered && format_.Kind(column) == ColumnKind::Member) {
    return format_.WriteMemberCell(out, (*fields)[static_cast<std::size_t>(column)], available,
                                   column);
  }
  return format_.WriteCell(out, index, record, rest, column);
}

template <bool kGathered>
bool CsvLines::WriteRows(std::uint64_t first, std::uint64_t count, const std::uint8_t* bytes,
                         std::uint64_t available, const RecordTable* table,
                         const std::vector<const std::uint8_t*>* fields) {
  if (failed_) return false;
  if (table != nullptr && !table->HasEditedText()) table = nullptr;
  const std::uint64_t recordSize = format_.RecordSize();
  const std::size_t columnCount = chosen_.size();
  char* out = buffer_.data() + used_;
  char* const limit = buffer_.data() + limit_;
  char cell[kCellTextLimit];
  for (std::uint64_t r = 0; r < count; ++r) {
    const std::uint64_t start = r * recordSize;
    const bool inside = bytes != nullptr && start < available;
    const std::uint8_t* record = inside ? bytes + start : nullptr;
    const std::uint64_t rest = inside ? available - start : 0;
    const std::uint64_t index = first + r;
    for (std::size_t k = 0; k < columnCount; ++k) {
      if (out >= limit) {
        if (!Drain(out)) return false;
        out = buffer_.data();
      }
      if (k > 0) *out++ = ',';
      const int column = chosen_[k];
      const std::string* edit =
          table && column < format_.ColumnCount()
              ? table->FindEditedText(static_cast<std::uint32_t>(index), column)
              : nullptr;
      if (edit != nullptr) {
        out = AppendText(out, std::string_view(*edit).substr(0, kCellTextLimit));
        continue;
      }
      if (isText_[k]) {
        const char* end =
            WriteCellOf<kGathered>(cell, index, record, rest, fields, available, column);
        out = AppendText(out, std::string_view(cell, static_cast<std::size_t>(end - cell)));
      } else {
        out = WriteCellOf<kGathered>(out, index, record, rest, fields, available, column);
      }
    }
    // The last field's check left room for the line end; a row of no field checks here.
    if (columnCount == 0 && out >= limit) {
      if (!Drain(out)) return false;
      out = buffer_.data();
    }
    *out++ = '\r';
    *out++ = '\n';
  }
  used_ = static_cast<std::size_t>(out - buffer_.data());
  return true;
}

bool CsvLines::Flush() { return Drain(buffer_.data() + used_); }

bool WriteCsvTo(ByteSink& sink, const RecordTable& table, const ColumnList& columns,
                const std::vector<std::int32_t>& selection, std::size_t bufferBytes) {
  CsvLines lines(table.Format(), columns, selection, sink, nullptr, bufferBytes);
  // Rows are streamed through the buffer: the file can be far larger than the data.
  return lines.WriteHeader() &&
         lines.WriteRecords(0, table.RowCount(), table.Bytes(), table.ByteCount(), &table) &&
         lines.Flush();
}

bool WriteCsv(const std::string& path, const RecordTable& table, const ColumnList& columns,
              const std::vector<std::int32_t>& selection, std::size_t bufferBytes) {
  SafeFileWriter file;
  if (!file.Open(path)) return false;
  SafeFileSink sink(file);
  return WriteCsvTo(sink, table, columns, selection, bufferBytes) && file.Commit();
}
