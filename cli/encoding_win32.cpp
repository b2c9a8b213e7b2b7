#include "cli/encoding.h"

#include <windows.h>

namespace {

constexpr UINT kCp932 = 932;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

std::string WideToUtf8(const wchar_t* text, int count) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, count, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view text) {
  // Character by character: converting a whole text with MB_ERR_INVALID_CHARS fails whole, and
  // without it the system puts its own default character in place of a bad byte.
  std::string out;
  out.reserve(text.size() * 3 / 2);
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = IsDBCSLeadByteEx(kCp932, lead) && i + 1 < text.size() ? 2 : 1;
    wchar_t wide[2];
    const int count =
        MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, text.data() + i, length, wide, 2);
    if (count > 0) {
      out += WideToUtf8(wide, count);
      i += static_cast<std::size_t>(length);
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
  if (text.empty()) return std::string();
  const int wideSize = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
  if (wideSize <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      wideSize);
  BOOL lost = FALSE;
  const int size = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr,
                                       0, nullptr, &lost);
  if (size <= 0 || lost) return std::nullopt;
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, out.data(), size,
                      nullptr, nullptr);
  return out;
}
