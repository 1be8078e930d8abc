// The version players see in a file's Properties, Details, read back by Windows' own version API
// from the DLL and the checker built beside this test, and the checker's PE reader agreeing.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/check/pe_file.h"
#include "kestova_version.h"

namespace {

// Built beside this program, wherever the test runs from.
std::filesystem::path besideThisProgram(const wchar_t* name) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path() / name;
}

std::string bytesOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct Resource {
  VS_FIXEDFILEINFO fixed{};
  std::wstring productName, fileVersion, originalFilename;
};

std::wstring stringValue(std::vector<char>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"";
  return static_cast<const wchar_t*>(value);
}

bool readResource(const wchar_t* file, Resource& resource) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(file, 0, size, block.data())) return false;
  void* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", &fixed, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  resource.fixed = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
  resource.productName = stringValue(block, L"ProductName");
  resource.fileVersion = stringValue(block, L"FileVersion");
  resource.originalFilename = stringValue(block, L"OriginalFilename");
  return true;
}

TEST(VersionResource, WindowsReadsTheProjectVersionFromTheDllAndTheChecker) {
  const std::wstring version(KESTOVA_VERSION, KESTOVA_VERSION + sizeof(KESTOVA_VERSION) - 1);
  for (const wchar_t* file : {L"Kestova.dll", L"KestovaCheck.exe"}) {
    SCOPED_TRACE(std::string(file, file + wcslen(file)));
    Resource resource;
    const std::filesystem::path path = besideThisProgram(file);
    ASSERT_TRUE(readResource(path.c_str(), resource));
    EXPECT_EQ(resource.fixed.dwFileVersionMS,
              DWORD{KESTOVA_VERSION_MAJOR} << 16 | KESTOVA_VERSION_MINOR);
    EXPECT_EQ(resource.fixed.dwFileVersionLS, DWORD{KESTOVA_VERSION_PATCH} << 16);
    EXPECT_EQ(resource.fixed.dwProductVersionMS, resource.fixed.dwFileVersionMS);
    EXPECT_EQ(resource.fileVersion, version);
    EXPECT_EQ(resource.productName, L"Kestova");
    EXPECT_EQ(resource.originalFilename, file);

    const std::string bytes = bytesOf(path);
    const common::Result<cli::PeModule> module = cli::readPeModule(bytes);
    ASSERT_TRUE(module.ok());
    EXPECT_EQ(module->machine, cli::PeModule::kMachineX64);
    ASSERT_TRUE(module->fileVersion.has_value());
    EXPECT_EQ(cli::versionText(*module->fileVersion), KESTOVA_VERSION);
  }
}

TEST(VersionResource, ACutShortDllIsBrokenAtEveryLength) {
  const std::string bytes = bytesOf(besideThisProgram(L"Kestova.dll"));
  ASSERT_GT(bytes.size(), 1024u);
  EXPECT_TRUE(cli::readPeModule(bytes).ok());
  // Every length short of the whole file is a broken download; none may be read past its end.
  for (size_t length = 0; length < bytes.size(); length += 7) {
    EXPECT_FALSE(cli::readPeModule(std::string_view(bytes).substr(0, length)).ok()) << length;
  }
}

}  // namespace
