// Form1's offer in the restart notice: check the network after the restart, undo the change if it fails.
#include "app/win32/form1.h"

#include "app/win32/resource.h"
#include "platform/win32/desktop.h"
#include "writerun/network_check.h"
#include "writerun/win32/safety_disk_folder.h"
#include "writerun/write_run.h"

namespace zv {

void Form1::OfferNetworkCheck() {
    Registry& reg = *services_.registry;
    // Only a run whose safety backup is named can be undone by the check.
    networkCheckOffered_ = !ReadLastSafetyBackup(reg).empty();
    if (!networkCheckOffered_) return;
    // The host typed for an earlier check is proposed again.
    SetWindowTextA(Control(IDC_txtCheckHost), DefaultCheckHost(reg).c_str());
    CheckDlgButton(Frame1(kPageSummary), IDC_chkCheckNetwork, BST_CHECKED);
    txtCheckHost_Change();
}

void Form1::chkCheckNetwork_Click() { StoreNetworkCheck(); }

void Form1::txtCheckHost_Change() {
    char text[256] = {};
    GetWindowTextA(Control(IDC_txtCheckHost), text, sizeof text);
    SetWindowTextA(Control(IDC_chkCheckNetwork), CheckOfferText(text).c_str());
    StoreNetworkCheck();
}

void Form1::StoreNetworkCheck() {
    if (!networkCheckOffered_) return;
    Registry& reg = *services_.registry;
    char text[256] = {};
    GetWindowTextA(Control(IDC_txtCheckHost), text, sizeof text);
    std::string host = text;
    host.erase(0, host.find_first_not_of(' '));
    host.erase(host.find_last_not_of(' ') + 1);
    if (IsDlgButtonChecked(Frame1(kPageSummary), IDC_chkCheckNetwork) == BST_CHECKED && !host.empty()) {
        PendingCheck check;
        check.host = host;
        check.safetyBackup = ReadLastSafetyBackup(reg);
        check.time = LocalNow();
        if (!StorePendingCheck(reg, check, ProgramFilePath())) {
            // Nothing may look armed that will not run.
            CheckDlgButton(Frame1(kPageSummary), IDC_chkCheckNetwork, BST_UNCHECKED);
            SetWindowTextA(Control(IDC_chkCheckNetwork), kCheckNotArmedText);
        }
    } else {
        ClearPendingCheck(reg);
    }
}

}  // namespace zv
