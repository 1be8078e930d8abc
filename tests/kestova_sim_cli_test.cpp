// The kestova-sim program as a user runs it: its output, its messages and its exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;

using ::testing::Contains;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::StartsWith;
using testing_support::lines;
using testing_support::TempFolder;
using SimRun = testing_support::ProgramRun;

// Runs kestova-sim in the given folder, its output caught in files there.
SimRun runSim(const TempFolder& folder, std::vector<std::string> args) {
  args.insert(args.begin(), KESTOVA_SIM_PATH);
  return testing_support::runProgram(folder, args);
}

// The rows of the table by tick: the words of each row after the tick number.
std::vector<std::vector<std::string>> tableRows(const std::string& out) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : lines(out)) {
    std::istringstream in(line);
    uint64_t tick = 0;
    if (line.empty() || line[0] == ' ' || !(in >> tick)) continue;
    if (rows.size() < tick + 1) rows.resize(tick + 1);
    for (std::string word; in >> word;) rows[tick].push_back(word);
  }
  return rows;
}

TEST(KestovaSim, RunsTheDemoToAnEndLine) {
  const TempFolder folder;
  const SimRun run = runSim(folder, {});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> out = lines(run.out);
  ASSERT_GE(out.size(), 2u);
  EXPECT_THAT(out.front(), StartsWith("tick "));
  EXPECT_EQ(out.back(), "end: 16 ticks, 0 protocol errors");
}

