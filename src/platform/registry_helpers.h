// The eight registry helpers every registry access of both programs goes through.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace zv {

using ByteArray = std::vector<std::uint8_t>;

// Each call opens or creates its key, does one thing and closes it again. Reads fall back to the
// caller's default; failures are never reported.
void DeleteRegValue(Registry& reg, RegKey root, const std::string& path, const std::string& name);
std::string ReadRegString(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                          const std::string& fallback = std::string());
void WriteRegString(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                    const std::string& value);
std::int32_t ReadRegDword(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                          std::int32_t fallback);
void WriteRegDword(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                   std::int32_t value);
// No value yields the caller's default, or nothing when none was given (the "integer 0" result).
std::optional<ByteArray> ReadRegBinary(Registry& reg, RegKey root, const std::string& path,
                                       const std::string& name,
                                       std::optional<ByteArray> fallback = std::nullopt);
void WriteRegBinary(Registry& reg, RegKey root, const std::string& path, const std::string& name,
                    const ByteArray& value);
std::vector<std::string> EnumRegSubkeys(Registry& reg, RegKey root, const std::string& path);

}  // namespace zv
