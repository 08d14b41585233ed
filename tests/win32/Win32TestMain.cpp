// The tests run on the window's own thread, with OLE and the common controls as the program has.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <ole2.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(OleInitialize(nullptr))) return 2;
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const int status = RUN_ALL_TESTS();
  OleUninitialize();
  return status;
}
