// The boxes' looks and keys, and the piece-size field's typing and stepping.
#include <windows.h>
// After windows.h, which it builds on.
#include <imm.h>

#include "WindowScript.h"
#include "forms/Texts.h"
#include "win32/Boxes.h"
#include "win32/Cursor.h"
#include "win32/Win32Interaction.h"

using namespace tolvanix;
using namespace tolvanix::testing;

using BoxesTest = InWindow;

// Keys: "R" Enter, "E" Esc, "T" Tab, a lower-case letter typed, "+" before a key: Alt held, "S",
// "C" before a key: Shift or Ctrl held. Held Enter and Esc do nothing: the box stays open for
// its close box (then the box's close result). The busy cursor is lifted while a box is open.
TEST_F(BoxesTest, EachBoxShowsItsTextsAndAnswersItsKeys) {
  enum Box { kNotice, kWarning, kQuestion };
  const std::string line = "空き容量が足りません。";
  const std::string text = line + "\r\n" + line;
  const std::string looks[] = {
      "Tolvanix|" + text + "|OK",
      "警告!|" + text + "|はい(&Y)|いいえ(&N)|ｷｬﾝｾﾙ",
      "Tolvanix!|" + text + "|はい(&Y)|いいえ(&N)",
  };
  const struct {
    Box box;
    const char* keys;
    int result;
    const char* what;
  } rows[] = {
      {kNotice, "R", IDOK, "Enter clicks OK"},
      {kNotice, "E", IDOK, "Esc clicks OK, the cancel button"},
      {kNotice, "", IDCANCEL, "the close box"},
      {kNotice, "SR CR +R CE", IDCANCEL, "Enter and Esc held with Shift, Ctrl, Alt: nothing"},
      {kWarning, "R", IDYES, "Enter at once: Yes, focused and default"},
      {kWarning, "n", IDNO, "the access key alone"},
      {kWarning, "+y", IDYES, "the access key with Alt"},
      {kWarning, "TR", IDNO, "Tab moves the focus along the row"},
      {kWarning, "E", IDCANCEL, "Esc clicks Cancel"},
      {kWarning, "", IDCANCEL, "the close box is Cancel"},
      {kQuestion, "R", IDNO, "No is the default"},
      {kQuestion, "Y", IDYES, "an access key in capitals"},
      {kQuestion, "E", IDNO, "Esc is No"},
      {kQuestion, "", IDNO, "the close box is No"},
  };
  win32::Win32Interaction ui(form_.hwnd(), form_.Label3);
  win32::BusyCursor::Set(true);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    bool busyInside = true;
    WindowScript script;
    script.Then([&](HWND box) {
      EXPECT_EQ(BoxLook(box), looks[r.box]);
      busyInside = win32::BusyCursor::On();
      const char* held = "";
      for (const char* k = r.keys; *k; ++k) {
        const HWND focus = GetFocus();
        if (*k == 'S' || *k == 'C') {
          held = *k == 'S' ? "S" : "C";
        } else if (*k == '+') {
          held = "A";
        } else if (*k == 'R' || *k == 'E' || *k == 'T') {
          PressKey(focus, *k == 'R' ? VK_RETURN : *k == 'E' ? VK_ESCAPE : VK_TAB, held);
          held = "";
        } else if (*held == 'A') {
          PressKey(focus, static_cast<UINT>(toupper(*k)), held);
          held = "";
        } else if (*k != ' ') {
          TypeChar(focus, static_cast<wchar_t>(*k));
        }
        PumpUntil([] { return false; }, 20);
      }
      if (IsWindowEnabled(box)) PostMessageW(box, WM_CLOSE, 0, 0);
    });
    int result = 0;
    if (r.box == kNotice) {
      result = win32::ShowBox(form_.hwnd(), win32::NoticeLook(), text);
    } else if (r.box == kWarning) {
      result = win32::ShowBox(form_.hwnd(), win32::WarningLook(), text);
    } else {
      result = win32::ShowBox(form_.hwnd(), win32::StopQuestionLook(), text);
    }
    EXPECT_EQ(result, r.result);
    EXPECT_FALSE(busyInside) << "the normal pointer while a box is open";
    EXPECT_TRUE(win32::BusyCursor::On()) << "the busy one back after";
  }
  win32::BusyCursor::Set(false);
}

