#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <QRect>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace {

struct ProgramRun {
  int exit_code = -1;
  std::string output;  // stdout and stderr together
  double wall_s = 0;
};

ProgramRun RunProgram(const std::string& args) {
  const std::string command = std::string("'") + TALVEK_SIM_PROGRAM + "' " + args + " 2>&1";
  const auto begin = std::chrono::steady_clock::now();
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  return run;
}

std::string ShotDir(const std::string& name) {
  return std::string(TALVEK_SCREENSHOT_DIR) + "/" + name;
}

// Every piece occurs, each after the one before it.
::testing::AssertionResult InOrder(const std::string& output,
                                   const std::vector<std::string>& pieces) {
  std::size_t at = 0;
  for (const std::string& piece : pieces) {
    const std::size_t found = output.find(piece, at);
    if (found == std::string::npos) {
      return ::testing::AssertionFailure() << "\"" << piece << "\" missing (or out of order) in:\n"
                                           << output;
    }
    at = found + piece.size();
  }
  return ::testing::AssertionSuccess();
}

QRect RectAfter(const std::string& output, const std::string& name) {
  const std::regex pattern(name + " (-?\\d+),(-?\\d+) (\\d+)x(\\d+)");
  std::smatch m;
  if (!std::regex_search(output, m, pattern)) return {};
  return QRect(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]));
}

// Both screenshots exist, the updater's at its 429 x 407 client size, the device window's
// at its own client size; and the device window sits beside the main window.
void ExpectScreenshotsAndPlacement(const ProgramRun& run, const std::string& dir) {
  const QImage updater(QString::fromStdString(dir + "/updater.png"));
  const QImage device(QString::fromStdString(dir + "/device.png"));
  ASSERT_FALSE(updater.isNull()) << run.output;
  ASSERT_FALSE(device.isNull()) << run.output;
  EXPECT_EQ(updater.size(), QSize(429, 407));

  const QRect main = RectAfter(run.output, "updater");
  const QRect own = RectAfter(run.output, "device");
  ASSERT_FALSE(main.isEmpty()) << run.output;
  ASSERT_FALSE(own.isEmpty()) << run.output;
  // The offscreen frame is the same for both windows.
  EXPECT_EQ(device.size() + (main.size() - updater.size()), own.size());
  EXPECT_GE(device.width(), 300);
  EXPECT_FALSE(main.intersects(own)) << run.output;
  EXPECT_GE(own.top(), 0);
}

TEST(SimulatorProgram, VirtualTimeUpdateToTheEnd) {
  const std::string dir = ShotDir("virtual");
  std::filesystem::remove_all(dir);
  const ProgramRun run = RunProgram("--script --virtual-time --screenshots '" + dir + "'");
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_TRUE(InOrder(run.output, {"OK in the release notes", "START", "power on", "updated",
                                   "updater: Velka successfully updated. / Velka Update "
                                   "erfolgreich beendet.",
                                   "pages 88 of 88 with data, closed; violations none",
                                   "verdict: flash equals firmware 4.4", "QUIT"}));
  ExpectScreenshotsAndPlacement(run, dir);
  EXPECT_LT(run.wall_s, 10.0);
}

struct ScriptedCase {
  const char* name;
  std::string args;
  int exit_code;
  std::vector<std::string> output;  // in this order
};

void PrintTo(const ScriptedCase& c, std::ostream* os) { *os << c.name << ": " << c.args; }

class ScriptedRun : public ::testing::TestWithParam<ScriptedCase> {};

TEST_P(ScriptedRun, EndsAsTheDeviceMakesIt) {
  const ScriptedCase& c = GetParam();
  const std::string dir = ShotDir(c.name);
  std::filesystem::remove_all(dir);
  const ProgramRun run =
      RunProgram("--script --virtual-time --screenshots '" + dir + "' " + c.args);
  EXPECT_EQ(run.exit_code, c.exit_code) << run.output;
  EXPECT_TRUE(InOrder(run.output, c.output));
  ExpectScreenshotsAndPlacement(run, dir);
}

