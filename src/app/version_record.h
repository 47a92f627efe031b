// The program's version as its version record (the VS_VERSION_INFO resource) holds it, for the
// about window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zv {

// The four parts of the file version (major, minor, patch, build) from the resource's bytes, or
// nothing when they are not a version record.
std::optional<std::array<std::uint16_t, 4>> FileVersionOf(const unsigned char* data, std::size_t size);

// "Version 1.0.0"; the build number follows only when it is not 0 ("Version 1.2.3.4").
std::string VersionText(const std::array<std::uint16_t, 4>& version);

}  // namespace zv
