// The Review Changes window: a report list of the change set, its counts, Write Changes and Cancel.
#include "app/win32/review_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <vector>

#include "app/review_rows.h"
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
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlType != ODT_LISTVIEW) return std::nullopt;
            List1_DrawItem(*item);
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* changed = reinterpret_cast<const NMLISTVIEW*>(lp);
            if (changed->hdr.idFrom == IDC_Review_List1 && changed->hdr.code == LVN_ITEMCHANGED &&
                (changed->uNewState & LVIS_FOCUSED) != 0) {
                ShowWholeKey(changed->iItem);
            }
            return std::nullopt;
        }
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
        // The key column takes what the list gains or loses, from the width the user left it at.
        HWND list = GetDlgItem(hwnd_, IDC_Review_List1);
        const int keyWidth = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, std::max(4 * kCellMargin, keyWidth + dx - listGrown_));
        listGrown_ = dx;
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void FillList1() {
        HWND list = GetDlgItem(hwnd_, IDC_Review_List1);
        // The rows are drawn here (List1_DrawItem), so that a long key keeps its end in view.
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        for (std::size_t i : ReviewOrder(changes_)) {
            const ValueChange& change = changes_.rows[i];
            rows_.push_back({ShortKeyText(change.where), ValueNameText(change.where.name), NowText(change),
                             AfterText(change)});
            wholeKeys_.push_back(KeyText(change.where));
        }
        // Value, now and after as wide as their longest text (within a sixth, a quarter, a quarter);
        // the key, the longest, takes the rest.
        const std::array<const char*, 4> captions = {"Key", "Value", "Now", "After"};
        RECT rc{};
        GetClientRect(list, &rc);
        const int width = rc.right - GetSystemMetrics(SM_CXVSCROLL);
        auto textWidth = [list](const std::string& text) {
            const LPARAM chars = reinterpret_cast<LPARAM>(text.c_str());
            return static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, chars)) + 2 * kCellMargin;
        };
        std::array<int, 4> widths{};
        for (std::size_t c = 1; c < 4; ++c) {
            widths[c] = textWidth(captions[c]);
            for (const auto& row : rows_) widths[c] = std::max(widths[c], textWidth(row[c]));
            widths[c] = std::min(widths[c], c == 1 ? width / 6 : width / 4);
        }
        widths[0] = std::max(width / 3, width - widths[1] - widths[2] - widths[3]);
        for (int i = 0; i < 4; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<char*>(captions[static_cast<std::size_t>(i)]);
            column.cx = widths[static_cast<std::size_t>(i)];
            column.iSubItem = i;
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        // The items keep the uncut texts, for anyone reading the list; only the drawing cuts them.
        int row = 0;
        for (const auto& cells : rows_) {
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
            ShowWholeKey(0);
        }
    }

    void ShowWholeKey(int row) {
        if (row < 0 || static_cast<std::size_t>(row) >= wholeKeys_.size()) return;
        SetDlgItemTextA(hwnd_, IDC_Review_Text1, wholeKeys_[static_cast<std::size_t>(row)].c_str());
    }

    // One row, column by column in the list's font; the key is cut in the middle to its column, the
    // other cells at their end.
    void List1_DrawItem(const DRAWITEMSTRUCT& item) {
        if (item.itemID >= rows_.size()) return;
        const auto& cells = rows_[item.itemID];
        HDC dc = item.hDC;
        HWND list = item.hwndItem;
        const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
        // A selected row is drawn in the highlight colours while the list has the focus, greyed otherwise.
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        const bool active = GetFocus() == list;
        const int back = !selected ? COLOR_WINDOW : active ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
        const int fore = !selected ? COLOR_WINDOWTEXT : active ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT;
        FillRect(dc, &item.rcItem, GetSysColorBrush(back));
        const COLORREF oldText = SetTextColor(dc, GetSysColor(fore));
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        int left = item.rcItem.left;
        for (int c = 0; c < 4; ++c) {
            const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
            RECT cell{left + kCellMargin, item.rcItem.top, left + width - kCellMargin, item.rcItem.bottom};
            left += width;
            if (cell.right <= cell.left) continue;
            const std::string& text = cells[static_cast<std::size_t>(c)];
            const auto measure = [dc](std::string_view t) {
                SIZE size{};
                GetTextExtentPoint32A(dc, t.data(), static_cast<int>(t.size()), &size);
                return static_cast<int>(size.cx);
            };
            const std::string shown = c != 0 ? text : CutKeyInMiddle(text, cell.right - cell.left, measure);
            DrawTextA(dc, shown.c_str(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &item.rcItem);
        SetBkMode(dc, oldMode);
        SetTextColor(dc, oldText);
        SelectObject(dc, oldFont);
    }

    struct Anchored {
        int id;
        bool right, bottom, moveX, moveY;
        RECT rect;
    };

    // Space left and right of a cell's text, in pixels, as the list leaves it.
    static constexpr int kCellMargin = 6;

    HINSTANCE instance_;
    std::vector<std::array<std::string, 4>> rows_;  // key (short root), value, now, after; in key order
    std::vector<std::string> wholeKeys_;            // the same rows' keys with the root written out
    int listGrown_ = 0;
    SIZE minimum_{};
    SIZE laidOut_{};
    std::array<Anchored, 7> anchored_{{{IDC_Review_Label1, true, false, false, false, {}},
                                       {IDC_Review_List1, true, true, false, false, {}},
                                       {IDC_Review_Text1, true, false, false, true, {}},
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
