// The window in English: a split and a join through its boxes and prompts; no text cut.
#include "WindowScript.h"
#include "core/Commands.h"
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

// Pieces on a removable drive, in a Japanese folder: a notice between them; the pieces are the
// format's bytes, as the Linux program writes them; the join finds the last in another folder.
// (Not a folder deeper than 260 characters: Wine's own file dialog breaks on one typed in.)
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
  WindowScript script;
  script.Then([&](HWND w) { ChooseFile(w, Path("photo.jpg")); })
      .Then([&](HWND w) {
        EXPECT_EQ(TextOf(NameBox(w)), "photo.001");
        ChooseFile(w, folder + "\\p.001");
      })
      .Then(nextMedium)
      .Then(nextMedium);
  run(form_.Button1);
  std::string set = std::string("photo.jpg").append(249, '\0') + "\x03" + std::string(3, '\0');
  set += data;
  for (int k = 1; k <= 3; ++k) {
    const std::string piece = ReadFile(folder + "\\p.00" + std::to_string(k));
    EXPECT_TRUE(piece == set.substr((k - 1) * 102400, 102400)) << "piece " << k;
  }
  ASSERT_TRUE(CreateDirectoryW(Widen(Path("other")).c_str(), nullptr));
  ASSERT_TRUE(MoveFileW(Widen(folder + "\\p.003").c_str(), Widen(Path("other\\p.003")).c_str()));
  script
      .Then([&](HWND w) { ChooseFile(w, "p.001"); })  // in the folder the last dialog left
      .Then([&](HWND w) {
        EXPECT_EQ(TextOf(NameBox(w)), "photo.jpg") << "the stored name";
        ChooseFile(w, Path("out"));
      })
      .Then(nextMedium)
      .Then([&](HWND w) { ChooseFile(w, Path("other\\p.003")); })
      .Then([&](HWND w) {  // the About window
        EXPECT_EQ(TextOf(w), "About Tolvanix");
        ExpectNothingCut(w, false);
        PressKey(GetFocus(), VK_RETURN);
      })
      .Then([&](HWND w) {  // and the warning, with its access keys
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
