// Tolvanix against GNU split and cat, on the same files in the same run.
// Each case: a generated source, then one untimed warm-up round and N timed
// rounds of
//   split: ours without a checksum list (a child of this program) and
//          `split -b P -d -a 3`, in alternating order;
//   join:  ours on those pieces and `cat` of GNU's pieces, alternating too;
//   cp:    one in-kernel copy of the source, the floor for moving its bytes;
//   split with the list: ours, which hashes as it writes, against `split`
//          followed by `sha256sum` of its pieces;
//   verified join: ours, which hashes as it appends, against `sha256sum -c`
//          of that list followed by `cat`.
// Every output is checked byte for byte after every round before anything is
// reported. Outputs of a step are deleted and earlier writes flushed before
// it starts, outside the timing, so each run writes fresh files into a warm
// page cache and pays for nobody's writeback but its own.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Child.h"
#include "Process.h"
#include "Verify.h"
#include "core/PieceFormat.h"

namespace tolvanix::bench {
namespace {

namespace fs = std::filesystem;

struct Case {
  const char* label;
  int64_t sourceBytes;
  int32_t pieceKB;
};

constexpr int64_t kMiB = int64_t{1} << 20;
const Case kCases[] = {
    {"512 MiB, P = 1024 KB", 512 * kMiB, 1024},
    {"1 GiB, P = 262144 KB", 1024 * kMiB, 262144},
    {"256 MiB, P = 1440 KB", 256 * kMiB, 1440},
};

struct Options {
  std::string dir = "bench-data";
  int runs = 11;
  std::vector<int> cases = {1, 2, 3};
  bool keep = false;
};

// Times of one command, ours against theirs, round by round.
struct Pair {
  std::vector<double> ours, theirs;
  std::vector<double> oursCpu, theirsCpu;
  int64_t peakRssKiB = 0;
};

struct CaseResult {
  const Case* c;
  int64_t pieces;
  Pair split, join, splitSum, joinSum;
  std::vector<double> cp;
};

// Two programs run one after the other, as a script would: the times add up.
ProcessRun Then(const ProcessRun& a, const ProcessRun& b) {
  ProcessRun both = b;
  both.seconds += a.seconds;
  both.cpuSeconds += a.cpuSeconds;
  both.peakRssKiB = std::max(a.peakRssKiB, b.peakRssKiB);
  return both;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Median of the per-round ratios: the two runs of a round sit side by side
// in time, so a disturbance hits a pair rather than one side.
double MedianRatio(const std::vector<double>& ours, const std::vector<double>& theirs) {
  std::vector<double> r;
  for (size_t i = 0; i < ours.size(); ++i) r.push_back(ours[i] / theirs[i]);
  return Median(r);
}

class CaseRunner {
 public:
  CaseRunner(const Options& options, const Case& c, const std::string& dir)
      : options_(options), c_(c), dir_(dir), self_(SelfPath()) {
    source_ = dir_ + "/source.bin";
    ours_ = dir_ + "/ours";
    gnu_ = dir_ + "/gnu";
    oursJoined_ = dir_ + "/ours-joined.bin";
    catJoined_ = dir_ + "/cat-joined.bin";
    cpCopy_ = dir_ + "/cp-copy.bin";
    gnuList_ = dir_ + "/gnu.sha256";
    pieces_ = PieceCount(c_.sourceBytes, PieceBytes());
  }

  CaseResult Run() {
    fs::create_directories(dir_);
    MakeSource(source_, c_.sourceBytes, static_cast<uint64_t>(c_.pieceKB));
    CaseResult result{&c_, pieces_, {}, {}, {}, {}, {}};
    // The plain rounds first, each as it always was; then the rounds with the
    // list. Mixed in one round, the plain join paid for the memory the list
    // steps had just freed (see README, Noise from this VM).
    for (const bool list : {false, true}) {
      for (int round = 0; round <= options_.runs; ++round) {
        const bool warmUp = round == 0;
        const bool oursFirst = round % 2 == 1;
        Pair& split = list ? result.splitSum : result.split;
        Pair& join = list ? result.joinSum : result.join;
        Measure(SplitStep(list), oursFirst, warmUp, split);
        Measure(JoinStep(list), oursFirst, warmUp, join);
        double cp = 0;
        if (!list) {
          cp = Timed(cpCopy_, {"cp", source_, cpCopy_}).seconds;
          if (!warmUp) result.cp.push_back(cp);
        }
        Verify(list);
        if (warmUp) continue;
        std::fprintf(stderr,
                     "  %s round %d: split %.3f / %.3f s (cpu %.3f / %.3f), join %.3f / %.3f s "
                     "(cpu %.3f / %.3f)",
                     list ? "list" : "plain", round, split.ours.back(), split.theirs.back(),
                     split.oursCpu.back(), split.theirsCpu.back(), join.ours.back(),
                     join.theirs.back(), join.oursCpu.back(), join.theirsCpu.back());
        if (!list) std::fprintf(stderr, ", cp %.3f s", cp);
        std::fprintf(stderr, "\n");
      }
    }
    if (!options_.keep) fs::remove_all(dir_);
    return result;
  }

 private:
  using Step = std::function<ProcessRun(bool ours)>;

  int64_t PieceBytes() const { return int64_t{c_.pieceKB} * 1024; }

  // Ours with or without the list, against `split`, followed by `sha256sum`
  // of its pieces for the list.
  Step SplitStep(bool list) {
    return [this, list](bool ours) {
      if (ours) {
        std::vector<std::string> argv{
            self_, kChildFlag, "split", source_, ours_ + "/source.bin", std::to_string(c_.pieceKB)};
        if (!list) argv.push_back("--no-checksum");
        return Timed(ours_, argv);
      }
      const ProcessRun cut = Timed(gnu_, {"split", "-b", std::to_string(PieceBytes()), "-d", "-a",
                                          "3", source_, gnu_ + "/source."});
      if (!list) return cut;
      std::vector<std::string> sum{"sha256sum"};
      for (std::string& piece : GnuPieces()) sum.push_back(std::move(piece));
      return Then(cut, Run(sum, gnuList_));
    };
  }

  // Ours (made to prove it verified, with the list), against `cat`, after
  // `sha256sum -c` of the list for the list.
  Step JoinStep(bool list) {
    return [this, list](bool ours) {
      if (ours) {
        std::vector<std::string> argv{self_, kChildFlag, "join", ours_ + "/source.001",
                                      oursJoined_};
        if (list) argv.push_back("--verified");
        return Timed(oursJoined_, argv);
      }
      const ProcessRun check =
          list ? Timed("", {"sha256sum", "--quiet", "-c", gnuList_}) : ProcessRun{};
      const ProcessRun cat = Timed(catJoined_, CatCommand(), catJoined_);
      return list ? Then(check, cat) : cat;
    };
  }

  void Measure(const Step& step, bool oursFirst, bool warmUp, Pair& pair) {
    for (bool ours : {oursFirst, !oursFirst}) {
      const ProcessRun run = step(ours);
      if (warmUp) continue;
      (ours ? pair.ours : pair.theirs).push_back(run.seconds);
      (ours ? pair.oursCpu : pair.theirsCpu).push_back(run.cpuSeconds);
      if (ours) pair.peakRssKiB = std::max(pair.peakRssKiB, run.peakRssKiB);
    }
  }

  // Flushes all earlier writes, removes what the step will write, then runs
  // the step's program. Removing after the flush gives every run the same
  // start: the memory of the old output just freed, however long the flush
  // of the step before took.
  ProcessRun Timed(const std::string& output, const std::vector<std::string>& argv,
                   const std::string& stdoutPath = "") {
    FlushFilesystem();
    if (output == ours_ || output == gnu_) {
      fs::remove_all(output);
      fs::create_directory(output);
    } else if (!output.empty()) {
      fs::remove(output);
    }
    return Run(argv, stdoutPath);
  }

  // A program that goes on from what the one before it left, with no flush
  // between: a script would not flush either.
  static ProcessRun Run(const std::vector<std::string>& argv, const std::string& stdoutPath = "") {
    ProcessRun run = RunProcess(argv, stdoutPath);
    if (!run.ok) throw std::runtime_error(argv[0] + ": " + run.failure);
    return run;
  }

  void FlushFilesystem() const {
    const int fd = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::syncfs(fd) != 0) {
      const std::string why = std::strerror(errno);
      if (fd >= 0) ::close(fd);
      throw std::runtime_error("syncfs " + dir_ + ": " + why);
    }
    ::close(fd);
  }

  // Sorted, as a shell's glob gives them.
  std::vector<std::string> GnuPieces() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(gnu_)) names.push_back(e.path());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::vector<std::string> CatCommand() const {
    std::vector<std::string> argv = {"cat"};
    for (std::string& piece : GnuPieces()) argv.push_back(std::move(piece));
    return argv;
  }