const std::string kEqual = "verdict: flash equals firmware 4.4";
const std::string kDiffers = "verdict: flash differs from firmware 4.4: ";

INSTANTIATE_TEST_SUITE_P(
    ScenariosAndFaults, ScriptedRun,
    ::testing::Values(
        ScriptedCase{"two_passes",
                     "--scenario two-passes",
                     0,
                     {"START", "power on", "power off", "power on", "updated", kEqual, "QUIT"}},
        ScriptedCase{"two_passes_96",
                     "--scenario two-passes-96",
                     0,
                     {"START", "power on", "power off", "power on", "updated", kEqual}},
        ScriptedCase{"unplugged",
                     "--unplugged",
                     0,
                     {"START", "adapter plugged in", "power on", "updated", kEqual}},
        ScriptedCase{"chunk_fault",
                     "--fault 'no-reply@chunk:3*'",
                     1,
                     {"the update failed", "updater: Download failed. Redo by pressing START.",
                      kDiffers, "closing the main window"}},
        ScriptedCase{"calibration_fault",
                     "--fault no-reply@calibration",
                     1,
                     {"updater: Calibration off failed. Redo by pressing START.", kDiffers}},
        // The first difference lies after the pages written before the spoiled one.
        ScriptedCase{"page_fault",
                     "--fault wrong-reply@page:FC:5",
                     1,
                     {"updater: Programming failed. Redo by pressing START.",
                      kDiffers + "bank 0xFC offset"}},
        ScriptedCase{"time_limit",
                     "--time-limit 3",
                     4,
                     {"power on", "time limit reached", "closing the main window"}}),
    [](const ::testing::TestParamInfo<ScriptedCase>& info) { return info.param.name; });

TEST(SimulatorProgram, RealTimeRunStoppedEarly) {
  const std::string dir = ShotDir("real_time");
  std::filesystem::remove_all(dir);
  const ProgramRun run =
      RunProgram("--script --speed 10 --stop-after-chunks 2 --screenshots '" + dir + "'");
  EXPECT_EQ(run.exit_code, 3) << run.output;
  EXPECT_TRUE(InOrder(run.output, {"START", "power on", "STOP after 2 loader chunks",
                                   "updater: Connect update adapter and press START.",
                                   "violations none", kDiffers, "closing the main window"}));
  ExpectScreenshotsAndPlacement(run, dir);
  // Real time: the handshake and two chunks at 19200 baud take about two seconds.
  EXPECT_GT(run.wall_s, 0.5);
  EXPECT_LT(run.wall_s, 10.0);
}

TEST(SimulatorProgram, HelpAndRefusedArguments) {
  const ProgramRun help = RunProgram("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(InOrder(help.output, {"--scenario", "--speed", "--unplugged", "--fault", "--script",
                                    "--stop-after-chunks", "--screenshots", "--time-limit",
                                    "--virtual-time", "--trace", "--help"}));

  const struct {
    std::string args;
    std::string message;
  } refused[] = {
      {"--bogus", "unknown argument \"--bogus\""},
      {"--scenario three-passes", "unknown scenario"},
      {"--speed 0", "--speed takes a number from 1"},
      {"--fault no-reply@chunk:12", "\"12\" is not 0 to 11"},
      {"--fault no-reply@page:DF:32", "\"32\" is not 0 to 31"},
      {"--fault no-reply@page:FB:0", "no bank \"FB\""},
      {"--fault erase-never-completes@sync", "only the erase"},
      {"--fault no-reply", "KIND@STEP"},
      {"--virtual-time", "need --script"},
      {"--script --time-limit", "--time-limit needs a value"},
  };
  for (const auto& r : refused) {
    const ProgramRun run = RunProgram(r.args);
    EXPECT_EQ(run.exit_code, 64) << r.args << "\n" << run.output;
    EXPECT_NE(run.output.find(r.message), std::string::npos) << r.args << "\n" << run.output;
  }
}

}  // namespace
