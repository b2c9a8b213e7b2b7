#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What the record list control does for the program. The Windows list is an owner-data list
// view that asks the RecordTable for each visible cell; tests use an in-memory stand-in.
class RecordListView {
 public:
  class RedrawPause;

  virtual ~RecordListView() = default;

  // LVM_DELETEALLITEMS; false when the list refuses.
  virtual bool DeleteAllItems() = 0;
  virtual void DeleteColumn(int index) = 0;
  virtual void InsertColumn(int index, std::string_view label, int width) = 0;
  // Pixel width of the text in the list's default device-context font; nullopt on failure.
  virtual std::optional<int> MeasureTextWidth(std::string_view text) = 0;
  // A pixel length of the 96-DPI design in the screen's pixels (measured widths already are).
  virtual int ScaledPixels(int pixels) = 0;
  // The table was refreshed: show `rowCount` rows and redraw them all.
  virtual void ShowRows(std::uint32_t rowCount) = 0;
  // One cell's text changed (an edit); false when the list refuses it.
  virtual bool UpdateCell(std::uint32_t row, int column) = 0;

  // A visible list redraws itself after every column change, which makes a rebuild of
  // thousands of columns take minutes: while the returned pause lives the list does not
  // redraw, and it redraws once when the pause ends, however the rebuild ends. Not nested.
  [[nodiscard]] RedrawPause PauseRedraw();

  // Through RedrawPause only.
  virtual void SuspendRedraw() = 0;
  virtual void ResumeRedraw() = 0;
};

class RecordListView::RedrawPause {
 public:
  explicit RedrawPause(RecordListView& list) : list_(list) { list_.SuspendRedraw(); }
  RedrawPause(const RedrawPause&) = delete;
  RedrawPause& operator=(const RedrawPause&) = delete;
  ~RedrawPause() { list_.ResumeRedraw(); }

 private:
  RecordListView& list_;
};

inline RecordListView::RedrawPause RecordListView::PauseRedraw() { return RedrawPause(*this); }
