// The Review Changes window: a report list of the change set, its counts, Write Changes and Cancel.
#include "app/win32/review_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <vector>

#include "app/win32/command_line_start.h"
#include "app/win32/frm_about.h"
#include "app/win32/resource.h"
#include "platform/opsysinfo.h"
#include "platform/win32/desktop.h"
#include "platform/win32/window_base.h"
#include "writerun/reg_export.h"
#include "writerun/win32/safety_disk_folder.h"

namespace zv {
namespace {

class ReviewWindow final : public WindowBase {
public:
    ReviewWindow(HINSTANCE instance, const ChangeSet& changes, const WriteRun& run)
        : instance_(instance), changes_(changes), run_(run) {}

private:
    Result OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_INITDIALOG:
            Form_Load();
            return TRUE;  // the focus goes to the list, the first control that takes it
        case WM_SIZE:
            if (wp != SIZE_MINIMIZED) Form_Resize(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_GETMINMAXINFO: {
            // Never smaller than the layout it was made with.
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize.x = minimum_.cx;
            info->ptMinTrackSize.y = minimum_.cy;
            return 0;
        }
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
            case IDC_Review_Command3:
                Export_Click();
                return 0;
            default:
                return std::nullopt;
            }
        default:
            return std::nullopt;
        }
    }

    void RestoreAfterFailure() override {}

    // A registry file for regedit on other computers, chosen by its file type in the save box: the
    // changes on this computer (the reviewed rows), or every value the run writes, which tunes a
    // computer in any state. Nothing is written to the registry here.
    void Export_Click() {
        static const char kTypes[] = "Registry file, the changes on this computer (*.reg)\0*.reg\0"
                                     "Registry file, all values the run writes (*.reg)\0*.reg\0";
        std::string path = "zarvelo.reg";
        int type = 1;
        if (!AskFileToSave(hwnd_, kTypes, "reg", &path, &type)) return;
        RegExportFacts facts = run_.facts;
        if (facts.connection.empty()) {
            facts.connection = RunKindName(run_.kind);
            facts.option = run_.detail;
        }
        // "Version 1.0.0" without its first word.
        const std::string version = ProgramVersionText();
        facts.programVersion = version.substr(version.find(' ') + 1);
        facts.family = FamilyOf(COpSysInfo(SystemVersionQuery()));
        facts.date = LocalNow();
        facts.allValues = type == 2;
        const std::string text = RegFileText(facts.allValues ? changes_.AllWrites() : changes_, facts);
        const std::string failed = WriteTextFile(path, text, false);
        if (!failed.empty()) {
            MessageBoxA(hwnd_, ("The file \"" + path + "\" could not be written. " + failed).c_str(),
                        "Zarvelo", MB_OK | MB_ICONEXCLAMATION);
        }
    }

    void Form_Load() {
        HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_Zarvelo));
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        const std::string what = RunKindName(run_.kind) + (run_.detail.empty() ? "" : ": " + run_.detail);
        SetDlgItemTextA(hwnd_, IDC_Review_Label1, what.c_str());
        SetDlgItemTextA(hwnd_, IDC_Review_Label2, ChangeSummary(changes_).c_str());
        FillList1();
        RECT window{};
        GetWindowRect(hwnd_, &window);
        minimum_ = SIZE{window.right - window.left, window.bottom - window.top};
        RECT client{};
        GetClientRect(hwnd_, &client);
        laidOut_ = SIZE{client.right, client.bottom};
        for (Anchored& a : anchored_) {
            GetWindowRect(GetDlgItem(hwnd_, a.id), &a.rect);
            MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&a.rect), 2);
        }
    }

    // The list grows with the window, the lines above and below it grow in width, the buttons keep
    // to the bottom right corner; the key column takes what the list gains.
    void Form_Resize(int width, int height) {
        if (laidOut_.cx == 0) return;  // before Form_Load
        const int dx = width - laidOut_.cx;
        const int dy = height - laidOut_.cy;
        for (const Anchored& a : anchored_) {
            RECT r = a.rect;
            if (a.right) r.right += dx;
            if (a.bottom) r.bottom += dy;
            if (a.moveX) OffsetRect(&r, dx, 0);
            if (a.moveY) OffsetRect(&r, 0, dy);
            SetWindowPos(GetDlgItem(hwnd_, a.id), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        SendMessageA(GetDlgItem(hwnd_, IDC_Review_List1), LVM_SETCOLUMNWIDTH, 0, keyWidth_ + dx);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void FillList1() {
        HWND list = GetDlgItem(hwnd_, IDC_Review_List1);
        // Full-row selection, and the whole text of a cut cell under the pointer where the common
        // controls know it (older ones ignore the bit).
        constexpr LPARAM kLabelTip = 0x4000;  // LVS_EX_LABELTIP
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | kLabelTip, LVS_EX_FULLROWSELECT | kLabelTip);
        std::vector<std::array<std::string, 4>> rows;
        for (const ValueChange& change : changes_.rows) {
            rows.push_back({KeyText(change.where), ValueNameText(change.where.name), NowText(change), AfterText(change)});
        }
        // Value, now and after as wide as their longest text (within a sixth, a quarter, a quarter);
        // the key, the longest, takes the rest.
        const std::array<const char*, 4> captions = {"Key", "Value", "Now", "After"};
        RECT rc{};
        GetClientRect(list, &rc);
        const int width = rc.right - GetSystemMetrics(SM_CXVSCROLL);
        auto textWidth = [list](const std::string& text) {
            return static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str()))) + 16;
        };
        std::array<int, 4> widths{};
        for (std::size_t c = 1; c < 4; ++c) {
            widths[c] = textWidth(captions[c]);
            for (const auto& row : rows) widths[c] = std::max(widths[c], textWidth(row[c]));
            widths[c] = std::min(widths[c], c == 1 ? width / 6 : width / 4);
        }
        widths[0] = std::max(width / 3, width - widths[1] - widths[2] - widths[3]);
        keyWidth_ = widths[0];
        for (int i = 0; i < 4; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<char*>(captions[static_cast<std::size_t>(i)]);
            column.cx = widths[static_cast<std::size_t>(i)];
            column.iSubItem = i;
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        int row = 0;
        for (const auto& cells : rows) {
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

    struct Anchored {
        int id;
        bool right, bottom, moveX, moveY;
        RECT rect;
    };

    HINSTANCE instance_;
    SIZE minimum_{};
    SIZE laidOut_{};
    int keyWidth_ = 0;
    std::array<Anchored, 6> anchored_{{{IDC_Review_Label1, true, false, false, false, {}},
                                       {IDC_Review_List1, true, true, false, false, {}},
                                       {IDC_Review_Label2, true, false, false, true, {}},
                                       {IDC_Review_Command1, false, false, true, true, {}},
                                       {IDC_Review_Command2, false, false, true, true, {}},
                                       {IDC_Review_Command3, false, false, true, true, {}}}};
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