TEST(KestovaSim, ATapShowsTheLatchTurningOn) {
  const TempFolder folder;
  folder.write("tap.scn",
               "settings ShortPress=50 LongPress=100 HoldADS=0\n"
               "clock 1000 16\n"
               "tick 1\n"
               "tick 2 aim-down\n"
               "tick 6 aim-up   # 64 ms later: a tap\n"
               "tick 7-8\n");
  // Both paths relative to where it is run, as a user types them.
  fs::create_symlink(KESTOVA_PLUGIN_PATH, folder.path() / "plugin.so");
  const SimRun run = runSim(folder, {"run", "tap.scn", "--plugin", "plugin.so"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = tableRows(run.out);
  ASSERT_EQ(rows.size(), 9u) << run.out;
  // Columns after the tick: timer, inputs, latch, forced aim, calls.
  for (size_t tick = 1; tick <= 8; ++tick) {
    ASSERT_EQ(rows[tick].size(), 5u) << run.out;
    EXPECT_EQ(rows[tick][2], tick < 6 ? "off" : "on") << "tick " << tick << "\n" << run.out;
  }
  EXPECT_EQ(rows[2][1], "aim-down");
  EXPECT_EQ(rows[6][0], "1080");
}

TEST(KestovaSim, TraceListsTheHostCallsUnderTheirTick) {
  const TempFolder folder;
  const SimRun run = runSim(folder, {"--trace"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> out = lines(run.out);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.front(), "-- load --");

  const auto rowOf = [&](const std::string& tick) {
    for (size_t i = 0; i < out.size(); ++i) {
      if (out[i].rfind(tick + " ", 0) == 0) return i;
    }
    return out.size();
  };
  const size_t first = rowOf("1");
  const size_t second = rowOf("2");
  ASSERT_LT(first + 1, second) << run.out;
  for (size_t i = first + 1; i < second; ++i) {
    EXPECT_THAT(out[i], StartsWith("         "));
  }
  EXPECT_EQ(out[second - 1], "         scriptWait(0)");
  const std::vector<std::string> afterTick16(out.begin() + static_cast<std::ptrdiff_t>(rowOf("16")),
                                             out.end());
  EXPECT_THAT(afterTick16, Contains("-- unload --"));
  EXPECT_THAT(out.back(), StartsWith("end: "));
}

TEST(KestovaSim, JsonGivesOneObjectPerLine) {
  const TempFolder folder;
  const SimRun run = runSim(folder, {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> out = lines(run.out);
  ASSERT_EQ(out.size(), 1 + 16 + 1 + 1u) << run.out;
  for (const std::string& line : out) {
    EXPECT_THAT(line, StartsWith("{"));
    EXPECT_THAT(line, EndsWith("}"));
  }
  EXPECT_THAT(out.front(), StartsWith("{\"event\":\"load\","));
  for (size_t tick = 1; tick <= 16; ++tick) {
    const std::string start = "{\"event\":\"tick\",\"tick\":" + std::to_string(tick) + ",";
    EXPECT_THAT(out[tick], StartsWith(start));
  }
  EXPECT_THAT(out[17], StartsWith("{\"event\":\"unload\","));
  EXPECT_EQ(out[18], "{\"event\":\"end\",\"ticks\":16,\"protocolErrors\":0}");
}

TEST(KestovaSim, BadInputGivesOneMessageNoTableAndStatus2) {
  const TempFolder folder;
  const std::string badWord = folder.write("bad-word.scn", "# a typo\nsetting ShortPress=5\n");
  const std::string badNumber = folder.write("bad-number.scn", "tick 1 timer 1O\n");
  const std::string backwards = folder.write("backwards.scn", "tick 4 aim-down\ntick 2 aim-up\n");
  const std::string missing = (folder.path() / "missing.scn").string();
  const std::string text = folder.write("notes.txt", "not a plugin\n");
  const std::string noPlugin = (folder.path() / "missing.so").string();

  struct Case {
    std::vector<std::string> args;
    std::string message;  // how stderr starts
  };
  const Case cases[] = {
      {{badWord}, badWord + ":2: unknown word 'setting'"},
      {{badNumber}, badNumber + ":1: bad timer value '1O'"},
      {{backwards}, backwards + ":2: tick 2 is not after tick 4"},
      {{missing}, missing + ": cannot read scenario file"},
      {{"--fast"}, "kestova-sim: unknown option --fast"},
      {{"--plugin", "notes.txt"}, "kestova-sim: cannot load " + text},
      {{"--plugin", noPlugin}, "kestova-sim: cannot load " + noPlugin},
      {{"--plugin", ""}, "kestova-sim: --plugin needs a path"},
      {{""}, "kestova-sim: the scenario path is empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const SimRun run = runSim(folder, c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, StartsWith(c.message));
    EXPECT_THAT(lines(run.err), SizeIs(1));
    EXPECT_THAT(run.err, EndsWith("\n"));
    EXPECT_EQ(run.out, "");
  }
}

TEST(KestovaSim, APluginThatBreaksTheHostContractIsReportedAndNeverLooksLikeAGoodRun) {
  const TempFolder folder;
  const SimRun returns = runSim(folder, {"--plugin", KESTOVA_MISBEHAVING_RETURNS});
  EXPECT_EQ(returns.status, 2);
  EXPECT_EQ(returns.err, "demo:4: the plugin's script stopped: script#1 returned from its entry\n");
  EXPECT_THAT(returns.out, Not(HasSubstr("end:")));

  const SimRun silent = runSim(folder, {"--plugin", KESTOVA_MISBEHAVING_SILENT});
  EXPECT_EQ(silent.status, 2);
  EXPECT_EQ(silent.err, "kestova-sim: the plugin registered no script\n");
  EXPECT_EQ(silent.out, "");

  // A run that finishes, but with the faults listed and status 1.
  const SimRun faulty = runSim(folder, {"--plugin", KESTOVA_MISBEHAVING_FAULTY});
  EXPECT_EQ(faulty.status, 1);
  EXPECT_EQ(lines(faulty.out).back(), "end: 16 ticks, 16 protocol errors");
  EXPECT_EQ(lines(faulty.err).size(), 16u);
  EXPECT_EQ(lines(faulty.err)[0], "demo: protocol error: hostTimer takes 0 arguments, got 1");
}

}  // namespace
