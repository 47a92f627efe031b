// The Review Changes window: a report list of the change set, its counts, Write Changes and Cancel.
#include "app/win32/review_window.h"

#include <commctrl.h>

#include <array>

#include "app/win32/resource.h"
#include "platform/win32/window_base.h"

namespace zv {
namespace {

class ReviewWindow final : public WindowBase {
public:
    ReviewWindow(HINSTANCE instance, const ChangeSet& changes, const WriteRun& run)
        : instance_(instance), changes_(changes), run_(run) {}

private:
    Result OnMessage(HWND, UINT msg, WPARAM wp, LPARAM) override {
        switch (msg) {
        case WM_INITDIALOG:
            Form_Load();
            return TRUE;  // the focus goes to the list, the first control that takes it
        case WM_COMMAND:
            switch (LOWORD(wp)) {
            case IDOK:
            case IDC_Review_Command1:
                EndDialog(hwnd_, IDOK);
                return 0;
            case IDCANCEL:
            case IDC_Review_Command2:
                EndDialog(hwnd_, IDCANCEL);
                return 0;
            default:
                return std::nullopt;
            }
        default:
            return std::nullopt;
        }
    }

    void RestoreAfterFailure() override {}

    void Form_Load() {
        HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_Zarvelo));
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        const std::string what = RunKindName(run_.kind) + (run_.detail.empty() ? "" : ": " + run_.detail);
        SetDlgItemTextA(hwnd_, IDC_Review_Label1, what.c_str());
        SetDlgItemTextA(hwnd_, IDC_Review_Label2, ChangeSummary(changes_).c_str());
        FillList1();
    }

    void FillList1() {
        HWND list = GetDlgItem(hwnd_, IDC_Review_List1);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        RECT rc{};
        GetClientRect(list, &rc);
        const int width = rc.right - GetSystemMetrics(SM_CXVSCROLL);
        // Key, value name, now, after: the key path is the longest.
        const std::array<const char*, 4> captions = {"Key", "Value", "Now", "After"};
        const std::array<int, 4> shares = {46, 18, 18, 18};
        for (int i = 0; i < 4; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<char*>(captions[static_cast<std::size_t>(i)]);
            column.cx = width * shares[static_cast<std::size_t>(i)] / 100;
            column.iSubItem = i;
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        int row = 0;
        for (const ValueChange& change : changes_.rows) {
            const std::array<std::string, 4> cells = {KeyText(change.where), ValueNameText(change.where.name),
                                                      NowText(change), AfterText(change)};
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = const_cast<char*>(cells[0].c_str());
            const auto at = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if (at < 0) continue;
            for (int sub = 1; sub < 4; ++sub) {
                LVITEMA cell{};
                cell.iSubItem = sub;
                cell.pszText = const_cast<char*>(cells[static_cast<std::size_t>(sub)].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&cell));
            }
            ++row;
        }
        if (row > 0) {
            LVITEMA first{};
            first.stateMask = LVIS_FOCUSED;
            first.state = LVIS_FOCUSED;
            SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
        }
    }

    HINSTANCE instance_;
    const ChangeSet& changes_;
    const WriteRun& run_;
};

}  // namespace

bool ShowReviewWindow(HINSTANCE instance, HWND owner, const ChangeSet& changes, const WriteRun& run) {
    ReviewWindow window(instance, changes, run);
    const INT_PTR answer = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_Review), owner, WindowBase::DialogProc,
                                           WindowBase::CreationParam(&window));
    return answer == IDOK;
}

}  // namespace zv
