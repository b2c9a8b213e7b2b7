// Times the real program under Wine (or Windows) from outside, as a user would wait for it:
//   read: from the read button to the first screen of rows drawn;
//   CSV:  from OK in the export dialog to the written file (the success text on the status line),
//         and how much of that the dialog took to close.
// Usage: velmora_win_bench <path of velmora.exe>
// Writes struct.def and data files of 10,000, 1,000,000 and 4,194,304 records of a 16-byte,
// 8-column structure into a temporary folder, starts the program there and prints a table.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPathFieldId = 151;
constexpr int kReadButtonId = 152;
constexpr int kRecordListId = 154;
constexpr int kStatusLineId = 156;
constexpr int kCsvExportCommand = 111;
constexpr int kExportPathId = 141;
constexpr UINT kWaitMillis = 120000;

constexpr char kStructDef[] =
    "struct Sample {\r\n"
    "  ulong serial;\r\n  slong delta;\r\n  uword count;\r\n  xword flags;\r\n"
    "  ubyte kind;\r\n  sbyte bias;\r\n  xbyte mask;\r\n  ubyte spare;\r\n"
    "}\r\n";
constexpr std::uint32_t kRecordSize = 16;
constexpr std::array<std::uint32_t, 3> kRecordCounts{10'000, 1'000'000, 4'194'304};

double NowMillis() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) c = (c == '/') ? '\\' : c;
    path = "Z:" + path;
  }
  return path;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

std::string SampleData(std::uint32_t records) {
  std::string bytes(static_cast<std::size_t>(records) * kRecordSize, '\0');
  std::uint32_t seed = 12345;
  for (char& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// Text of a control of the other process; waits while the program is busy.
std::string ControlText(HWND control) {
  std::array<char, 1024> buffer{};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_NORMAL, kWaitMillis, &length)) {
    return {};
  }
  return std::string(buffer.data(), length);
}

void SetControlText(HWND control, const std::string& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                      kWaitMillis, &ignored);
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(hwnd, &processId);
  std::array<char, 64> className{};
  GetClassNameA(hwnd, className.data(), static_cast<int>(className.size()));
  if (processId == search.processId && IsWindowVisible(hwnd) &&
      std::string(className.data()) == search.className) {
    search.found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(DWORD processId, const char* className) {
  const double deadline = NowMillis() + kWaitMillis;
  while (NowMillis() < deadline) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(5);
  }
  return nullptr;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct Timing {
  double readMillis = 0;
  double paintMillis = 0;
  double csvMillis = 0;
  double dialogCloseMillis = 0;
  long long csvBytes = 0;
  bool ok = false;
};

Timing Measure(HWND mainWindow, DWORD processId, const std::string& folder, std::uint32_t records) {
  Timing timing;
  const std::string dataPath = folder + "\\data" + std::to_string(records) + ".bin";
  const std::string csvPath = folder + "\\data" + std::to_string(records) + ".csv";
  const HWND list = GetDlgItem(mainWindow, kRecordListId);
  const HWND status = GetDlgItem(mainWindow, kStatusLineId);
  SetControlText(GetDlgItem(mainWindow, kPathFieldId), dataPath);

  // The click returns when the read command has loaded the file and set the row count; the
  // repaint then asks the table for every visible cell.
  double start = NowMillis();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(mainWindow, kReadButtonId), BM_CLICK, 0, 0, SMTO_NORMAL,
                      kWaitMillis, &ignored);
  const double loaded = NowMillis();
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double painted = NowMillis();
  timing.readMillis = painted - start;
  timing.paintMillis = painted - loaded;
  const auto rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  if (rows != static_cast<LRESULT>(records) || !EndsWith(ControlText(status), "を読み込みました")) {
    std::fprintf(stderr, "read of %u records failed: %ld rows\n", records, static_cast<long>(rows));
    return timing;
  }

  DeleteFileA(csvPath.c_str());
  PostMessageA(mainWindow, WM_COMMAND, kCsvExportCommand, 0);
  const HWND dialog = WaitForWindow(processId, "#32770");
  if (dialog == nullptr) {
    std::fprintf(stderr, "the export dialog did not open\n");
    return timing;
  }
  SetControlText(GetDlgItem(dialog, kExportPathId), csvPath);
  start = NowMillis();
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  // Under Xvfb without a window manager Wine takes a while to hide a closing dialog; that part
  // is shown on its own.
  while (IsWindow(dialog) && NowMillis() < start + kWaitMillis) Sleep(1);
  timing.dialogCloseMillis = NowMillis() - start;
  const double deadline = start + kWaitMillis;
  while (!EndsWith(ControlText(status), "をエクスポートしました。")) {
    if (NowMillis() > deadline) {
      std::fprintf(stderr, "CSV export of %u records did not finish\n", records);
      return timing;
    }
    Sleep(1);
  }
  timing.csvMillis = NowMillis() - start;
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (GetFileAttributesExA(csvPath.c_str(), GetFileExInfoStandard, &attributes)) {
    timing.csvBytes = (static_cast<long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
  }
  DeleteFileA(csvPath.c_str());
  timing.ok = timing.csvBytes > 0;
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora_win_bench <path of velmora.exe>\n");
    return 2;
  }
  std::string exePath = WindowsPath(argv[1]);

  std::array<char, MAX_PATH> temp{};
  GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
  const std::string folder = std::string(temp.data()) + "velmora-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  bool written = WriteFile(folder + "\\struct.def", kStructDef);
  for (std::uint32_t records : kRecordCounts) {
    written = written && WriteFile(folder + "\\data" + std::to_string(records) + ".bin", SampleData(records));
  }
  if (!written) {
    std::fprintf(stderr, "cannot write the sample files into %s\n", folder.c_str());
    return 1;
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + exePath + "\"";
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", exePath.c_str(), GetLastError());
    return 1;
  }
  WaitForInputIdle(process.hProcess, kWaitMillis);
  const HWND mainWindow = WaitForWindow(process.dwProcessId, "VELMORA");
  int exitCode = 0;
  if (mainWindow == nullptr) {
    std::fprintf(stderr, "the main window did not show\n");
    exitCode = 1;
  } else {
    std::printf("%10s %10s %15s %10s %20s %12s\n", "records", "read ms", "(of which paint)",
                "CSV ms", "(of which dialog close)", "CSV bytes");
    for (std::uint32_t records : kRecordCounts) {
      const Timing t = Measure(mainWindow, process.dwProcessId, folder, records);
      if (!t.ok) {
        exitCode = 1;
        break;
      }
      std::printf("%10u %10.1f %15.1f %10.1f %20.1f %12lld\n", records, t.readMillis, t.paintMillis,
                  t.csvMillis, t.dialogCloseMillis, t.csvBytes);
      std::fflush(stdout);
    }
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (std::uint32_t records : kRecordCounts) DeleteFileA((folder + "\\data" + std::to_string(records) + ".bin").c_str());
  DeleteFileA((folder + "\\struct.def").c_str());
  RemoveDirectoryA(folder.c_str());
  return exitCode;
}
