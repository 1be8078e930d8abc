#include "cli/check/pe_file.h"

#include <vector>

namespace cli {
namespace {

constexpr uint16_t kFileIsDll = 0x2000;
constexpr uint16_t kOptionalPe32 = 0x10B;
constexpr uint16_t kOptionalPe32Plus = 0x20B;
constexpr uint32_t kResourceDirectory = 2;
constexpr uint32_t kVersionResource = 16;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kSubdirectory = 0x80000000u;

struct Section {
  uint32_t virtualAddress = 0;
  uint32_t rawOffset = 0;
  uint32_t rawSize = 0;
};

// Little-endian reads that say when they run off the end.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool has(uint64_t offset, uint64_t count) const { return offset + count <= bytes_.size(); }
  uint32_t u16(uint64_t offset) const { return byte(offset) | byte(offset + 1) << 8; }
  uint32_t u32(uint64_t offset) const { return u16(offset) | u16(offset + 2) << 16; }

 private:
  uint32_t byte(uint64_t offset) const {
    return has(offset, 1) ? static_cast<unsigned char>(bytes_[offset]) : 0;
  }
  std::string_view bytes_;
};

// The file offset of an RVA range, or nullopt when no section holds it in the file.
std::optional<uint64_t> fileOffset(const std::vector<Section>& sections, uint32_t rva,
                                   uint32_t size) {
  for (const Section& s : sections) {
    const uint64_t end = uint64_t{rva} + size;
    if (rva >= s.virtualAddress && end <= uint64_t{s.virtualAddress} + s.rawSize) {
      return uint64_t{s.rawOffset} + (rva - s.virtualAddress);
    }
  }
  return std::nullopt;
}

// The first entry of a resource directory whose id is wanted (or any, for 0), as its offset
// field: a subdirectory or a data entry, relative to the resource section.
std::optional<uint32_t> resourceEntry(const Reader& r, uint64_t base, uint64_t directory,
                                      uint32_t wanted) {
  if (!r.has(base + directory, 16)) return std::nullopt;
  const uint32_t named = r.u16(base + directory + 12);
  const uint32_t ids = r.u16(base + directory + 14);
  const uint64_t entries = base + directory + 16;
  for (uint32_t i = named; i < named + ids; ++i) {
    const uint64_t entry = entries + static_cast<uint64_t>(i) * 8;
    if (!r.has(entry, 8)) return std::nullopt;
    if (wanted == 0 || r.u32(entry) == wanted) return r.u32(entry + 4);
  }
  return std::nullopt;
}

std::optional<std::array<uint16_t, 4>> versionOf(const Reader& r,
                                                 const std::vector<Section>& sections,
                                                 uint32_t resourceRva, uint32_t resourceSize) {
  const std::optional<uint64_t> base = fileOffset(sections, resourceRva, resourceSize);
  if (!base) return std::nullopt;
  // Type, then name, then language, whose entry is the data entry: two subdirectories down.
  uint32_t at = 0;
  for (int depth = 0; depth < 3; ++depth) {
    const std::optional<uint32_t> entry =
        resourceEntry(r, *base, at & ~kSubdirectory, depth == 0 ? kVersionResource : 0);
    if (!entry || ((*entry & kSubdirectory) != 0) != (depth < 2)) return std::nullopt;
    at = *entry;
  }
  if (!r.has(*base + at, 16)) return std::nullopt;
  const uint32_t dataRva = r.u32(*base + at);
  const uint32_t dataSize = r.u32(*base + at + 4);
  // VS_VERSIONINFO: three 16-bit fields, the key "VS_VERSION_INFO" and its NUL, padding to 32
  // bits, then the fixed information.
  constexpr uint32_t kFixedAt = 40;
  constexpr uint32_t kFixedSize = 52;
  const std::optional<uint64_t> info = fileOffset(sections, dataRva, dataSize);
  if (!info || dataSize < kFixedAt + kFixedSize || !r.has(*info, kFixedAt + kFixedSize) ||
      r.u32(*info + kFixedAt) != kFixedInfoSignature) {
    return std::nullopt;
  }
  const uint32_t high = r.u32(*info + kFixedAt + 8);
  const uint32_t low = r.u32(*info + kFixedAt + 12);
  return std::array<uint16_t, 4>{
      static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high & 0xFFFF),
      static_cast<uint16_t>(low >> 16), static_cast<uint16_t>(low & 0xFFFF)};
}

}  // namespace

common::Result<PeModule> readPeModule(std::string_view bytes) {
  const Reader r(bytes);
  if (!r.has(0, 64) || bytes[0] != 'M' || bytes[1] != 'Z') {
    return common::Error("is not a Windows program file");
  }
  const uint64_t pe = r.u32(0x3C);
  if (!r.has(pe, 24) || bytes.substr(pe, 4) != std::string_view("PE\0\0", 4)) {
    return common::Error("is not a Windows program file (an old DOS header only)");
  }
  PeModule module;
  module.machine = static_cast<uint16_t>(r.u16(pe + 4));
  const uint32_t sectionCount = r.u16(pe + 6);
  const uint32_t optionalSize = r.u16(pe + 20);
  module.dll = (r.u16(pe + 22) & kFileIsDll) != 0;
  const uint64_t optional = pe + 24;
  const uint32_t magic = r.u16(optional);
  if (magic != kOptionalPe32 && magic != kOptionalPe32Plus) {
    return common::Error("is a Windows program file of an unknown kind");
  }
  const uint64_t directories = optional + (magic == kOptionalPe32Plus ? 112 : 96);
  const uint32_t directoryCount = r.u32(directories - 4);
  const uint64_t sectionTable = optional + optionalSize;
  if (!r.has(sectionTable, uint64_t{sectionCount} * 40) || optionalSize < directories - optional) {
    return common::Error("is cut short: it ends inside its own headers");
  }
  std::vector<Section> sections;
  for (uint32_t i = 0; i < sectionCount; ++i) {
    const uint64_t header = sectionTable + static_cast<uint64_t>(i) * 40;
    const Section s{r.u32(header + 12), r.u32(header + 20), r.u32(header + 16)};
    if (s.rawSize > 0 && !r.has(s.rawOffset, s.rawSize)) {
      return common::Error("is cut short: it is smaller than its headers say");
    }
    sections.push_back(s);
  }
  if (directoryCount > kResourceDirectory &&
      optionalSize >= directories - optional + 8 * static_cast<uint64_t>(kResourceDirectory + 1)) {
    const uint64_t resource = directories + 8 * static_cast<uint64_t>(kResourceDirectory);
    const uint32_t rva = r.u32(resource);
    const uint32_t size = r.u32(resource + 4);
    if (rva != 0 && size != 0) module.fileVersion = versionOf(r, sections, rva, size);
  }
  return module;
}

std::string versionText(const std::array<uint16_t, 4>& v) {
  std::string text = std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]);
  return v[3] == 0 ? text : text + "." + std::to_string(v[3]);
}

}  // namespace cli
