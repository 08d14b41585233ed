#include <windows.h>

#include <string>

#include "cli/Child.h"

namespace tolvanix {

namespace {

std::wstring Wide(const std::string& utf8) { return FsPath(utf8).wstring(); }

// In quotes, as the C runtime reads it back: no argument of these tests
// holds a quote or ends in a backslash.
std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

HANDLE Capture(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Child::Child(const std::vector<std::string>& arguments, const std::string& folder) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring program = std::filesystem::path(self).parent_path() / L"tolvanix-cli.exe";
  std::wstring line = Quoted(program);
  for (const std::string& a : arguments) line += L" " + Quoted(Wide(a));
  const HANDLE out = Capture(capture_ / "out");
  const HANDLE err = Capture(capture_ / "err");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const std::wstring where = folder.empty() ? std::wstring() : Wide(folder);
  if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     where.empty() ? nullptr : where.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    id_ = reinterpret_cast<long long>(process.hProcess);
  } else {
    ADD_FAILURE() << "cannot start tolvanix-cli.exe: error " << GetLastError();
  }
  CloseHandle(out);
  CloseHandle(err);
}

Child::~Child() {
  if (id_ >= 0) Wait();
}

Finished Child::Wait() {
  Finished finished;
  if (id_ < 0) return finished;
  const HANDLE process = reinterpret_cast<HANDLE>(id_);
  id_ = -1;
  DWORD code = 0;
  if (WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code))
    finished.status = static_cast<int>(code);
  CloseHandle(process);
  finished.out = ReadFile(capture_ / "out");
  finished.err = ReadFile(capture_ / "err");
  return finished;
}

void Child::Signal(int) { ADD_FAILURE() << "no signals on Windows"; }

}  // namespace tolvanix
