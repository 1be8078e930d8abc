// The kestova-sim program as a user runs it: its output, its messages and its exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::AllOf;
using testing::ElementsAre;
using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;
using testing::SizeIs;
using testing::StartsWith;

using common::TempFolder;
using testing::Contains;
using testing_support::lines;
using testing_support::writeFile;
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
  const TempFolder folder = testing_support::tempFolder();
  const SimRun run = runSim(folder, {});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> out = lines(run.out);
  ASSERT_GE(out.size(), 2u);
  EXPECT_THAT(out.front(), StartsWith("tick "));
  EXPECT_EQ(out.back(), "end: 16 ticks, 0 protocol errors");
}

TEST(KestovaSim, ATapShowsTheLatchTurningOn) {
  const TempFolder folder = testing_support::tempFolder();
  writeFile(folder, "tap.scn",
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
  const TempFolder folder = testing_support::tempFolder();
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

TEST(KestovaSim, JsonRecordsCarryTheSettingsNamedInputsAndEachCallAsAnObject) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string scenario = writeFile(folder, "keys.scn",
                                         "settings ShortPress=0x20 LongPress=90\n"
                                         "tick 1-2\n"
                                         "tick 3 aim-down sprint key 65\n"
                                         "tick 4 weapon WEAPON_UNARMED weapon-fails\n");
  const SimRun run = runSim(folder, {scenario, "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<json> records;
  for (const std::string& line : lines(run.out)) records.push_back(json::parse(line));
  // start, load, ticks 1 and 2, the key event, ticks 3 and 4, unload, end.
  ASSERT_THAT(records, SizeIs(9)) << run.out;

  EXPECT_EQ(records[0], json::parse(R"({"event":"start","scenario":")" + scenario +
                                    R"(","settings":{"ShortPress":32,"LongPress":90,)"
                                    R"("HoldADS":0}})"));
  EXPECT_EQ(records[1]["event"], "load");
  EXPECT_EQ(records[1]["calls"][0]["native"], "scriptRegister");

  // A keyboard event is a record of its own, before the tick it was delivered before.
  EXPECT_EQ(records[4], json::parse(R"({"event":"key","tick":3,"key":65,"arg2":0,"arg3":0,)"
                                    R"("args":[0,0,0,0]})"));
  const json& press = records[5];
  EXPECT_EQ(press["event"], "tick");
  EXPECT_EQ(press["tick"], 3);
  EXPECT_EQ(press["timer"], json::array({1032}));
  EXPECT_EQ(press["inputs"], json::parse(R"({"aimDown":true,"aimUp":false,"sprint":true,)"
                                         R"("camera":false,"wheel":false,)"
                                         R"("weapon":"WEAPON_PISTOL","weaponFails":false})"));
  EXPECT_EQ(records[6]["inputs"]["weapon"], "WEAPON_UNARMED");
  EXPECT_EQ(records[6]["inputs"]["weaponFails"], true);

  for (const size_t i : {size_t{2}, size_t{3}, size_t{5}, size_t{6}}) {
    const json& tick = records[i];
    SCOPED_TRACE(tick.dump());
    ASSERT_TRUE(tick["calls"].is_array());
    // Every call the table counts, and nothing else: not the keyboard event.
    EXPECT_EQ(tick["hostCalls"], tick["calls"].size());
    for (const json& call : tick["calls"]) {
      EXPECT_TRUE(call["native"].is_string());
      EXPECT_TRUE(call["args"].is_array());
      EXPECT_TRUE(call.contains("result"));
    }
    EXPECT_EQ(tick["calls"].back(), json::parse(R"({"native":"scriptWait","args":[0],)"
                                                R"("result":null})"));
  }
  // 64-bit values as hex strings, names as the plugin passed them.
  const json& first = press["calls"][0];
  EXPECT_EQ(first["native"], "nameHash");
  EXPECT_THAT(first["args"], ElementsAre("INPUT_AIM"));
  EXPECT_THAT(first["result"].get<std::string>(), StartsWith("0x"));
  const json& wentDown = press["calls"][1];
  EXPECT_EQ(wentDown["native"], "controlWentDown");
  EXPECT_THAT(wentDown["args"], ElementsAre("0x19", first["result"]));
  EXPECT_EQ(wentDown["result"], "0x1");

  EXPECT_EQ(records[7]["event"], "unload");
  EXPECT_EQ(records[8], json::parse(R"({"event":"end","ticks":4,"protocolErrors":0})"));
}

TEST(KestovaSim, RunIsTheDefaultSubcommandAndVersionAndHelpSayWhatTheyShould) {
  const TempFolder folder = testing_support::tempFolder();
  const SimRun plain = runSim(folder, {"--trace"});
  const SimRun run = runSim(folder, {"run", "--trace"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, run.out);

  const SimRun version = runSim(folder, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_THAT(version.out, AllOf(StartsWith("kestova-sim "), EndsWith("\n")));
  EXPECT_THAT(version.out, HasSubstr("."));

  const SimRun help = runSim(folder, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, AllOf(HasSubstr("run"), HasSubstr("check")));
  const SimRun runHelp = runSim(folder, {"run", "--help"});
  EXPECT_EQ(runHelp.status, 0);
  EXPECT_THAT(runHelp.out,
              AllOf(HasSubstr("--svg"), HasSubstr("--json"), HasSubstr("Exit status")));
}

TEST(KestovaSim, BadInputGivesOneMessageNoTableAndStatus2) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string badWord = writeFile(folder, "bad-word.scn", "# a typo\nsetting ShortPress=5\n");
  const std::string badNumber = writeFile(folder, "bad-number.scn", "tick 1 timer 1O\n");
  const std::string backwards =
      writeFile(folder, "backwards.scn", "tick 4 aim-down\ntick 2 aim-up\n");
  const std::string settings = writeFile(folder, "Kestova.ini", "; notes\n[Settings]\nHoldADS=1\n");
  const std::string missing = (folder.path() / "missing.scn").string();
  const std::string text = writeFile(folder, "notes.txt", "not a plugin\n");
  const std::string noPlugin = (folder.path() / "missing.so").string();

  struct Case {
    std::vector<std::string> args;
    std::string message;  // how stderr starts
  };
  const Case cases[] = {
      {{badWord}, badWord + ":2: unknown word 'setting'"},
      {{badNumber}, badNumber + ":1: bad timer value '1O'"},
      {{backwards}, backwards + ":2: tick 2 is not after tick 4"},
      {{missing}, missing + ": there is no such scenario file"},
      {{folder.path().string()}, folder.path().string() + ": is a folder, not a scenario file"},
      {{settings},
       settings +
           ":1: unknown word ';' (this looks like a settings file: to see what "
           "the plugin makes of it, run kestova-sim check " +
           settings + ")"},
      {{"--fast"}, "kestova-sim: The following argument was not expected: --fast"},
      {{"a.scn", "b.scn"}, "kestova-sim: The following argument was not expected: b.scn"},
      {{"check", "--fast"}, "kestova-sim: The following argument was not expected: --fast"},
      {{"check", "a.ini", "b.ini"}, "kestova-sim: The following argument was not expected: b.ini"},
      {{"--plugin", "notes.txt"}, "kestova-sim: cannot load " + text},
      {{"--plugin", noPlugin}, "kestova-sim: cannot load " + noPlugin},
      {{"--plugin", ""}, "kestova-sim: --plugin: needs a path"},
      {{""}, "kestova-sim: SCENARIO: needs a path"},
      // An option's value may not be another option, and no option counts twice.
      {{"--svg", "--trace"}, "kestova-sim: --svg: needs a file name, not the option --trace"},
      {{"--svg=--trace"}, "kestova-sim: --svg: needs a file name, not the option --trace"},
      {{"--plugin", "--json"}, "kestova-sim: --plugin: needs a path, not the option --json"},
      {{"--svg", "a.svg", "--svg", "b.svg"},
       "kestova-sim: --svg: At Most 1 required but received 2"},
      {{"--trace", "--trace"}, "kestova-sim: --trace: At Most 1 required but received 2"},
      {{"--json", "--trace"}, "kestova-sim: --"},
      // A picture that cannot be written is found before the run, with the reason.
      {{"--svg", "/proc/x.svg"}, "/proc/x.svg: cannot write the picture here ("},
      {{"--svg", "/dev/full"}, "/dev/full: cannot write the picture here (No space left"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const SimRun run = runSim(folder, c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, AllOf(StartsWith(c.message), EndsWith("\n")));
    EXPECT_THAT(lines(run.err), SizeIs(1)) << run.err;
    EXPECT_EQ(run.out, "");
  }
  // Nothing named after an option, and no picture from a command line refused.
  EXPECT_FALSE(fs::exists(folder.path() / "--trace"));
  EXPECT_FALSE(fs::exists(folder.path() / "a.svg"));
  EXPECT_FALSE(fs::exists(folder.path() / "b.svg"));
  // --json and --trace exclude each other whichever comes first.
  EXPECT_THAT(runSim(folder, {"--trace", "--json"}).err, HasSubstr("excludes"));
}

TEST(KestovaSim, LongInputsWrapInTheirColumnSoTheColumnsAfterThemStayInLine) {
  const TempFolder folder = testing_support::tempFolder();
  const SimRun run =
      runSim(folder, {std::string(KESTOVA_SOURCE_DIR) + "/scenarios/hold-mode.scenario"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> out = lines(run.out);
  const size_t latchColumn = out[0].find("latch");
  ASSERT_EQ(latchColumn, 46u);
  std::vector<std::string> continued;
  for (const std::string& line : out) {
    if (line.rfind("end:", 0) == 0) continue;
    if (line.rfind("    ", 0) == 0) {
      continued.push_back(line);
      continue;
    }
    EXPECT_EQ(line.find_first_not_of(' ', latchColumn - 1), latchColumn) << line;
  }
  EXPECT_THAT(out[8], StartsWith("8      1112         sprint                    on "));
  EXPECT_THAT(continued, ElementsAre("                    weapon WEAPON_UNARMED"));
}

TEST(KestovaSim, TimersWrittenInHexShowUnsigned) {
  const TempFolder folder = testing_support::tempFolder();
  const SimRun run =
      runSim(folder, {std::string(KESTOVA_SOURCE_DIR) + "/scenarios/timer-wrap.scenario"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = tableRows(run.out);
  ASSERT_EQ(rows.size(), 11u) << run.out;
  EXPECT_EQ(rows[1][0], "4294967248");
  EXPECT_EQ(rows[4][0], "0");
  EXPECT_EQ(rows[9][0], "2147483696");

  const std::string negative = writeFile(folder, "negative.scn", "clock -48 16\ntick 1\n");
  EXPECT_EQ(tableRows(runSim(folder, {negative}).out)[1][0], "-48");
}

TEST(KestovaSim, APluginThatBreaksTheHostContractIsReportedAndNeverLooksLikeAGoodRun) {
  const TempFolder folder = testing_support::tempFolder();
  // A script that returns breaks the protocol like any other break: status 1, no end line.
  const SimRun returns = runSim(folder, {"--plugin", KESTOVA_MISBEHAVING_RETURNS});
  EXPECT_EQ(returns.status, 1);
  EXPECT_EQ(returns.err, "demo:4: the plugin's script stopped: script#1 returned from its entry\n");
  EXPECT_THAT(returns.out, Not(HasSubstr("end:")));

  // It still gets its picture, marked as stopped.
  const SimRun drawn = runSim(folder, {"--plugin", KESTOVA_MISBEHAVING_RETURNS, "--svg", "x.svg"});
  EXPECT_EQ(drawn.status, 1);
  EXPECT_THAT(testing_support::readFile(folder.path() / "x.svg"), HasSubstr("stopped"));

  const SimRun silent = runSim(folder, {"--plugin", KESTOVA_MISBEHAVING_SILENT, "--svg", "y.svg"});
  EXPECT_EQ(silent.status, 2);
  EXPECT_EQ(silent.err, "kestova-sim: the plugin registered no script\n");
  EXPECT_EQ(silent.out, "");
  EXPECT_FALSE(fs::exists(folder.path() / "y.svg"));

  // A run that finishes, but with the faults listed, each distinct one once, and status 1.
  const SimRun faulty = runSim(folder, {"--plugin", KESTOVA_MISBEHAVING_FAULTY});
  EXPECT_EQ(faulty.status, 1);
  EXPECT_EQ(lines(faulty.out).back(), "end: 16 ticks, 16 protocol errors");
  EXPECT_THAT(lines(faulty.err),
              ElementsAre("demo: protocol error: hostTimer takes 0 arguments, got 1 (16 times)"));
}

}  // namespace
