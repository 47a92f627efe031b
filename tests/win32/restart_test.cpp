// RestartComputer: the shutdown privilege is enabled before ExitWindowsEx is asked to reboot. The
// exit call is replaced here; the privilege step runs for real under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/win32/shell_commands.h"

namespace {

bool ShutdownPrivilegeEnabled() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    LUID shutdown{};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown);
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    bool enabled = false;
    if (size && GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
            if (p.Luid.LowPart == shutdown.LowPart && p.Luid.HighPart == shutdown.HighPart) {
                enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
            }
        }
    }
    CloseHandle(token);
    return enabled;
}

struct ExitCall {
    UINT flags;
    DWORD reason;
    bool privilegeEnabled;
};
std::vector<ExitCall> g_calls;

BOOL WINAPI RecordExit(UINT flags, DWORD reason) {
    g_calls.push_back({flags, reason, ShutdownPrivilegeEnabled()});
    return TRUE;
}

TEST(RestartComputer, EnablesTheShutdownPrivilegeThenAsksForAReboot) {
    g_calls.clear();
    zv::RestartComputer(&RecordExit);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].flags, static_cast<UINT>(EWX_REBOOT));
    EXPECT_EQ(g_calls[0].reason, 0xFFFFFFFFu);
    EXPECT_TRUE(g_calls[0].privilegeEnabled) << "the privilege must be on before the exit call";
}

TEST(RestartComputer, EnableShutdownPrivilegeReportsSuccess) { EXPECT_TRUE(zv::EnableShutdownPrivilege()); }

}  // namespace
