// A file handed over on the command line or dropped on the window: what each leads to.
#include <gtest/gtest.h>

#include "forms/Handover.h"

using namespace tolvanix;

namespace {

// Every name is a file but those with "missing" or "folder" in them; the current folder is /cwd.
class Disk final : public HandoverFacts {
 public:
  Kind KindOf(const std::string& path) const override {
    if (path.find("missing") != std::string::npos) return Kind::Missing;
    return path.find("folder") != std::string::npos ? Kind::Folder : Kind::File;
  }
  std::string Absolute(const std::string& path) const override {
    return path[0] == '/' || path[1] == ':' ? path : "/cwd/" + path;
  }
  std::string PathOfUri(const std::string& uri) const override {
    return uri.compare(0, 8, "file:///") == 0 ? uri.substr(7) : uri.substr(5);
  }
};

std::string Shown(const HandedFile& f) { return (f.join ? "join " : "split ") + f.path; }

std::string Shown(const Handover& h) {
  using enum Handover::Action;
  if (h.action == Open) return Shown(h.file);
  if (h.action == Notice) return "notice " + h.text + " | " + h.error;
  if (h.action == Help) return "help " + h.text.substr(0, h.text.find('\n') + 1);
  return h.action == Version ? "version " + h.text : "none";
}

std::string Shown(const DropAnswer& a) {
  if (a.effect == DropEffect::None) return "refused";
  return (a.effect == DropEffect::Copy ? "copy " : "link ") + Shown(a.file);
}

}  // namespace

TEST(Handover, EachCommandLineResolvesToOneThing) {
  const std::string usage = "help 使い方: tolvanix [オプション] [FILE]\n";
  const std::string missing = "notice ファイルが見つかりません。\r\n";
  const std::string unknown = "notice 不明なオプションが指定されました。\r\n";
  struct Row {
    std::vector<std::string> args;
    std::string resolution;
    OptionStyle style = OptionStyle::Posix;
  };
  const Row rows[] = {
      {{}, "none"},
      {{"a.001"}, "join /cwd/a.001"},
      {{"x001"}, "split /cwd/x001"},
      {{"--", "-dash.bin"}, "split /cwd/-dash.bin"},
      {{"FILE://LocalHost/w/b.bin"}, "split /w/b.bin"},
      {{"missing.001"}, missing + "missing.001 | missing.001: No such file or directory"},
      {{"a.001", "b.bin"},
       "notice ファイルは1つだけ指定してください。 | one file at a time, not 2"},
      {{"-xy", "--zed"}, unknown + "-xy | Unknown options: x, y, zed."},
      {{"--help=1"}, unknown + "--help=1 | Unexpected value after '--help'."},
      {{"a.001", "--help-all"}, usage},
      {{"-vh"}, usage},
      {{"--version", "missing.001"}, "version Tolvanix 9.8\n"},
      {{"/?"}, "split /?"},
      {{"/?"}, usage, OptionStyle::Windows},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Shown(ReadArguments(r.args, Disk(), r.style, "9.8")), r.resolution)
        << ::testing::PrintToString(r.args);
  }
}

TEST(Handover, OneLocalFileDroppedWhileIdleIsTakenNeverMoved) {
  const DroppedOn button1 = DroppedOn::Button1, button2 = DroppedOn::Button2,
                  elsewhere = DroppedOn::Elsewhere;
  const bool idle = false, busy = true, copy = true, link = true;
  const std::pair<Drop, const char*> rows[] = {
      {{{"file:///w/a.001"}, elsewhere, idle, copy, link}, "copy join /w/a.001"},
      {{{"file:///w/a.001"}, button1, idle, copy, link}, "copy split /w/a.001"},
      {{{"file://localhost/w/b.bin"}, button2, idle, copy, !link}, "copy join /w/b.bin"},
      {{{"a.001"}, elsewhere, idle, !copy, link}, "link join /cwd/a.001"},
      {{{"a.001"}, elsewhere, idle, !copy, !link}, "refused"},
      {{{"a.001"}, elsewhere, busy, copy, link}, "refused"},
      {{{"a.001", "b.bin"}, elsewhere, idle, copy, link}, "refused"},
      {{{"file:///w/folder"}, button1, idle, copy, link}, "refused"},
      {{{"https://example.org/a.001"}, elsewhere, idle, copy, link}, "refused"},
  };
  for (const auto& [drop, answer] : rows) {
    EXPECT_EQ(Shown(ReadDrop(drop, Disk())), answer)
        << ::testing::PrintToString(drop.entries) << int(drop.on);
  }
}
