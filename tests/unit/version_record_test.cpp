// The about window's version line, read from the bytes of a version record.
#include <gtest/gtest.h>

#include <vector>

#include "app/version_record.h"

namespace zv {
namespace {

// A version record as windres writes it: header, key, padding, then the fixed file information.
std::vector<unsigned char> Record(std::uint32_t ms, std::uint32_t ls, std::uint32_t signature = 0xFEEF04BD,
                                  const char* key = "VS_VERSION_INFO") {
    std::vector<unsigned char> r;
    auto word = [&r](unsigned w) { r.push_back(w & 0xFF), r.push_back((w >> 8) & 0xFF); };
    auto dword = [&](std::uint32_t d) { word(d & 0xFFFF), word(d >> 16); };
    word(92), word(52), word(0);
    for (const char* k = key;; ++k) {
        word(static_cast<unsigned char>(*k));
        if (!*k) break;
    }
    while (r.size() % 4) r.push_back(0);
    dword(signature), dword(0x10000), dword(ms), dword(ls);
    while (r.size() < 92) r.push_back(0);
    return r;
}

TEST(VersionRecord, TheFileVersionBecomesTheAboutLine) {
    const struct {
        std::uint32_t ms, ls;
        const char* text;
    } cases[] = {{0x00010000, 0x00000000, "Version 1.0.0"}, {0x00010002, 0x00030004, "Version 1.2.3.4"},
                 {0xFFFF000A, 0x00140000, "Version 65535.10.20"}};
    for (const auto& c : cases) {
        const std::vector<unsigned char> r = Record(c.ms, c.ls);
        const auto v = FileVersionOf(r.data(), r.size());
        ASSERT_TRUE(v) << c.text;
        EXPECT_EQ(VersionText(*v), c.text);
    }
}

TEST(VersionRecord, AnythingElseHasNoVersion) {
    const std::vector<unsigned char> good = Record(0x00010000, 0);
    EXPECT_FALSE(FileVersionOf(good.data(), 91)) << "cut short";
    EXPECT_FALSE(FileVersionOf(nullptr, 0));
    const std::vector<unsigned char> signature = Record(0x00010000, 0, 0xFEEF04BE);
    EXPECT_FALSE(FileVersionOf(signature.data(), signature.size())) << "signature";
    const std::vector<unsigned char> key = Record(0x00010000, 0, 0xFEEF04BD, "VS_VERSION_INFP");
    EXPECT_FALSE(FileVersionOf(key.data(), key.size())) << "key";
}

}  // namespace
}  // namespace zv
