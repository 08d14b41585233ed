// The file dialogs as the system shows them: which dialog, where, in which folder, with which
// options.
#include "WindowScript.h"
#include "forms/FormDescriptions.h"
#include "win32/FileDialogs.h"

using namespace tolvanix;
using namespace tolvanix::testing;

using FileDialogTest = InWindow;

// Each is the system's Common Item Dialog, placed as described, the proposed name (a pattern
// kept) in its name box. It opens in the proposed name's folder, else in the current one; a
// confirmed one leaves the current folder at the chosen file's. An open dialog takes a name that
// does not exist, a pattern typed is no choice; the save dialog that should asks before it
// replaces a file.
TEST_F(FileDialogTest, AreCommonItemDialogsInTheFolderTheNameGives) {
  ASSERT_TRUE(CreateDirectoryW(Widen(Path("sub")).c_str(), nullptr));
  WriteFile(Path("old.bin"), "");
  FileDialogs d;
  const struct {
    TFileDialog* dialog;
    std::string proposed;
    const char* shown;  // in the name box
    const char* typed;
    bool asks;
    std::string chosen;
  } rows[] = {
      {&d.OpenDialog2, "*.001", "*.001", "*.txt", false, ""},  // not confirmed
      {&d.OpenDialog2, "*.001", "*.001", "new.001", false, Path("new.001")},
      {&d.OpenDialog1, Path("sub\\a.bin"), "a.bin", "b.bin", false, Path("sub\\b.bin")},
      {&d.SaveDialog1, "a.001", "a.001", "old.bin", true, Path("old.bin")},
      {&d.SaveDialog2, "", "", "new.bin", false, Path("new.bin")},
      {&d.OpenDialog3, Path("sub\\a.002"), "a.002", "old.bin", false, Path("sub\\old.bin")},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed);
    SetCurrentDirectoryW(Widen(dir_.Path()).c_str());  // an earlier row may have picked sub
    r.dialog->FileName = r.proposed;
    WindowScript script;
    script.Then([&](HWND w) {
      // A shell view inside an explorer browser; the old dialog holds its own.
      const std::vector<HWND> views = Children(w, L"SHELLDLL_DefView");
      EXPECT_TRUE(views.size() == 1 && GetParent(views[0]) != w);
      RECT at;
      GetWindowRect(w, &at);
      const Point place = DialogPlaceOn(win32::ScreenOf(w), at.right - at.left, at.bottom - at.top);
      EXPECT_EQ(std::make_pair(at.left, at.top), std::make_pair(LONG(place.x), LONG(place.y)));
      EXPECT_EQ(TextOf(NameBox(w)), r.shown);
      ChooseFile(w, r.typed);
      if (!r.chosen.empty()) return;
      Idle(300);
      if (IsWindow(w)) Dismiss(w);  // Wine's may have closed
    });
    if (r.asks) script.Then([](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); });
    EXPECT_EQ(win32::RunFileDialog(form_.hwnd(), *r.dialog), !r.chosen.empty());
    if (r.chosen.empty()) {
      EXPECT_EQ(r.dialog->FileName, r.proposed);
      continue;
    }
    EXPECT_EQ(r.dialog->FileName, r.chosen);
    wchar_t here[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, here);
    EXPECT_EQ(Narrow(here) + "\\", r.chosen.substr(0, r.chosen.rfind('\\') + 1));
  }
}
