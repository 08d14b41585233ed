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

// The user's display language as a locale name ("ja-JP", "en-US").
std::string UserLanguage() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"";
  const LCID lcid = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  if (!LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0)) return {};
  std::string narrow;
  for (const wchar_t* c = name; *c; ++c) narrow += static_cast<char>(*c);  // ASCII
  return narrow;
}

// As GNU gettext chooses on Windows: the POSIX variables where one is set
// (Wine hands over those of the Linux session, "C" among them), otherwise the
// user's display language.
std::vector<std::string> PreferredLanguages() {
  const auto get = [](const char* name) -> const char* { return std::getenv(name); };
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* value = get(name); value && *value) return tolvanix::PreferredLanguages(get);
  }
  return {UserLanguage()};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The program's texts in the user's language, chosen once.
  tolvanix::UseLanguage(
      tolvanix::ChooseLanguage(PreferredLanguages(), tolvanix::EmbeddedLanguages()));
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
