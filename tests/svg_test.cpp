// kestova-sim --svg: a picture of the run drawn from the same reports and trace as the table,
// valid XML, readable in a browser, and honest about what it leaves out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/run/report.h"
#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;
using common::TempFolder;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::lines;
using testing_support::ProgramRun;
using testing_support::readFile;
using testing_support::runProgram;
using testing_support::writeFile;

ProgramRun sim(const TempFolder& folder, std::vector<std::string> args) {
  args.insert(args.begin(), KESTOVA_SIM_PATH);
  return runProgram(folder, args);
}

// xmllint's verdict, or a skip where it is not installed.
#define EXPECT_VALID_XML(folder, path)                                                  \
  do {                                                                                  \
    if (!testing_support::haveProgram("xmllint")) GTEST_SKIP() << "xmllint is missing"; \
    const ProgramRun lint = runProgram(folder, {"xmllint", "--noout", path});           \
    EXPECT_EQ(lint.status, 0) << lint.err;                                              \
    EXPECT_EQ(lint.err, "");                                                            \
  } while (false)

TEST(Svg, TheDemoPictureShowsWhatTheTableShowsAndTheTableStillPrints) {
  const TempFolder folder = testing_support::tempFolder();
  const ProgramRun run = sim(folder, {"--svg", "demo.svg"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(lines(run.out).back(), "end: 16 ticks, 0 protocol errors");
  const std::string svg = readFile(folder.path() / "demo.svg");
  // The demo: a tap released on tick 7 after 64 units, a sprint on 10-11, the camera on 14.
  EXPECT_THAT(svg, HasSubstr("aim control held, ticks 3\u20137"));
  EXPECT_THAT(
      svg, HasSubstr("release on tick 7 after 64 timer units; the tap window is [50, 100): a tap"));
  EXPECT_THAT(svg, HasSubstr(">64 tap</text>"));
  EXPECT_THAT(svg, HasSubstr("aim latch on, ticks 7\u201313"));
  EXPECT_THAT(svg, HasSubstr("forced aim off sent, ticks 10\u201311"));
  EXPECT_THAT(svg, HasSubstr("forced aim on sent, ticks 12\u201314"));
  EXPECT_THAT(svg, HasSubstr("sprint held, ticks 10\u201311"));
  EXPECT_THAT(svg, HasSubstr("next camera pressed, tick 14"));
  EXPECT_THAT(svg, Not(HasSubstr("protocol errors")));
  EXPECT_VALID_XML(folder, "demo.svg");
}

TEST(Svg, TheTapWindowIsTheOneThePluginReadFromItsSettingsFile) {
  const TempFolder folder = testing_support::tempFolder();
  // 70ms reads 70 and 0x78 is 120: a press of 64 units is too short for this window.
  writeFile(folder, "odd.ini", "[Settings]\nShortPress=70ms\nLongPress=0x78\n");
  writeFile(folder, "tap.scn",
            "settings-file odd.ini\nclock 1000 16\ntick 2 aim-down\ntick 6 aim-up\nticks 10\n");
  const ProgramRun run = sim(folder, {"tap.scn", "--svg", "tap.svg"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string svg = readFile(folder.path() / "tap.svg");
  EXPECT_THAT(svg, HasSubstr("ShortPress 70, LongPress 120"));
  EXPECT_THAT(svg, HasSubstr(">64 short</text>"));
  // Pressed at 1016: a release from 1086 (tick 7) to before 1136 (tick 9) would have been a tap.
  EXPECT_THAT(svg, HasSubstr("a release here is a tap, ticks 7\u20139"));
}

cli::TickRecord tickAt(uint64_t number, uint32_t timer, std::vector<uint32_t> seen = {}) {
  cli::TickRecord t;
  t.tick = number;
  t.inputs.timerReads = {timer};
  for (const uint32_t read : seen) t.summary.timerSeen[t.summary.timerSeenCount++] = read;
  t.summary.forcedAim = false;
  return t;
}

TEST(Svg, ReleasesAreTimedWithThePluginsOwnTimerReads) {
  cli::Scenario scenario;
  scenario.name = "by hand";
  cli::RunSummary run;
  run.ticksRun = 4;
  // Tick 1: press and release at once; the press takes the first read, the release the next
  // two. Tick 2: a press under the wheel is not taken. Tick 4: its release is timed from the
  // press of tick 1.
  run.firstTicks = {tickAt(1, 1000, {1000, 1060, 1061}), tickAt(2, 1016), tickAt(3, 1032),
                    tickAt(4, 1048, {1400, 1401})};
  run.firstTicks[0].inputs.aimDown = run.firstTicks[0].inputs.aimUp = true;
  run.firstTicks[1].inputs.aimDown = run.firstTicks[1].inputs.wheel = true;
  run.firstTicks[3].inputs.aimUp = true;
  const std::string svg = cli::drawTimeline(scenario, run);
  EXPECT_THAT(svg, HasSubstr(">60 tap</text>"));
  EXPECT_THAT(svg, HasSubstr("(press ignored: the weapon wheel is open)"));
  EXPECT_THAT(svg, HasSubstr("release on tick 4, timed from the plugin's earlier press time"));
  EXPECT_THAT(svg, HasSubstr("after 400 timer units"));
}

TEST(Svg, OddNamesAndPathsStayValidXml) {
  const TempFolder folder = testing_support::tempFolder();
  cli::Scenario scenario;
  scenario.name = "<scenario & \"friends\"> \xFF\x01\xE2\x82";
  cli::RunSummary run;
  run.stopped = common::Error("the plugin's script stopped: </svg>");
  run.ticksRun = 1;
  run.firstTicks = {tickAt(1, 0xFFFFFFFF)};
  writeFile(folder, "odd.svg", cli::drawTimeline(scenario, run));
  EXPECT_VALID_XML(folder, "odd.svg");
}

TEST(Svg, LongRunsDrawTheirFirstTicksAndSaySo) {
  const TempFolder folder = testing_support::tempFolder();
  writeFile(folder, "long.scn", "ticks 2500\ntick 2400 aim-down\ntick 2404 aim-up\n");
  const ProgramRun run = sim(folder, {"long.scn", "--svg", "long.svg"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(lines(run.out).back(), "end: 2500 ticks, 0 protocol errors");
  const std::string svg = readFile(folder.path() / "long.svg");
  EXPECT_THAT(svg, HasSubstr("2500 ticks \u00b7 "));
  EXPECT_THAT(svg, HasSubstr("only ticks 1\u20132000 are drawn"));
  EXPECT_THAT(svg, Not(HasSubstr("tick 2400")));
  EXPECT_LT(svg.size(), 200'000u);
}

TEST(Svg, HoldModeAsksNoWeaponAndFailedQueriesAreMarked) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string scenarios = std::string(KESTOVA_SOURCE_DIR) + "/scenarios/";
  ASSERT_EQ(sim(folder, {scenarios + "hold-mode.scenario", "--svg", "hold.svg"}).status, 0);
  const std::string hold = readFile(folder.path() / "hold.svg");
  EXPECT_THAT(hold, HasSubstr("no weapon query made (hold mode makes none)"));
  EXPECT_THAT(hold, Not(HasSubstr("forced aim on sent,")));

  ASSERT_EQ(sim(folder, {scenarios + "failed-weapon-query.scenario", "--svg", "f.svg"}).status, 0);
  const std::string failed = readFile(folder.path() / "f.svg");
  EXPECT_THAT(
      failed,
      HasSubstr("weapon query failed: the plugin keeps what it saw before, ticks 8\u201312"));
  // Unarmed as last seen through the failures, armed again once a query succeeds on tick 13.
  EXPECT_THAT(failed, HasSubstr("unarmed, as the weapon query saw it, ticks 1\u201312"));
}

TEST(Svg, APluginThatBreaksTheHostContractIsShownSoInItsPicture) {
  const TempFolder folder = testing_support::tempFolder();
  const ProgramRun stopped =
      sim(folder, {"--plugin", KESTOVA_MISBEHAVING_RETURNS, "--svg", "s.svg"});
  EXPECT_EQ(stopped.status, 1);
  EXPECT_THAT(
      readFile(folder.path() / "s.svg"),
      HasSubstr("run stopped: the plugin's script stopped: script#1 returned from its entry"));

  const ProgramRun faulty = sim(folder, {"--plugin", KESTOVA_MISBEHAVING_FAULTY, "--svg", "f.svg"});
  EXPECT_EQ(faulty.status, 1);
  EXPECT_THAT(readFile(folder.path() / "f.svg"), HasSubstr("protocol error, ticks 1\u201316"));
  EXPECT_VALID_XML(folder, "f.svg");
}

TEST(Svg, APictureThatCouldNotBeWrittenStopsTheRunBeforeItStarts) {
  const TempFolder folder = testing_support::tempFolder();
  const std::string scenario = writeFile(folder, "s.scn", "tick 1\n");
  fs::create_directory(folder.path() / "pictures");
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--svg", "missing/x.svg"}, "missing/x.svg: there is no folder missing"},
      {{"--svg", "pictures"}, "pictures: is a folder"},
      {{"s.scn", "--svg", "s.scn"}, "s.scn: is the scenario itself"},
      {{"--svg"}, "kestova-sim: --svg: 1 required OUT.svg missing (see kestova-sim --help)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProgramRun run = sim(folder, c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.message + "\n");
  }
  EXPECT_EQ(readFile(scenario), "tick 1\n");
}

// ---- what a browser makes of it --------------------------------------------------------------

struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB
};

std::optional<Image> decodePng(const std::string& bytes) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()) == 0) return std::nullopt;
  png.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) == 0) return std::nullopt;
  Image image{png.width, png.height, {}};
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    image.pixels.push_back(uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2]);
  }
  return image;
}

