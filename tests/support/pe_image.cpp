#include "tests/support/pe_image.h"

namespace testing_support {
namespace {

void put16(std::string& bytes, size_t at, uint32_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string& bytes, size_t at, uint32_t value) {
  put16(bytes, at, value & 0xFFFF);
  put16(bytes, at + 2, value >> 16);
}

}  // namespace

std::string peBytes(const PeImage& image) {
  // Headers, then the resource section at file offset 0x200, mapped at 0x1000.
  constexpr size_t kPe = 0x40;
  constexpr size_t kOptional = kPe + 24;
  constexpr uint32_t kOptionalSize = 112 + 16 * 8;
  constexpr size_t kSectionTable = kOptional + kOptionalSize;
  constexpr uint32_t kRaw = 0x200;
  constexpr uint32_t kRva = 0x1000;
  constexpr uint32_t kRawSize = 0x200;
  std::string bytes(kRaw + kRawSize, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  put32(bytes, 0x3C, kPe);
  bytes.replace(kPe, 4, std::string("PE\0\0", 4));
  put16(bytes, kPe + 4, image.machine);
  put16(bytes, kPe + 6, 1);
  put16(bytes, kPe + 20, kOptionalSize);
  put16(bytes, kPe + 22, image.dll ? 0x2022 : 0x0022);
  put16(bytes, kOptional, image.magic);
  put32(bytes, kOptional + 108, 16);
  bytes.replace(kSectionTable, 5, ".rsrc");
  put32(bytes, kSectionTable + 8, kRawSize);
  put32(bytes, kSectionTable + 12, kRva);
  put32(bytes, kSectionTable + 16, kRawSize);
  put32(bytes, kSectionTable + 20, kRaw);
  if (!image.version) return bytes;

  put32(bytes, kOptional + 112 + 2 * 8, kRva);
  put32(bytes, kOptional + 112 + 2 * 8 + 4, kRawSize);
  // Three directories, type (16, the version), name and language, one entry each, then the data
  // entry and the VS_VERSIONINFO it points to.
  const auto directory = [&bytes](uint32_t at, uint32_t id, uint32_t next) {
    put16(bytes, kRaw + at + 14, 1);
    put32(bytes, kRaw + at + 16, id);
    put32(bytes, kRaw + at + 20, next);
  };
  directory(0x00, 16, 0x80000018);
  directory(0x18, 1, 0x80000030);
  directory(0x30, 0x409, 0x48);
  put32(bytes, kRaw + 0x48, kRva + 0x60);
  put32(bytes, kRaw + 0x4C, 40 + 52);
  const uint32_t info = kRaw + 0x60 + 40;
  put32(bytes, info, image.fixedInfoSignature);
  const std::array<uint16_t, 4>& v = *image.version;
  put32(bytes, info + 8, uint32_t{v[0]} << 16 | v[1]);
  put32(bytes, info + 12, uint32_t{v[2]} << 16 | v[3]);
  return bytes;
}

}  // namespace testing_support
