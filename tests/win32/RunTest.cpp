// Runs through the real window, in English; a file handed over; "/?"; the close question.
#include <atomic>

#include "WindowScript.h"
#include "forms/FormDescriptions.h"
#include "support/FaultyFileSystem.h"
#include "win32/Win32Interaction.h"

using namespace tolvanix;
using namespace tolvanix::testing;

struct InEnglish : InWindow {
  void SetUp() override {
    UseLanguage("en");  // before the window is made
    InWindow::SetUp();
  }
  void TearDown() override {
    InWindow::TearDown();
    UseLanguage("");
  }
};

// A window's labels and buttons (a box's buttons) show their whole text inside the window.
static void ExpectNothingCut(HWND window, bool buttonsOnly) {
  const UINT dpi = win32::DpiOf(window);
  RECT client;
  GetClientRect(window, &client);
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const win32::Control* control = win32::Control::From(c);
    const bool button = dynamic_cast<const win32::Button*>(control);
    if (!button && (buttonsOnly || !dynamic_cast<const win32::Label*>(control))) continue;
    SCOPED_TRACE(TextOf(c));
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_GE(r.right - r.left, win32::Scale(control->NeededWidth(dpi) - 1, dpi));
    EXPECT_LE(r.right, client.right);
  }
}

// Pieces on a removable drive in a Japanese folder; the join finds the last one elsewhere.
TEST_F(InEnglish, SplitAndJoinGoThroughEnglishBoxesAndPromptsThatCutNoText) {
  EXPECT_EQ(TextOf(form_.Button1.hwnd()) + TextOf(form_.Label1.hwnd()), "SplitPiece size");
  ExpectNothingCut(form_.hwnd(), false);
  FaultyFileSystem fs;
  fs.removable = true;
  form_.UseFileSystem(&fs);
  const std::string data = RandomBytes(250'000, 7);
  WriteFile(Path("photo.jpg"), data);
  form_.SpinEdit1.SetText(L"100");  // three pieces
  const auto nextMedium = [](HWND w) {
    EXPECT_EQ(BoxLook(w), "Tolvanix|Insert the next medium.|OK");
    ExpectNothingCut(w, true);
    PressKey(GetFocus(), VK_RETURN);
  };
  const auto run = [&](win32::Button& button) {
    button.Click();
    EXPECT_TRUE(PumpUntil([&] { return !form_.CommandRunning(); }, 20000)) << "the run ended";
  };
  const std::string folder = Path("分割したファイルの置き場");
  ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Widen(Path("other")).c_str(), nullptr));
  WindowScript script;
  script.Then([&](HWND w) { ChooseFile(w, Path("photo.jpg")); })
      .Then([&](HWND w) {
        EXPECT_EQ(TextOf(NameBox(w)), "photo.001");
        ChooseFile(w, folder + "\\p.001");
      })
      .Then(nextMedium)
      .Then(nextMedium);
  run(form_.Button1);
  ASSERT_TRUE(MoveFileW(Widen(folder + "\\p.003").c_str(), Widen(Path("other\\p.003")).c_str()));
  script.Then([&](HWND w) { ChooseFile(w, folder + "\\p.001"); })
      .Then([&](HWND w) {
        EXPECT_EQ(TextOf(NameBox(w)), "photo.jpg") << "the stored name";
        ChooseFile(w, Path("out"));
      })
      .Then(nextMedium)
      .Then([&](HWND w) { ChooseFile(w, Path("other\\p.003")); })
      .Then([&](HWND w) {
        EXPECT_EQ(TextOf(w), "About Tolvanix");
        ExpectNothingCut(w, false);
        PressKey(GetFocus(), VK_RETURN);  // OK
      })
      .Then([&](HWND w) {
        EXPECT_EQ(BoxLook(w), std::string("Warning!|") + Tr(kLowSpaceWarning) + "|&Yes|&No|Cancel");
        ExpectNothingCut(w, true);
        TypeChar(GetFocus(), L'n');
      });
  run(form_.Button2);
  EXPECT_TRUE(ReadFile(Path("out")) == data);
  form_.Button4.Click();
  EXPECT_EQ(
      win32::Win32Interaction(form_.hwnd(), form_.Label3).AskYesNoCancel(Tr(kLowSpaceWarning)),
      Answer::No);
}

