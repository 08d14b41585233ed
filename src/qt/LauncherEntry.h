// The program's entry in a taskbar or dock: the share of a run done, shown
// through the launcher-entry signal that KDE Plasma, Ubuntu's dock and other
// docks listen to on the session bus. Without a bus, or before the program
// has a desktop entry name, nothing is sent.
#pragma once

namespace tolvanix {

class LauncherEntry {
 public:
  LauncherEntry() = default;
  LauncherEntry(const LauncherEntry&) = delete;
  LauncherEntry& operator=(const LauncherEntry&) = delete;

  // Shows `fraction` (0 to 1) of a run done.
  void Show(double fraction);
  // Takes the progress away, if it was shown.
  void Hide();

 private:
  void Send(double fraction, bool visible);
  bool visible_ = false;
};

}  // namespace tolvanix
