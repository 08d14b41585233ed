// The command line on Windows: text to a console as UTF-16 (WriteConsoleW
// shows every character whatever the console's code page), to a file or a
// pipe as UTF-8; the progress line kept in place through the console's
// cursor; Ctrl+C, Ctrl+Break and the console's close, log-off and shutdown
// events turned into a stop request.
#include "cli/Console.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "core/windows/Utf16.h"
#include "i18n/Catalogue.h"

namespace tolvanix::cli {

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

void WriteTo(DWORD which, std::string_view text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  if (IsConsole(handle)) {
    const std::wstring wide = Widen(text);
    for (size_t done = 0; done < wide.size();) {
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 8192));
      if (!WriteConsoleW(handle, wide.data() + done, want, &n, nullptr) || n == 0) return;
      done += n;
    }
    return;
  }
  while (!text.empty()) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(text.size(), 1 << 20));
    if (!WriteFile(handle, text.data(), want, &n, nullptr) || n == 0) return;
    text.remove_prefix(n);
  }
}

// From the cursor's column to the end of its line, blanked; the cursor stays.
void BlankRestOfLine(HANDLE console) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(console, &info)) return;
  const DWORD rest = static_cast<DWORD>(info.dwSize.X - info.dwCursorPosition.X);
  DWORD n = 0;
  FillConsoleOutputCharacterW(console, L' ', rest, info.dwCursorPosition, &n);
  FillConsoleOutputAttribute(console, info.wAttributes, rest, info.dwCursorPosition, &n);
}

void CursorToLineStart(HANDLE console) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(console, &info)) return;
  SetConsoleCursorPosition(console, {0, info.dwCursorPosition.Y});
}

std::atomic<int> stopStatus{0};
// Set once the run has closed its files.
HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: {
      // The first asks the run to stop; a second ends the program at once.
      int none = 0;
      return stopStatus.compare_exchange_strong(none, 130) ? TRUE : FALSE;
    }
    case CTRL_CLOSE_EVENT: {
      int none = 0;
      stopStatus.compare_exchange_strong(none, 129);
      break;
    }
    default: {  // log-off, shutdown
      int none = 0;
      stopStatus.compare_exchange_strong(none, 143);
      break;
    }
  }
  // Windows ends the process when this returns: not before the run has
  // stopped and closed its files (the system waits a few seconds at most).
  WaitForSingleObject(done, INFINITE);
  return TRUE;
}

}  // namespace

void WriteOutput(std::string_view text) { WriteTo(STD_OUTPUT_HANDLE, text); }
void WriteError(std::string_view text) { WriteTo(STD_ERROR_HANDLE, text); }

bool ErrorIsTerminal() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

void ShowProgressLine(std::string_view text) {
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  CursorToLineStart(console);
  WriteError(text);
  BlankRestOfLine(console);
}

void ClearProgressLine() {
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  CursorToLineStart(console);
  BlankRestOfLine(console);
}

void WatchStopRequests() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

int StopStatus() { return stopStatus.load(); }

void StopDone() { SetEvent(done); }

}  // namespace tolvanix::cli

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(tolvanix::Narrow(argv[i]));
  return tolvanix::cli::Main(arguments);
}
