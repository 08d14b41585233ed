// What each platform does its own way for the command line: writing to the
// console, the progress line in place, stop requests (signals, console
// events) and the user's languages. linux/ and windows/ hold one each, with
// the program's entry point, which hands the arguments to Main as UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolvanix::cli {

// The program: the arguments without its own name; returns the exit status.
int Main(const std::vector<std::string>& arguments);

// UTF-8 text to standard output or standard error, as it is.
void WriteOutput(std::string_view text);
void WriteError(std::string_view text);
// Standard error is a terminal (a console on Windows) a person watches.
bool ErrorIsTerminal();
// The line the cursor is on, on standard error, replaced by `text`; the
// cursor stays on it.
void ShowProgressLine(std::string_view text);
// That line emptied, the cursor at its start.
void ClearProgressLine();

// From here on Ctrl+C, SIGTERM and the like ask the run to stop instead of
// ending the program.
void WatchStopRequests();
// 0 while no stop was asked; else the exit status it calls for: 130 for
// Ctrl+C (SIGINT), 143 for SIGTERM, 129 for a terminal or console closed.
int StopStatus();
// The files are closed: an ending session may take the process now.
void StopDone();

}  // namespace tolvanix::cli
