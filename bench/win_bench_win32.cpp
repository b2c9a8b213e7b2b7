// Times the real program under Wine (or Windows) from outside, as a user would wait for it:
//   read: from the read button to the first screen of rows drawn;
//   CSV:  from OK in the export dialog to the written file (the success text on the status line),
//         and how much of that the dialog took to close.
// Usage: velmora_win_bench <path of velmora.exe> [records|wide]
// records: data files of 10,000, 1,000,000 and 4,194,304 records of a 16-byte, 8-column structure.
// wide: structures of 4,096 and 65,534 one-byte columns: start, switch to a one-column structure
//       and back, export dialog open, resize, read and CSV export of 4 MiB, each until drawn.
// Both by default; the files go into a temporary folder where the program is started.
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
constexpr int kExportColumnsId = 143;
constexpr int kSelectorId = 150;
// Long enough for the slowest step measured so far (a wide structure switch took minutes).
constexpr UINT kWaitMillis = 900000;

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

std::string SampleData(std::size_t size) {
  std::string bytes(size, '\0');
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
  if (!SendMessageTimeoutA(control, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL, kWaitMillis,
                           &length)) {
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
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
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
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
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
    timing.csvBytes =
        (static_cast<long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
  }
  DeleteFileA(csvPath.c_str());
  timing.ok = timing.csvBytes > 0;
  return timing;
}

// Sends a message and waits until it is handled; the answer is not looked at (a zero answer
// looks like a failure).
void SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kWaitMillis, &ignored);
}

void DrawNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int HeaderCount(HWND list) {
  DWORD_PTR header = 0;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(list, LVM_GETHEADER, 0, 0, SMTO_NORMAL, kWaitMillis, &header) ||
      !SendMessageTimeoutA(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, SMTO_NORMAL,
                           kWaitMillis, &count)) {
    return -1;
  }
  return static_cast<int>(count);
}

struct Program {
  PROCESS_INFORMATION process{};
  HWND mainWindow = nullptr;
};

// Starts the program in `folder` and waits until its main window shows and answers.
bool StartProgram(const std::string& exePath, const std::string& folder, Program& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  std::string commandLine = "\"" + exePath + "\"";
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &program.process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", exePath.c_str(), GetLastError());
    return false;
  }
  WaitForInputIdle(program.process.hProcess, kWaitMillis);
  program.mainWindow = WaitForWindow(program.process.dwProcessId, "VELMORA");
  if (program.mainWindow == nullptr) std::fprintf(stderr, "the main window did not show\n");
  SendAndWait(program.mainWindow, WM_NULL, 0, 0);
  return program.mainWindow != nullptr;
}

void EndProgram(Program& program) {
  if (program.process.hProcess == nullptr) return;
  if (program.mainWindow != nullptr) PostMessageA(program.mainWindow, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(program.process.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(program.process.hProcess, 1);
  }
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
}

bool RunRecordsBench(const std::string& exePath, const std::string& folder) {
  bool written = WriteFile(folder + "\\struct.def", kStructDef);
  for (std::uint32_t records : kRecordCounts) {
    written = written && WriteFile(folder + "\\data" + std::to_string(records) + ".bin",
                                   SampleData(std::size_t{records} * kRecordSize));
  }
  if (!written) {
    std::fprintf(stderr, "cannot write the sample files into %s\n", folder.c_str());
    return false;
  }
  Program program;
  bool ok = StartProgram(exePath, folder, program);
  if (ok) {
    std::printf("%10s %10s %15s %10s %20s %12s\n", "records", "read ms", "(of which paint)",
                "CSV ms", "(of which dialog close)", "CSV bytes");
    for (std::uint32_t records : kRecordCounts) {
      const Timing t = Measure(program.mainWindow, program.process.dwProcessId, folder, records);
      if (!t.ok) {
        ok = false;
        break;
      }
      std::printf("%10u %10.1f %15.1f %10.1f %20.1f %12lld\n", records, t.readMillis, t.paintMillis,
                  t.csvMillis, t.dialogCloseMillis, t.csvBytes);
      std::fflush(stdout);
    }
  }
  EndProgram(program);
  for (std::uint32_t records : kRecordCounts) {
    DeleteFileA((folder + "\\data" + std::to_string(records) + ".bin").c_str());
  }
  DeleteFileA((folder + "\\struct.def").c_str());
  return ok;
}

// Structures of one-byte array members, as declared for blobs; the first is shown at start.
constexpr std::array<int, 2> kWideColumnCounts{4096, 65534};
constexpr std::size_t kWideDataBytes = 4u << 20;

struct WideTiming {
  double start = 0;
  double away = 0;
  double back = 0;
  double dialog = 0;
  double resize = 0;
  Timing data;
};

// Picks structure `index` as the selector's drop-down would and waits until it is drawn with
// `columns` columns.
bool SwitchStructure(HWND mainWindow, int index, int columns, double& millis) {
  const HWND selector = GetDlgItem(mainWindow, kSelectorId);
  const double start = NowMillis();
  SendAndWait(selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendAndWait(mainWindow, WM_COMMAND, MAKEWPARAM(kSelectorId, CBN_SELCHANGE),
              reinterpret_cast<LPARAM>(selector));
  const HWND list = GetDlgItem(mainWindow, kRecordListId);
  DrawNow(list);
  millis = NowMillis() - start;
  if (HeaderCount(list) == columns) return true;
  std::fprintf(stderr, "structure %d shows %d columns, not %d\n", index, HeaderCount(list),
               columns);
  return false;
}

// From the menu command to the dialog drawn with every column listed; then cancelled.
bool OpenExportDialog(HWND mainWindow, DWORD processId, int columns, double& millis) {
  const double start = NowMillis();
  PostMessageA(mainWindow, WM_COMMAND, kCsvExportCommand, 0);
  const HWND dialog = WaitForWindow(processId, "#32770");
  if (dialog == nullptr) {
    std::fprintf(stderr, "the export dialog did not open\n");
    return false;
  }
  DrawNow(dialog);
  millis = NowMillis() - start;
  DWORD_PTR listed = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, kExportColumnsId), LB_GETCOUNT, 0, 0, SMTO_NORMAL,
                      kWaitMillis, &listed);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  while (IsWindow(dialog) && NowMillis() < start + kWaitMillis) Sleep(1);
  SendAndWait(mainWindow, WM_NULL, 0, 0);
  if (static_cast<int>(listed) == columns) return true;
  std::fprintf(stderr, "the export dialog lists %d columns, not %d\n", static_cast<int>(listed),
               columns);
  return false;
}

