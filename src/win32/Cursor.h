// The program-wide pointer: the normal one, or the busy one over every window
// of the program. The windows ask here on WM_SETCURSOR.
#pragma once

namespace tolvanix::win32 {

class BusyCursor {
 public:
  static void Set(bool on);
  static bool On();
  // Sets the wait pointer when the busy one is in force: true then.
  static bool SetIfBusy();

  // While a box is open the pointer is the normal one; the one in force
  // before comes back when it closes.
  class Lift {
   public:
    Lift();
    ~Lift();
    Lift(const Lift&) = delete;
    Lift& operator=(const Lift&) = delete;

   private:
    bool was_;
  };
};

}  // namespace tolvanix::win32
