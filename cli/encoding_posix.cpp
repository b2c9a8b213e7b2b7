#include "cli/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// One converter per direction for the whole run: opening one costs more than a cell.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (Ok()) iconv_close(handle_);
  }
  bool Ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // False at the first byte that cannot be converted; `text` then starts at it.
  bool Run(std::string_view& text, std::string& out) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char chunk[1024];
    bool ok = true;
    while (inLeft > 0) {
      char* next = chunk;
      std::size_t outLeft = sizeof chunk;
      const std::size_t result = iconv(handle_, &in, &inLeft, &next, &outLeft);
      out.append(chunk, static_cast<std::size_t>(next - chunk));
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
        ok = false;
        break;
      }
    }
    text.remove_prefix(text.size() - inLeft);
    return ok;
  }

 private:
  iconv_t handle_;
};

Converter& FromCp932() {
  static Converter converter("UTF-8", "CP932");
  return converter;
}

Converter& ToCp932() {
  static Converter converter("CP932", "UTF-8");
  return converter;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3 / 2);
  Converter& converter = FromCp932();
  if (!converter.Ok()) return std::string(text);
  while (!converter.Run(text, out)) {
    out += kReplacement;
    text.remove_prefix(1);
  }
  return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
  std::string out;
  Converter& converter = ToCp932();
  if (!converter.Ok() || !converter.Run(text, out)) return std::nullopt;
  return out;
}
