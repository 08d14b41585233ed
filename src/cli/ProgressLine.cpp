#include "cli/ProgressLine.h"

#include <cmath>
#include <cstdio>

#include "cli/Console.h"
#include "cli/Texts.h"

namespace tolvanix::cli {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

}  // namespace

std::string ByteText(double bytes) {
  static const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  int unit = 0;
  while (bytes >= 1024 && unit < 4) {
    bytes /= 1024;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%.0f B", bytes);
  } else {
    std::snprintf(text, sizeof text, "%.1f %s", bytes, units[unit]);
  }
  return text;
}

std::string DurationText(int64_t seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

ProgressLine::ProgressLine(bool shown, int64_t totalBytes)
    : shown_(shown), totalBytes_(totalBytes) {}

void ProgressLine::SetStage(const std::string& text) {
  stage_ = text;
  if (!shown_) return;
  if (text.empty()) {
    Clear();
  } else if (Clock::now() - lastDrawn_ >= kRedrawEvery) {
    Draw();
  }
}

void ProgressLine::Progress(double fraction) {
  fraction_ = fraction;
  if (shown_ && Clock::now() - lastDrawn_ >= kRedrawEvery) Draw();
}

bool ProgressLine::StopRequested() { return StopStatus() != 0; }

void ProgressLine::Clear() {
  if (!onScreen_) return;
  ClearProgressLine();
  onScreen_ = false;
}

void ProgressLine::Draw() {
  const Clock::time_point now = Clock::now();
  lastDrawn_ = now;
  const double done = fraction_ * static_cast<double>(totalBytes_);
  const double seconds = std::chrono::duration<double>(now - start_).count();
  char percent[16];
  std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction_ * 100));
  std::string line = stage_ + "  " + percent + "  " + ByteText(done) + " / " +
                     ByteText(static_cast<double>(totalBytes_));
  // A rate and a time left only once there is something to go by.
  if (seconds >= 0.5 && fraction_ > 0) {
    line += "  " + ByteText(done / seconds) + "/s";
    const double left = seconds * (1 - fraction_) / fraction_;
    line += "  " + Say(kTimeLeft, {DurationText(std::llround(left))});
  }
  ShowProgressLine(line);
  onScreen_ = true;
}

}  // namespace tolvanix::cli