double ResizeMillis(HWND mainWindow) {
  RECT rect{};
  GetWindowRect(mainWindow, &rect);
  const double start = NowMillis();
  SetWindowPos(mainWindow, nullptr, 0, 0, rect.right - rect.left - 100, rect.bottom - rect.top - 50,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendAndWait(mainWindow, WM_NULL, 0, 0);
  DrawNow(mainWindow);
  return NowMillis() - start;
}

bool MeasureWide(const std::string& exePath, const std::string& folder, int columns,
                 WideTiming& timing) {
  const std::uint32_t records =
      static_cast<std::uint32_t>(kWideDataBytes / static_cast<std::size_t>(columns));
  const std::string definition = "struct Wide {\r\n  ubyte payload [" + std::to_string(columns) +
                                 "];\r\n}\r\nstruct Narrow {\r\n  ubyte one;\r\n}\r\n";
  const std::string dataPath = folder + "\\data" + std::to_string(records) + ".bin";
  if (!WriteFile(folder + "\\struct.def", definition) ||
      !WriteFile(dataPath, SampleData(std::size_t{records} * static_cast<std::size_t>(columns)))) {
    std::fprintf(stderr, "cannot write the sample files into %s\n", folder.c_str());
    return false;
  }
  const int listed = columns + 2;  // "No." and "Address" first
  Program program;
  double start = NowMillis();
  bool ok = StartProgram(exePath, folder, program);
  if (ok) {
    DrawNow(program.mainWindow);
    timing.start = NowMillis() - start;
    const HWND list = GetDlgItem(program.mainWindow, kRecordListId);
    ok = HeaderCount(list) == listed;
    if (!ok)
      std::fprintf(stderr, "the start shows %d columns, not %d\n", HeaderCount(list), listed);
  }
  ok = ok && SwitchStructure(program.mainWindow, 1, 3, timing.away) &&
       SwitchStructure(program.mainWindow, 0, listed, timing.back) &&
       OpenExportDialog(program.mainWindow, program.process.dwProcessId, listed, timing.dialog);
  if (ok) {
    timing.resize = ResizeMillis(program.mainWindow);
    timing.data = Measure(program.mainWindow, program.process.dwProcessId, folder, records);
    ok = timing.data.ok;
  }
  EndProgram(program);
  DeleteFileA(dataPath.c_str());
  DeleteFileA((folder + "\\struct.def").c_str());
  return ok;
}

bool RunWideBench(const std::string& exePath, const std::string& folder) {
  std::printf("%8s %9s %9s %9s %10s %9s %9s %9s %11s\n", "columns", "start ms", "away ms",
              "back ms", "export dlg", "resize ms", "read ms", "CSV ms", "CSV bytes");
  for (int columns : kWideColumnCounts) {
    WideTiming t;
    if (!MeasureWide(exePath, folder, columns, t)) return false;
    std::printf("%8d %9.1f %9.1f %9.1f %10.1f %9.1f %9.1f %9.1f %11lld\n", columns, t.start, t.away,
                t.back, t.dialog, t.resize, t.data.readMillis, t.data.csvMillis, t.data.csvBytes);
    std::fflush(stdout);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string part = argc == 3 ? argv[2] : "";
  if (argc < 2 || argc > 3 || (argc == 3 && part != "records" && part != "wide")) {
    std::fprintf(stderr, "usage: velmora_win_bench <path of velmora.exe> [records|wide]\n");
    return 2;
  }
  const std::string exePath = WindowsPath(argv[1]);
  std::array<char, MAX_PATH> temp{};
  GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
  const std::string folder =
      std::string(temp.data()) + "velmora-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  bool ok = part == "wide" || RunRecordsBench(exePath, folder);
  if (ok && part != "records") ok = RunWideBench(exePath, folder);
  RemoveDirectoryA(folder.c_str());
  return ok ? 0 : 1;
}
