// The checker's PE reader on program files made to measure, natively: what a player's DLL is,
// and why a wrong or broken one is not one. Under Wine the same reader is also held to the real
// DLL and Windows' own version API (version_resource_test.cpp).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "cli/check/pe_file.h"
#include "tests/support/pe_image.h"

namespace {

using ::testing::StartsWith;
using testing_support::peBytes;
using testing_support::PeImage;

TEST(PeFile, AnX64DllWithAVersionResourceReadsWhole) {
  const common::Result<cli::PeModule> module = cli::readPeModule(peBytes({}));
  ASSERT_TRUE(module) << module.error().message;
  EXPECT_EQ(module->machine, cli::PeModule::kMachineX64);
  EXPECT_TRUE(module->dll);
  ASSERT_TRUE(module->fileVersion);
  EXPECT_EQ(cli::versionText(*module->fileVersion), "1.2.3.4");
  EXPECT_EQ(cli::versionText({1, 1, 0, 0}), "1.1.0");

  PeImage x86;
  x86.machine = cli::PeModule::kMachineX86;
  x86.magic = 0x10B;
  x86.dll = false;
  const common::Result<cli::PeModule> program = cli::readPeModule(peBytes(x86));
  ASSERT_TRUE(program);
  EXPECT_EQ(program->machine, cli::PeModule::kMachineX86);
  EXPECT_FALSE(program->dll);
}

TEST(PeFile, NoVersionResourceOrABrokenOneIsNoVersion) {
  PeImage none;
  none.version.reset();
  PeImage badSignature;
  badSignature.fixedInfoSignature = 0xFEEF04BC;
  for (const PeImage& image : {none, badSignature}) {
    const common::Result<cli::PeModule> module = cli::readPeModule(peBytes(image));
    ASSERT_TRUE(module);
    EXPECT_FALSE(module->fileVersion);
  }
}

TEST(PeFile, WhatIsNotAProgramFileSaysWhatItIsInstead) {
  const std::string whole = peBytes({});
  std::string oldDos = whole;
  oldDos[0x40] = 'N';
  PeImage unknown;
  unknown.magic = 0x107;
  const struct {
    std::string bytes;
    const char* says;
  } cases[] = {
      {"<html>404</html>", "is not a Windows program file"},
      {std::string("MZ") + std::string(30, '\0'), "is not a Windows program file"},
      {oldDos, "is not a Windows program file (an old DOS header only)"},
      {peBytes(unknown), "is a Windows program file of an unknown kind"},
      {whole.substr(0, 0x150), "is cut short: it ends inside its own headers"},
      {whole.substr(0, 0x300), "is cut short: it is smaller than its headers say"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    const common::Result<cli::PeModule> module = cli::readPeModule(c.bytes);
    ASSERT_FALSE(module);
    EXPECT_THAT(module.error().message, StartsWith(c.says));
  }
}

}  // namespace
