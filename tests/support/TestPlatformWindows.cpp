#include <windows.h>
#include <winternl.h>

#include <vector>

#include "support/TestFiles.h"

namespace tolvanix {
namespace {

// One row of the system's handle list (SystemHandleInformation).
struct HandleEntry {
  USHORT process;
  USHORT backTraceIndex;
  UCHAR objectType;
  UCHAR attributes;
  USHORT value;
  PVOID object;
  ULONG access;
};

// Handles GoogleTest keeps for life (scoped-trace watch, Wine's debugger channel), taken early.
class HandlesForLife : public ::testing::Environment {
  void SetUp() override {
    SCOPED_TRACE("the main thread's trace");
    OutputDebugStringA("");
  }
};
[[maybe_unused]] ::testing::Environment* const kHandlesForLife =
    ::testing::AddGlobalTestEnvironment(new HandlesForLife);

}  // namespace

// Wine answers 0 to GetProcessHandleCount: count this process's rows in the system's list.
int OpenDescriptors() {
  std::vector<char> buffer(1 << 20);
  ULONG length = 0;
  constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
  while (NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &length) != 0) {
    if (buffer.size() >= (size_t{1} << 28)) return -1;
    buffer.resize(buffer.size() * 2);
  }
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(void*));
  const auto self = static_cast<USHORT>(GetCurrentProcessId());
  int n = 0;
  for (ULONG i = 0; i < count; ++i) n += entries[i].process == self;
  return n;
}

// Wine 8 answers success without making the link: it is looked for after.
bool MakeSymlink(const std::string& target, const std::string& link) {
  std::error_code error;
  std::filesystem::create_symlink(FsPath(target), FsPath(link), error);
  return !error && std::filesystem::is_symlink(FsPath(link), error);
}

}  // namespace tolvanix
