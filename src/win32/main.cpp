// Start-up on Windows: OLE (COM and drag and drop) and the common controls,
// the main window, a file handed over on the command line, then messages
// until the window is closed. --help, --version and /? show their text in a
// box instead (there is no console), and the program ends. Nothing is read at
// start but the command line, nothing written at the end.
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/Catalogue.h"
#include "win32/Boxes.h"
#include "win32/Unit1.h"
#include "win32/Wide.h"

namespace {

class OleScope {
 public:
  OleScope() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleScope() {
    if (ok_) OleUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  bool ok_;
};

std::vector<std::string> Arguments() {
  int n = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> arguments;
  for (int i = 1; argv && i < n; ++i) arguments.push_back(tolvanix::win32::Narrow(argv[i]));
  LocalFree(argv);
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The program's texts in the user's language, chosen once.
  tolvanix::UseLanguage(
      tolvanix::ChooseLanguage(tolvanix::UsersLanguages(), tolvanix::EmbeddedLanguages()));
  OleScope ole;
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  const tolvanix::Handover handover =
      tolvanix::ReadArguments(Arguments(), tolvanix::win32::Win32FileFacts(),
                              tolvanix::OptionStyle::Windows, TOLVANIX_VERSION);
  if (handover.action == tolvanix::Handover::Action::Help ||
      handover.action == tolvanix::Handover::Action::Version) {
    std::string text = handover.text;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    tolvanix::win32::ShowBox(nullptr, tolvanix::NoticeBox(), text);
    return 0;
  }

  tolvanix::win32::TForm1 Form1;
  if (!Form1.Create()) return 1;
  Form1.Show();
  Form1.StartWith(handover);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) tolvanix::win32::ProcessMessage(msg);
  return static_cast<int>(msg.wParam);
}