TEST(Svg, RendersInAHeadlessBrowserAsAPictureWithTheRowsColours) {
  if (!testing_support::haveProgram("chromium")) GTEST_SKIP() << "chromium is missing";
  const TempFolder folder = testing_support::tempFolder();
  ASSERT_EQ(sim(folder, {"--svg", "demo.svg"}).status, 0);
  const std::string png = (folder.path() / "demo.png").string();
  const ProgramRun browser = runProgram(
      folder, {"timeout", "120", "chromium", "--headless", "--no-sandbox", "--disable-gpu",
               "--disable-quic", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync",
               "--user-data-dir=" + (folder.path() / "profile").string(), "--screenshot=" + png,
               "--window-size=900,560", "file://" + (folder.path() / "demo.svg").string()});
  ASSERT_EQ(browser.status, 0) << browser.err;
  const std::optional<Image> image = decodePng(readFile(png));
  ASSERT_TRUE(image) << "not a PNG this test can read";
  EXPECT_EQ(image->width, 900u);
  EXPECT_EQ(image->height, 560u);
  const std::set<uint32_t> colours(image->pixels.begin(), image->pixels.end());
  EXPECT_GT(colours.size(), 20u);  // text, rows and legend, not a blank page
  for (const uint32_t colour : {0x2F6FD0u, 0x2E9E4Fu, 0xE08A1Eu, 0x138A8Au}) {
    EXPECT_TRUE(colours.count(colour)) << std::hex << "no pixel of colour " << colour;
  }
}

}  // namespace