  // Our pieces: the exact count, every one but the last exactly P bytes, a
  // header naming the source and the count, then the source's bytes; with
  // the list, one line per piece (what it says, the verified join checked).
  void Verify(bool list) const {
    std::vector<std::string> ours;
    for (int64_t k = 1; k <= pieces_; ++k) ours.push_back(ours_ + "/source." + IntToStrl(k, 3));
    const int64_t present = std::distance(fs::directory_iterator(ours_), fs::directory_iterator());
    Check(present == pieces_ + list,
          "we wrote " + std::to_string(present) + " files, not " + std::to_string(pieces_ + list));
    if (list) {
      Check(static_cast<int64_t>(fs::file_size(ours_ + "/source.sha256")) ==
                pieces_ * static_cast<int64_t>(64 + 2 + std::string("source.001\n").size()),
            "our list has not one line per piece");
    }
    for (int64_t k = 1; k < pieces_; ++k) {
      Check(static_cast<int64_t>(fs::file_size(ours[k - 1])) == PieceBytes(),
            ours[k - 1] + " is not P bytes");
    }
    HeaderBytes header{};
    {
      const int fd = ::open(ours[0].c_str(), O_RDONLY | O_CLOEXEC);
      const bool read = fd >= 0 && ::read(fd, header.data(), header.size()) == kHeaderSize;
      if (fd >= 0) ::close(fd);
      Check(read, "cannot read our header");
    }
    const DecodedHeader decoded = DecodeHeader(header);
    Check(decoded.cp932Name == "source.bin" && decoded.count == pieces_, "our header is wrong");

    const std::vector<std::string> gnu = GnuPieces();
    Check(static_cast<int64_t>(gnu.size()) >= 1, "GNU split wrote nothing");
    CheckSame(ours, kHeaderSize, "our pieces");
    CheckSame(gnu, 0, "GNU's pieces");
    CheckSame({oursJoined_}, 0, "our join");
    CheckSame({catJoined_}, 0, "cat's join");
    if (!list) CheckSame({cpCopy_}, 0, "cp's copy");
  }

