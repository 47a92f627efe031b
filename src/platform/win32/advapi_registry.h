// The real registry, through advapi32's ANSI calls.
#pragma once

#include "platform/registry.h"

namespace zv {

class AdvapiRegistry : public Registry {
public:
    long OpenKey(RegKey root, const std::string& path, RegKey* result) override;
    long CreateKey(RegKey root, const std::string& path, RegKey* result) override;
    long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    long CloseKey(RegKey key) override;
    long FlushKey(RegKey key) override;
};

}  // namespace zv
