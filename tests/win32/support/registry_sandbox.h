// Registry values read and written straight through advapi32, gtest checks of type and data, and a
// sandbox that puts every key and value a test touches back the way it found them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zvtest {

struct RegData {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

RegData ReadValue(HKEY root, const std::string& path, const std::string& name);
bool KeyExists(HKEY root, const std::string& path);
void WriteSz(HKEY root, const std::string& path, const std::string& name, const std::string& text);
void WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
void DeleteValue(HKEY root, const std::string& path, const std::string& name);
// "REG_SZ "576"", "REG_DWORD 2144", "absent", ...
std::string Describe(const RegData& value);

// A REG_SZ with exactly that text (a stored terminator is allowed).
::testing::AssertionResult HasSz(HKEY root, const std::string& path, const std::string& name,
                                 const std::string& text);
::testing::AssertionResult HasDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
::testing::AssertionResult IsAbsent(HKEY root, const std::string& path, const std::string& name);

// Keys and values a test uses: snapshot when guarded, cleared for the test if asked, and put back
// exactly (or removed again, when they did not exist) when the sandbox goes, last guarded first.
class RegistrySandbox {
public:
    RegistrySandbox() = default;
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    ~RegistrySandbox();

    void GuardKey(HKEY root, const std::string& path, bool clear = true);
    void GuardValue(HKEY root, const std::string& path, const std::string& name, bool clear = true);

    struct KeyTree {
        std::string name;
        std::vector<std::pair<std::string, RegData>> values;
        std::vector<KeyTree> subkeys;
    };

private:
    struct Guard {
        HKEY root;
        std::string path;
        std::string value;  // empty for a key
        bool isKey;
        bool existed;
        KeyTree tree;
        RegData data;
    };
    std::vector<Guard> guards_;
};

// Every key and value that zarvelo's main window and its optimization change, guarded and
// cleared: its own settings, the adapter classes and bindings, the 9x protocol keys, the
// Internet connection limits, the nine NT values, and the Windows version Wine reports to it. Write
// runs start with their review off.
void GuardZarveloKeys(RegistrySandbox& sandbox);

// Paths used by the Windows tests, as zarvelo writes them.
inline const std::string kZarveloSettingsKey = "SOFTWARE\\Quonibar\\Zarvelo";
inline const std::string kClassNet = "System\\CurrentControlSet\\Services\\Class\\Net\\";
inline const std::string kClassKey = "System\\CurrentControlSet\\Services\\Class\\";
inline const std::string kMstcpEnum = "Enum\\Network\\MSTCP";
inline const std::string kMstcpKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline const std::string kMstcpParameters = "System\\CurrentControlSet\\Services\\VxD\\MSTCP\\Parameters";
inline const std::string kNwlinkKey = "System\\CurrentControlSet\\Services\\VxD\\NWLink";
inline const std::string kNetbeuiKey = "System\\CurrentControlSet\\Services\\VxD\\NETBEUI";
inline const std::string kInternetKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline const std::string kTcpipKey = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline const char* const kTcpipValues[9] = {"DefaultTTL",     "EnablePMTUBHDetect", "EnablePMTUDiscovery",
                                            "TcpUseRFC1122UrgentPointer", "TcpWindowSize", "SessionKeepAlive",
                                            "TcpMaxDupAcks", "SackOpts", "Tcp1323Opts"};

}  // namespace zvtest