  void CheckSame(const std::vector<std::string>& files, int64_t skip,
                 const std::string& what) const {
    const std::string diff = CompareConcatenation(files, skip, source_);
    Check(diff.empty(), what + " differ from the source: " + diff);
  }

  static void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
  }

  const Options& options_;
  const Case& c_;
  const std::string dir_;
  const std::string self_;
  std::string source_, ours_, gnu_, oursJoined_, catJoined_, cpCopy_, gnuList_;
  int64_t pieces_;
};

void PrintTable(const std::vector<CaseResult>& results, int runs) {
  std::printf(
      "Median of %d alternating runs, warm page cache; each ratio is the median of the "
      "per-round ratios. CPU time is user + system time of the process.\n\n",
      runs);
  std::printf(
      "| Case | Command | Tolvanix (s) | GNU (s) | Tolvanix/GNU | cp (s) | Tolvanix peak RSS (MiB) "
      "| CPU time Tolvanix/GNU |\n");
  std::printf("|---|---|---:|---:|---:|---:|---:|---:|\n");
  for (const CaseResult& r : results) {
    const std::string label =
        std::string(r.c->label) + " (" + std::to_string(r.pieces) + " pieces)";
    const auto row = [&](const char* command, const Pair& p) {
      std::printf("| %s | %s | %.3f | %.3f | %.2f | %.3f | %.1f | %.2f |\n", label.c_str(), command,
                  Median(p.ours), Median(p.theirs), MedianRatio(p.ours, p.theirs), Median(r.cp),
                  static_cast<double>(p.peakRssKiB) / 1024, MedianRatio(p.oursCpu, p.theirsCpu));
    };
    row("split / `split`", r.split);
    row("join / `cat`", r.join);
    row("split with list / `split` + `sha256sum`", r.splitSum);
    row("verified join / `sha256sum -c` + `cat`", r.joinSum);
  }
}

int Usage(const char* self) {
  std::fprintf(stderr,
               "usage: %s [--dir FOLDER] [--runs N] [--cases 1,2,3] [--keep]\n"
               "  FOLDER (default ./bench-data) takes about 6 times the largest source;\n"
               "  it is emptied of the bench's files afterwards unless --keep.\n",
               self);
  return 2;
}

int Main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--dir" && hasValue) {
      options.dir = argv[++i];
    } else if (arg == "--runs" && hasValue) {
      options.runs = std::atoi(argv[++i]);
      if (options.runs < 1) return Usage(argv[0]);
    } else if (arg == "--cases" && hasValue) {
      options.cases.clear();
      for (const char* p = argv[++i]; *p; ++p) {
        if (*p >= '1' && *p <= '3') options.cases.push_back(*p - '0');
      }
    } else if (arg == "--keep") {
      options.keep = true;
    } else {
      return Usage(argv[0]);
    }
  }
  // Source, two piece sets, two joins and cp's copy sit side by side.
  int64_t need = 0;
  for (int n : options.cases) need = std::max(need, 6 * kCases[n - 1].sourceBytes + 256 * kMiB);
  fs::create_directories(options.dir);
  struct statvfs vfs {};
  if (::statvfs(options.dir.c_str(), &vfs) == 0 &&
      static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize) < need) {
    std::fprintf(stderr, "%s needs %lld MiB free\n", options.dir.c_str(),
                 static_cast<long long>(need / kMiB));
    return 1;
  }
  std::vector<CaseResult> results;
  for (int n : options.cases) {
    const Case& c = kCases[n - 1];
    std::fprintf(stderr, "case %d: %s\n", n, c.label);
    results.push_back(CaseRunner(options, c, options.dir + "/case" + std::to_string(n)).Run());
  }
  PrintTable(results, options.runs);
  return 0;
}

}  // namespace
}  // namespace tolvanix::bench

int main(int argc, char** argv) {
  using namespace tolvanix::bench;
  if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0) return RunChild(argc, argv);
  try {
    return Main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench failed: %s\n", e.what());
    return 1;
  }
}