// Keys: ↑ ↓ the arrow keys, ⌫ Backspace, ⏎ Enter, ▲ ▼ a click on the arrow buttons, △ a right
// click on the up one, any other character typed. Each refused key beeps.
TEST_F(BoxesTest, SizeFieldFiltersTypingAndStepsWithoutBounds) {
  const struct {
    const char16_t *before, *keys;
    const char16_t* after;
    int beeps;
  } rows[] = {
      {u"", u"-1+2.5⌫", u"-1+2.", 0},
      {u"", u"12a$ ⏎x", u"12", 5},
      {u"", u"↓", u"-1", 0},
      {u" $10", u"↑", u"17", 0},
      {u"2147483647", u"↑", u"-2147483648", 0},
      {u"1024", u"▲▲▼", u"1025", 0},
      {u"7", u"△", u"7", 0},
  };
  win32::SpinEdit& spin = form_.SpinEdit1;
  // No input method in the field, where other controls have one: typing gives keys.
  EXPECT_EQ(ImmGetContext(spin.hwnd()), nullptr);
  const HIMC elsewhere = ImmGetContext(form_.Button1.hwnd());
  EXPECT_NE(elsewhere, nullptr);
  ImmReleaseContext(form_.Button1.hwnd(), elsewhere);
  int beeps = 0;
  spin.beep = [&] { ++beeps; };
  SetFocus(spin.hwnd());
  RECT arrows;
  GetClientRect(spin.UpDown(), &arrows);
  for (const auto& r : rows) {
    SCOPED_TRACE(
        Narrow(std::wstring(r.before, r.before + std::char_traits<char16_t>::length(r.before))) +
        " " + Narrow(std::wstring(r.keys, r.keys + std::char_traits<char16_t>::length(r.keys))));
    spin.SetText(std::wstring(r.before, r.before + std::char_traits<char16_t>::length(r.before)));
    SendMessageW(spin.hwnd(), EM_SETSEL, 0x7fffffff, 0x7fffffff);  // caret at the end
    beeps = 0;
    for (const char16_t* k = r.keys; *k; ++k) {
      const int y = *k == u'▼' ? arrows.bottom * 3 / 4 : arrows.bottom / 4;
      const LPARAM at = MAKELPARAM(arrows.right / 2, y);
      if (*k == u'▲' || *k == u'▼') {
        PostMessageW(spin.UpDown(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(spin.UpDown(), WM_LBUTTONUP, 0, at);
      } else if (*k == u'△') {
        PostMessageW(spin.UpDown(), WM_RBUTTONDOWN, MK_RBUTTON, at);
        PostMessageW(spin.UpDown(), WM_RBUTTONUP, 0, at);
      } else if (*k == u'↑' || *k == u'↓' || *k == u'⌫' || *k == u'⏎') {
        const UINT vk = *k == u'↑'   ? VK_UP
                        : *k == u'↓' ? VK_DOWN
                        : *k == u'⌫' ? VK_BACK
                                     : VK_RETURN;
        PressKey(spin.hwnd(), vk);
      } else {
        TypeChar(spin.hwnd(), *k);
      }
      PumpUntil([] { return false; }, 20);
    }
    const std::wstring after = spin.Text();
    EXPECT_EQ(std::u16string(after.begin(), after.end()), r.after);
    EXPECT_EQ(beeps, r.beeps);
  }
  // Tab into the field selects its whole text.
  SetFocus(form_.Button3.hwnd());
  PressKey(form_.Button3.hwnd(), VK_TAB);
  PumpUntil([&] { return GetFocus() == spin.hwnd(); }, 1000);
  DWORD from = 1, to = 0;
  SendMessageW(spin.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
               reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, spin.Text().size());
}
