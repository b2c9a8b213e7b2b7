// Writes the example struct.def and its data files into the folder named on the command line.
// Built with -fexec-charset=CP932, so the Japanese literals below are written as CP932 bytes.
// The content is fixed: running it again gives the same bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kStructDef =
    "struct アイテム表 {\r\n"
    "    uword   id;\r\n"
    "    string  name [16];\r\n"
    "    ubyte   rarity;\r\n"
    "    sbyte   level_bonus;\r\n"
    "    xbyte   flags;\r\n"
    "    void    reserved [3];\r\n"
    "    slong   price;\r\n"
    "    sword   weight_delta;\r\n"
    "    xword   category;\r\n"
    "    ubyte   stats [4];\r\n"
    "}\r\n"
    "\r\n"
    "struct DeviceLog {\r\n"
    "    dword   timestamp;\r\n"
    "    xlong   device_id;\r\n"
    "    word    sequence;\r\n"
    "    byte    channel;\r\n"
    "    sbyte   temperature_c;\r\n"
    "    sword   samples [4];\r\n"
    "    slong   offset_uv;\r\n"
    "    xword   status;\r\n"
    "    void    pad [2];\r\n"
    "}\r\n"
    "\r\n"
    "struct CustomerRecord {\r\n"
    "    ulong   customer_no;\r\n"
    "    string  name [20];\r\n"
    "    string  phone [14];\r\n"
    "    long    balance_yen;\r\n"
    "    uword   branch;\r\n"
    "    xbyte   flags;\r\n"
    "    void    filler [3];\r\n"
    "}\r\n";

// A fixed linear congruential sequence keeps the data the same on every machine.
class Sequence {
 public:
  std::uint32_t Next() {
    state_ = state_ * 1103515245u + 12345u;
    return state_ >> 8;
  }
  std::uint32_t Below(std::uint32_t limit) { return Next() % limit; }

 private:
  std::uint32_t state_ = 20240601u;
};

class Record {
 public:
  void U8(std::uint32_t value) { bytes_ += static_cast<char>(value & 0xFF); }
  void U16(std::uint32_t value) {
    U8(value);
    U8(value >> 8);
  }
  void U32(std::uint32_t value) {
    U16(value);
    U16(value >> 16);
  }
  void Text(std::string_view text, std::size_t size) {
    std::string field(text.substr(0, size));
    field.resize(size, '\0');
    bytes_ += field;
  }
  void Zeros(std::size_t size) { bytes_.append(size, '\0'); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

bool WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "make_examples: cannot write %s\n", path.c_str());
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) std::fprintf(stderr, "make_examples: failed writing %s\n", path.c_str());
  return written && closed;
}

std::string Items() {
  constexpr std::string_view names[] = {
      "ポーション",    "ハイポーション",   "鉄の剣",   "木の盾", "魔法の杖",    "Iron Helm",
      "Leather Boots", "エリクサー改良型", "Long Bow", "矢筒",   "Silver Ring", "竜の鱗"};
  Sequence random;
  Record record;
  for (std::uint32_t i = 0; i < 48; ++i) {
    record.U16(1000 + i);
    record.Text(names[i % std::size(names)], 16);
    record.U8(1 + random.Below(5));
    record.U8(static_cast<std::uint32_t>(static_cast<int>(random.Below(11)) - 5));
    record.U8(i % 7 == 0 ? 0x81 : 1u << (i % 4));
    record.Zeros(3);
    record.U32(i == 47 ? 0xFFFFFF9Cu : 50 + random.Below(20) * 125);  // last: a refund of -100
    record.U16(static_cast<std::uint32_t>(static_cast<int>(random.Below(2001)) - 1000));
    record.U16(0x0100u << (i % 3) | i);
    for (int s = 0; s < 4; ++s) record.U8(random.Below(256));
  }
  return record.Bytes();
}

// Ends with a partial record, as a log cut off mid-write would.
std::string DeviceLog() {
  Sequence random;
  Record record;
  std::uint32_t time = 1717200000;
  for (std::uint32_t i = 0; i < 151; ++i) {
    time += 30 + random.Below(30);
    record.U32(time);
    record.U32(0xD0C00000u | (i % 3));
    record.U16(i);
    record.U8(i % 3);
    record.U8(static_cast<std::uint32_t>(static_cast<int>(random.Below(60)) - 20));
    for (int s = 0; s < 4; ++s) {
      record.U16(static_cast<std::uint32_t>(static_cast<int>(random.Below(65536)) - 32768));
    }
    record.U32(static_cast<std::uint32_t>(static_cast<int>(random.Below(200001)) - 100000));
    record.U16(i % 25 == 24 ? 0x8001 : 0x0001);
    record.Zeros(2);
  }
  return record.Bytes().substr(0, 150 * 28 + 13);
}

std::string Customers() {
  constexpr std::string_view names[] = {"山田太郎", "佐藤花子",   "鈴木一郎",  "高橋美咲",
                                        "田中健太", "伊藤さくら", "渡辺 構造", "Smith, John"};
  Sequence random;
  Record record;
  for (std::uint32_t i = 0; i < 40; ++i) {
    record.U32(100001 + i * 7);
    record.Text(names[i % std::size(names)], 20);
    char phone[16];
    std::snprintf(phone, sizeof phone, "03-%04u-%04u", 1000 + random.Below(9000),
                  random.Below(10000));
    record.Text(phone, 14);
    record.U32(i == 0 ? 4294967295u : random.Below(5000000));
    record.U16(10 + i % 4);
    record.U8(i % 5 == 0 ? 0x80 : 0x01);
    record.Zeros(3);
  }
  return record.Bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_examples <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = WriteFile(folder + "/struct.def", kStructDef) &&
                  WriteFile(folder + "/items.bin", Items()) &&
                  WriteFile(folder + "/device_log.bin", DeviceLog()) &&
                  WriteFile(folder + "/customers.bin", Customers());
  return ok ? 0 : 1;
}
