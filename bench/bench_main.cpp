// talvek-bench: the updater's performance figures, each the median of several runs.
// Every update and every start-up runs in a process of its own, started from here.
// Usage: talvek-bench [--quick]   (--quick: one virtual-time update and one start-up)

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/child_process.h"
#include "bench/median.h"
#include "bench/update_report.h"

namespace {

using bench::UpdateFigures;
using Field = std::function<double(const UpdateFigures&)>;

struct Runs {
  std::vector<UpdateFigures> figures;
  std::vector<double> peak_rss_mib;

  double Median(const Field& field) const {
    std::vector<double> values;
    for (const UpdateFigures& f : figures) values.push_back(field(f));
    return bench::Median(values);
  }
};

struct Startups {
  double shown_ms = 0;
  double painted_ms = 0;
  double peak_rss_mib = 0;
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "talvek-bench: %s\n", what.c_str());
  std::exit(1);
}

Runs RunUpdates(const std::string& clock, int count) {
  Runs runs;
  for (int i = 0; i < count; ++i) {
    const bench::ChildRun child =
        bench::RunChild(bench::OwnFolder() + "/talvek-bench-update", {clock});
    const std::optional<UpdateFigures> figures = bench::ParseReport(child.output);
    if (!child.exited_ok || !figures || !figures->succeeded) {
      Fail("the update on " + clock + " did not succeed:\n" + child.output);
    }
    runs.figures.push_back(*figures);
    runs.peak_rss_mib.push_back(static_cast<double>(child.peak_rss_kib) / 1024);
  }
  return runs;
}

Startups RunStartups(int count) {
  std::vector<double> shown, painted, rss;
  for (int i = 0; i < count; ++i) {
    const bench::ChildRun child = bench::RunChild(bench::OwnFolder() + "/talvek-bench-startup", {});
    const std::size_t at = child.output.rfind("startup ");
    long long shown_ns = 0, painted_ns = 0;
    if (!child.exited_ok || at == std::string::npos ||
        std::sscanf(child.output.c_str() + at, "startup %lld %lld", &shown_ns, &painted_ns) != 2) {
      Fail("the start-up did not report the release notes:\n" + child.output);
    }
    shown.push_back(static_cast<double>(shown_ns - child.started_ns) / 1e6);
    painted.push_back(static_cast<double>(painted_ns - child.started_ns) / 1e6);
    rss.push_back(static_cast<double>(child.peak_rss_kib) / 1024);
  }
  return {bench::Median(shown), bench::Median(painted), bench::Median(rss)};
}

// One figure: its name in a column, then the value as `format` gives it.
[[gnu::format(printf, 2, 3)]] void Row(const char* name, const char* format, ...) {
  std::printf("%-44s ", name);
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
}

double DurationS(const UpdateFigures& f) { return static_cast<double>(f.duration_us) / 1e6; }
double HostBytes(const UpdateFigures& f) { return static_cast<double>(f.wire.host_bytes); }
double DeviceBytes(const UpdateFigures& f) { return static_cast<double>(f.wire.device_bytes); }
double HostWireS(const UpdateFigures& f) { return static_cast<double>(f.wire.host_wire_us) / 1e6; }
double DeviceWireS(const UpdateFigures& f) {
  return static_cast<double>(f.wire.device_wire_us) / 1e6;
}
double DeviceWorkS(const UpdateFigures& f) { return static_cast<double>(f.device_work_us) / 1e6; }
double CpuMs(const UpdateFigures& f) { return static_cast<double>(f.cpu_us) / 1e3; }

void PrintDuration(const char* name, const Runs& runs, double virtual_s) {
  const double s = runs.Median(DurationS);
  Row(name, "%7.3f s   ratio to virtual %.4f (%+.2f %%), %.0f bytes sent", s, s / virtual_s,
      (s / virtual_s - 1) * 100, runs.Median(HostBytes));
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc == 2 && std::string(argv[1]) == "--quick";
  if (argc > 2 || (argc == 2 && !quick)) Fail("usage: talvek-bench [--quick]");
  const int virtual_count = quick ? 1 : 7;
  const int real_count = quick ? 0 : 3;
  const int startup_count = quick ? 1 : 7;
  // Real windows without a display.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);

  std::fprintf(stderr, "%d update(s) on virtual time, %d start-up(s)...\n", virtual_count,
               startup_count);
  const Runs virtual_runs = RunUpdates("virtual", virtual_count);
  const Startups startups = RunStartups(startup_count);
  Runs real_runs, exact_runs;
  if (real_count > 0) {
    std::fprintf(stderr, "%d updates on the real clock, then %d with exact milliseconds...\n",
                 real_count, real_count);
    real_runs = RunUpdates("real", real_count);
    exact_runs = RunUpdates("exact-ms", real_count);
  }

  std::printf("Single-pass update against the simulated Velka (default timings), offscreen Qt.\n");
  std::printf(
      "Medians of %d virtual-time update(s), %d real-clock update(s) of each kind, "
      "%d start-up(s).\n\n",
      virtual_count, real_count, startup_count);

  const double virtual_s = virtual_runs.Median(DurationS);
  Row("update duration, virtual time", "%7.3f s   %.0f bytes sent", virtual_s,
      virtual_runs.Median(HostBytes));
  if (real_count > 0) {
    PrintDuration("update duration, real clock, Qt loop", real_runs, virtual_s);
    PrintDuration("update duration, exact-ms clock, Qt loop", exact_runs, virtual_s);
    Row("  of which the 15.625 ms tick steps", "%7.3f s   (real minus exact-ms)",
        real_runs.Median(DurationS) - exact_runs.Median(DurationS));
  }

  const double host_wire_s = virtual_runs.Median(HostWireS);
  const double device_wire_s = virtual_runs.Median(DeviceWireS);
  const double wire_s = host_wire_s + device_wire_s;
  const double device_s = virtual_runs.Median(DeviceWorkS);
  const double waits_s = virtual_s - wire_s - device_s;
  std::printf("\nWhere the virtual duration goes:\n");
  Row("bytes on the wire", "%.0f to the device, %.0f from it", virtual_runs.Median(HostBytes),
      virtual_runs.Median(DeviceBytes));
  Row("wire time at the line rates in force", "%7.3f s   %4.1f %% (to the device %.3f s)", wire_s,
      wire_s / virtual_s * 100, host_wire_s);
  Row("device work (simulated erase, page writes)", "%7.3f s   %4.1f %%", device_s,
      device_s / virtual_s * 100);
  Row("protocol waits, polls and tick pacing", "%7.3f s   %4.1f %%", waits_s,
      waits_s / virtual_s * 100);

  std::printf("\n");
  Row("host CPU time, one update on virtual time", "%7.1f ms", virtual_runs.Median(CpuMs));
  Row("start-up to release notes shown", "%7.1f ms   (painted %.1f ms)", startups.shown_ms,
      startups.painted_ms);
  Row("peak resident memory, start-up", "%7.1f MiB", startups.peak_rss_mib);
  Row("peak resident memory, update, virtual time", "%7.1f MiB",
      bench::Median(virtual_runs.peak_rss_mib));
  if (real_count > 0) {
    Row("peak resident memory, update, real clock", "%7.1f MiB",
        bench::Median(real_runs.peak_rss_mib));
  }
  return 0;
}
