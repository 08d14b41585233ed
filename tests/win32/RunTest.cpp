// Runs through the real window: a held file, a first piece handed over on the
// command line, the program's help in a box, and the close question while a
// run goes on. (A split and a join through it: the English window's test.)
#include <atomic>

#include "WindowScript.h"
#include "support/FaultyFileSystem.h"

using namespace tolvanix;
using namespace tolvanix::testing;

namespace {

// A click on a button of the window, and the run it starts handled to its end.
void ClickAndRun(win32::TForm1& form, win32::Button& button) {
  button.Click();
  EXPECT_TRUE(PumpUntil([&] { return !form.CommandRunning(); }, 20000)) << "the run ended";
}

}  // namespace

using RunTest = InWindow;

// A source another program holds is refused with the open notice; a first piece handed over on
// the command line, as a file:// URI, goes straight to the join's output prompt, proposing the
// stored name.
TEST_F(RunTest, AHeldFileIsRefusedAndAFirstPieceHandedOverGoesToTheOutputPrompt) {
  WriteFile(Path("held.bin"), "bytes");
  const HANDLE held = CreateFileW(Widen(Path("held.bin")).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  WindowScript script;
  script.Then([&](HWND w) { ChooseFile(w, Path("held.bin")); }).Then([&](HWND w) {
    EXPECT_EQ(BoxLook(w), "Tolvanix|ファイルのオープンに失敗しました。|OK");
    PostMessageW(w, WM_CLOSE, 0, 0);
  });
  ClickAndRun(form_, form_.Button1);
  CloseHandle(held);

  std::string first("holiday.jpg");
  first.resize(258);
  WriteFile(Path("first piece.001"), first + std::string("\x01\0\0\0", 4) + "data");
  script.Then([&](HWND w) {
    EXPECT_EQ(TextOf(NameBox(w)), "holiday.jpg");
    PostMessageW(w, WM_CLOSE, 0, 0);
  });
  std::string uri = "file:///" + Path("first%20piece.001");
  std::replace(uri.begin(), uri.end(), '\\', '/');
  form_.StartWith(ReadArguments({uri}, win32::Win32FileFacts(), OptionStyle::Windows, ""));
  EXPECT_TRUE(PumpUntil([&] { return form_.CommandRunning(); }, 2000));
  EXPECT_TRUE(PumpUntil([&] { return !form_.CommandRunning(); }));
  EXPECT_EQ(form_.OpenDialog2.FileName, Path("first piece.001"));
}

// "/?" shows the help in the program's notice box, with no window behind it; the program then
// ends.
TEST(Arguments, HelpShowsABoxAndEnds) {
  wchar_t self[MAX_PATH];
  std::wstring program(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  program.replace(program.find_last_of(L'\\') + 1, std::wstring::npos, L"tolvanix.exe");
  std::wstring line = L"\"" + program + L"\" /?";
  SetEnvironmentVariableW(L"LC_ALL", L"C");  // Japanese, whatever the session's language
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child));
  HWND box = nullptr;
  // Found once it has its buttons: the box may be seen before they are made.
  PumpUntil([&] {
    box = FindWindowW(nullptr, L"Tolvanix");
    return box && !Children(box, L"Button").empty();
  });
  const std::string look = BoxLook(box);
  EXPECT_EQ(look.substr(0, look.find('\n')), "Tolvanix|使い方: tolvanix [オプション] [FILE]");
  EXPECT_EQ(look.substr(look.rfind('|')), "|OK");
  PostMessageW(box, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}

// At the third chunk the window is closed. No: the run goes on to its end and the window stays,
// the bar and the taskbar button following it. Yes: the run stops, flushed, and the program ends.
// The session ending ('e') stops the run, flushed, without a question.
TEST(CloseQuestion, MeansWhatItSays) {
  TempDir dir;
  const auto at = [&](const std::string& name) { return dir.Path() + "\\" + name; };
  WriteFile(at("photo.jpg"), RandomBytes((3 << 20) - 5000, 4));  // 3 pieces of 1024 KB
  for (const char answer : {'n', 'y', 'e'}) {
    SCOPED_TRACE(answer);
    for (const char* piece : {"p.001", "p.002", "p.003"}) DeleteFileW(Widen(at(piece)).c_str());
    win32::TForm1 form;
    ASSERT_TRUE(form.Create());
    form.Show();
    FaultyFileSystem fs;
    form.UseFileSystem(&fs);
    const HWND window = form.hwnd();
    std::atomic<int> chunks{0};
    std::atomic<bool> answered{false};
    fs.onChunk = [&](const std::string& path) {
      if (path.ends_with(".sha256")) return;  // the set's checksum list, read whole at once
      Sleep(20);
      if (++chunks != 3) return;
      if (answer == 'e') return void(PostMessageW(window, WM_ENDSESSION, TRUE, 0));
      PostMessageW(window, WM_CLOSE, 0, 0);
      for (int i = 0; i < 5000 && !answered; ++i) Sleep(1);
    };
    WindowScript script;
    script.Then([&](HWND w) { ChooseFile(w, at("photo.jpg")); }).Then([&](HWND w) {
      ChooseFile(w, at("p.001"));
    });
    if (answer != 'e') {
      script.Then([&](HWND w) {
        EXPECT_EQ(BoxLook(w),
                  "Tolvanix!|ファイルの分割を中止して終了しますか？|はい(&Y)|いいえ(&N)");
        TypeChar(GetFocus(), static_cast<wchar_t>(answer));
        answered = true;
      });
    }
    std::vector<double> fills;
    std::vector<std::pair<LRESULT, std::string>> progress, line;  // position and text, the bar's
    double onTaskbar = -1;
    form.Button1.Click();
    EXPECT_TRUE(PumpUntil(
        [&] {
          fills.push_back(form.Label3.Fill());
          const HWND bar = form.Label3.Progress();
          progress.emplace_back(SendMessageW(bar, PBM_GETPOS, 0, 0), TextOf(bar));
          line.emplace_back(std::lround(fills.back() * 100), TextOf(form.Label3.hwnd()));
          onTaskbar = std::max(onTaskbar, form.TaskbarShown());
          return !form.CommandRunning();
        },
        20000));
    const bool stopped = answer != 'n';
    EXPECT_EQ(IsWindow(window) != FALSE, !stopped) << "the program ends";
    EXPECT_EQ(FileExists(at("p.003")), !stopped) << "the run went to its end";
    EXPECT_TRUE(std::is_sorted(fills.begin(), fills.end() - 1)) << "the bar only grows";
    EXPECT_EQ(progress, line) << "the progress control follows the line";
    if (!stopped) {
      EXPECT_GT(*std::max_element(fills.begin(), fills.end()), 0.0) << "the bar showed";
      EXPECT_GT(onTaskbar, 0.0) << "so did the taskbar button";
      EXPECT_EQ(form.TaskbarShown(), -1) << "and none once the run is over";
    }
    if (stopped) PumpUntil([] { return false; }, 50);  // the program's end, taken from the queue
  }
}
