// Reads the fixed part of a version record.
#include "app/version_record.h"

namespace zv {

namespace {
// The record opens with its length, the length of its value and its type (16 bits each), then the
// key "VS_VERSION_INFO" in UTF-16 with its NUL, padded to 32 bits: the fixed file information
// (VS_FIXEDFILEINFO, 52 bytes) starts at byte 40.
constexpr std::size_t kFixedInfoAt = 40;
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint32_t kSignature = 0xFEEF04BD;
constexpr char kKey[] = "VS_VERSION_INFO";

std::uint16_t Word(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Dword(const unsigned char* p) { return Word(p) | (static_cast<std::uint32_t>(Word(p + 2)) << 16); }
}  // namespace

std::optional<std::array<std::uint16_t, 4>> FileVersionOf(const unsigned char* data, std::size_t size) {
    if (!data || size < kFixedInfoAt + kFixedInfoSize) return std::nullopt;
    if (Word(data) > size || Word(data) < kFixedInfoAt + kFixedInfoSize || Word(data + 2) < kFixedInfoSize) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < sizeof kKey; ++i) {
        if (Word(data + 6 + 2 * i) != static_cast<unsigned char>(kKey[i])) return std::nullopt;
    }
    const unsigned char* fixed = data + kFixedInfoAt;
    if (Dword(fixed) != kSignature) return std::nullopt;
    const std::uint32_t ms = Dword(fixed + 8), ls = Dword(fixed + 12);
    return std::array<std::uint16_t, 4>{static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
                                        static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF)};
}

std::string VersionText(const std::array<std::uint16_t, 4>& v) {
    std::string text = "Version " + std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]);
    if (v[3] != 0) text += "." + std::to_string(v[3]);
    return text;
}

}  // namespace zv
