// A file handed over on the command line or dropped on the window: what each
// leads to, the same in both windows.
#include <gtest/gtest.h>

#include <map>

#include "forms/Handover.h"

using namespace tolvanix;

namespace {

// A disk where every name is a file but those with "missing" or "folder" in
// them, the current folder "/cwd". A URI names what follows "file:", a host
// kept in front.
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

// The resolution in one line: what a failure shows.
std::string Shown(const Handover& h) {
  switch (h.action) {
    case Handover::Action::None:
      return "none";
    case Handover::Action::Open:
      return (h.file.join ? "join " : "split ") + h.file.path;
    case Handover::Action::Notice:
      return "notice " + h.text + " | " + h.error;
    case Handover::Action::Help:
      return "help " + h.text.substr(0, h.text.find('\n') + 1);
    case Handover::Action::Version:
      return "version " + h.text;
  }
  return "?";
}

std::string Shown(const DropAnswer& a) {
  const char* effect[] = {"refused", "copy ", "link "};
  if (a.effect == DropEffect::None) return effect[0];
  return effect[static_cast<int>(a.effect)] + std::string(a.file.join ? "join " : "split ") +
         a.file.path;
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
      {{"/w/c.002"}, "split /w/c.002"},
      {{"x001"}, "split /cwd/x001"},
      {{"folder"}, "split /cwd/folder"},
      {{"-"}, "split /cwd/-"},
      {{"--", "-dash.bin"}, "split /cwd/-dash.bin"},
      {{"file:///w/b.bin"}, "split /w/b.bin"},
      {{"FILE://LocalHost/w/b.bin"}, "split /w/b.bin"},
      {{"file://localhost.x/b.bin"}, "split //localhost.x/b.bin"},
      {{"missing.001"}, missing + "missing.001 | missing.001: No such file or directory"},
      {{"file:"}, missing + "file: | file:: No such file or directory"},
      {{"a.001", "b.bin"},
       "notice ファイルは1つだけ指定してください。 | one file at a time, not 2"},
      {{"a.001", "-x"}, unknown + "-x | Unknown option 'x'."},
      {{"-xy", "--zed"}, unknown + "-xy | Unknown options: x, y, zed."},
      {{"-é"}, unknown + "-é | Unknown option 'é'."},
      {{"--help=1"}, unknown + "--help=1 | Unexpected value after '--help'."},
      {{"--help", "-q"}, unknown + "-q | Unknown option 'q'."},
      {{"-h"}, usage},
      {{"a.001", "--help-all"}, usage},
      {{"-vh"}, usage},
      {{"--version", "missing.001"}, "version Tolvanix 9.8\n"},
      {{"--", "--help"}, "split /cwd/--help"},
      {{"/?"}, "split /?"},
      {{"/?"}, usage, OptionStyle::Windows},
  };
  for (const Row& r : rows) {
    std::string args;
    for (const std::string& a : r.args) args += a + " ";
    EXPECT_EQ(Shown(ReadArguments(r.args, Disk(), r.style, "9.8")), r.resolution) << args;
  }
}

TEST(Handover, OneLocalFileDroppedWhileIdleIsTakenNeverMoved) {
  struct Row {
    std::vector<std::string> entries;
    DroppedOn on;
    std::string answer;
    bool copy = true;
    bool link = true;
    bool busy = false;
  };
  const DroppedOn button1 = DroppedOn::Button1, button2 = DroppedOn::Button2,
                  elsewhere = DroppedOn::Elsewhere;
  const Row rows[] = {
      {{"file:///w/a.001"}, elsewhere, "copy join /w/a.001"},
      {{"file:///w/a.001"}, button1, "copy split /w/a.001"},
      {{"file://localhost/w/b.bin"}, button2, "copy join /w/b.bin"},
      {{"C:/w/b.bin"}, elsewhere, "copy split C:/w/b.bin"},
      {{"a.001"}, elsewhere, "link join /cwd/a.001", false},
      {{"a.001"}, elsewhere, "refused", false, false},
      {{"a.001"}, elsewhere, "refused", true, true, true},
      {{"a.001", "b.bin"}, elsewhere, "refused"},
      {{}, elsewhere, "refused"},
      {{"file:///w/folder"}, button1, "refused"},
      {{"missing.001"}, elsewhere, "refused"},
      {{"https://example.org/a.001"}, elsewhere, "refused"},
  };
  for (const Row& r : rows) {
    Drop drop{r.entries, r.on, r.busy, r.copy, r.link};
    std::string entries;
    for (const std::string& e : r.entries) entries += e + " ";
    EXPECT_EQ(Shown(ReadDrop(drop, Disk())), r.answer) << entries << static_cast<int>(r.on);
  }
}
