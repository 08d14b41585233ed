// How far a run is, on standard error, for a person at a terminal: the
// command's own progress text, then percentage, bytes, rate and time left,
// redrawn in place at most ten times a second. Also how the run learns that
// it should stop. Shows nothing when `shown` is false (--quiet, or standard
// error is no terminal).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "core/Commands.h"

namespace tolvanix::cli {

class ProgressLine final : public RunControl {
 public:
  // `totalBytes`: what the whole run moves, for the byte counts and the rate.
  ProgressLine(bool shown, int64_t totalBytes);
  ~ProgressLine() override { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // The command's progress text ("... 2/3"); empty ends the line.
  void SetStage(const std::string& text);
  void Progress(double fraction) override;
  bool StopRequested() override;
  // Takes the line away, so that a message can be written.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;
  void Draw();

  bool shown_;
  int64_t totalBytes_;
  std::string stage_;
  double fraction_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastDrawn_{};
  bool onScreen_ = false;
};

// "1.5 MiB": bytes in binary units, one decimal from KiB on.
std::string ByteText(double bytes);
// "0:07", "12:34", "1:02:03".
std::string DurationText(int64_t seconds);

}  // namespace tolvanix::cli