// A first piece handed over as a file:// URI goes straight to the join's output prompt.
TEST_F(InWindow, AFirstPieceHandedOverGoesToTheOutputPrompt) {
  std::string first("holiday.jpg");
  first.resize(258);
  WriteFile(Path("first piece.001"), first + std::string("\x01\0\0\0", 4) + "data");
  WindowScript script;
  script.Then([&](HWND w) {
    EXPECT_EQ(TextOf(NameBox(w)), "holiday.jpg");
    Dismiss(w);
  });
  std::string uri = "file:///" + Path("first%20piece.001");
  std::replace(uri.begin(), uri.end(), '\\', '/');
  form_.StartWith(ReadArguments({uri}, win32::Win32FileFacts(), OptionStyle::Windows, ""));
  EXPECT_TRUE(PumpUntil([&] { return form_.CommandRunning(); }, 2000));
  EXPECT_TRUE(PumpUntil([&] { return !form_.CommandRunning(); }));
  EXPECT_EQ(form_.OpenDialog2.FileName, Path("first piece.001"));
}

// "/?" shows the help in the program's notice box, with no window behind it.
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
  PumpUntil([&] {  // the box may be seen before its buttons are made
    box = FindWindowW(nullptr, L"Tolvanix");
    return box && !Children(box, L"Button").empty();
  });
  const std::string look = BoxLook(box);
  EXPECT_EQ(look.substr(0, look.find('\n')), "Tolvanix|使い方: tolvanix [オプション] [FILE]");
  EXPECT_EQ(look.substr(look.rfind('|')), "|OK");
  Dismiss(box);
  EXPECT_EQ(WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}

// Closed at the third chunk. No: the run goes on. Yes: it stops and the program ends. The
// session ending ('e') stops it without a question.
TEST(CloseQuestion, MeansWhatItSays) {
  TempDir dir;
  const auto at = [&](const std::string& name) { return dir.Path() + "\\" + name; };
  WriteFile(at("photo.jpg"), RandomBytes((3 << 20) - 5000, 4));  // 3 pieces of 1024 KB
  for (const char answer : {'n', 'y', 'e'}) {
    SCOPED_TRACE(answer);
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
      Dismiss(window);
      for (int i = 0; i < 5000 && !answered; ++i) Sleep(1);
    };
    WindowScript script;
    script.Then([&](HWND w) { ChooseFile(w, at("photo.jpg")); }).Then([&](HWND w) {
      ChooseFile(w, at(std::string(1, answer) + ".001"));
    });
    if (answer != 'e') {
      script.Then([&](HWND w) {
        EXPECT_EQ(BoxLook(w),
                  "Tolvanix!|ファイルの分割を中止して終了しますか？|はい(&Y)|いいえ(&N)");
        TypeChar(GetFocus(), static_cast<wchar_t>(answer));
        answered = true;
      });
    }
    std::vector<std::pair<LRESULT, std::string>> progress, line;  // position and text, the bar's
    double filled = 0, onTaskbar = -1;
    form.Button1.Click();
    EXPECT_TRUE(PumpUntil(
        [&] {
          filled = std::max(filled, form.Label3.Fill());
          const HWND bar = form.Label3.Progress();
          progress.emplace_back(SendMessageW(bar, PBM_GETPOS, 0, 0), TextOf(bar));
          line.emplace_back(std::lround(form.Label3.Fill() * 100), TextOf(form.Label3.hwnd()));
          onTaskbar = std::max(onTaskbar, form.TaskbarShown());
          return !form.CommandRunning();
        },
        20000));
    const bool stopped = answer != 'n';
    EXPECT_EQ(IsWindow(window) != FALSE, !stopped) << "the program ends";
    EXPECT_EQ(FileExists(at(std::string(1, answer) + ".003")), !stopped)
        << "the run went to its end";
    EXPECT_EQ(progress, line) << "the progress control follows the line";
    if (stopped) {
      Idle(50);  // the program's end, taken from the queue
      continue;
    }
    EXPECT_GT(filled, 0.0) << "the bar showed";
    EXPECT_GT(onTaskbar, 0.0) << "so did the taskbar button";
    EXPECT_EQ(form.TaskbarShown(), -1) << "and none once the run is over";
  }
}
