// Form1: creation, start-up and shut-down, menu, toolbar, status bar and the hover texts.
#include "app/win32/form1.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/startup.h"
#include "app/toolbar.h"
#include "app/win32/frm_about.h"
#include "app/win32/process_starter.h"
#include "app/win32/resource.h"
#include "app/win32/review_window.h"
#include "app/win32/saved_files_windows.h"
#include "app/win32/shell_commands.h"
#include "app/win32/top_windows.h"
#include "app/win32/write_runs.h"
#include "platform/registry_helpers.h"
#include "platform/win32/common_controls.h"
#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"

namespace zv {
namespace {

const char kClassName[] = "ZarveloForm1";
// Posted after the window is shown, so that the prompt comes after it.
constexpr UINT kFirstRunPromptMessage = WM_APP + 1;

// File menu items that the modes show and hide, in menu order.
constexpr int kFileMenuItems[3] = {IDM_mnuApply, IDM_mnuOptimize, IDM_mnuLaunch};

ScreenMetrics CurrentScreen(int dpiX, int dpiY) {
    ScreenMetrics s;
    s.width = GetSystemMetrics(SM_CXSCREEN);
    s.height = GetSystemMetrics(SM_CYSCREEN);
    s.virtualScreen = VirtualScreen();
    s.dpiX = dpiX;
    s.dpiY = dpiY;
    return s;
}

}  // namespace

Form1Services SystemServices(Registry& registry, TopWindows* windows) {
    Form1Services s;
    s.registry = &registry;
    s.versionQuery = SystemVersionQuery();
    s.programDir = ProgramDirectory();
    s.restartComputer = [] { RestartComputer(); };
    s.showHelp = [](HWND owner, const std::string& file, const HelpRequest& request) {
        ShowHtmlHelp(owner, file, request);
    };
    s.messageBox = [](HWND owner, const std::string& text, const std::string& caption, UINT type) {
        return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
    };
    s.windows = windows;
    s.starter = std::make_shared<Win32ProcessStarter>();
    s.review = [](HWND owner, const ChangeSet& changes, const WriteRun& run) {
        return ShowReviewWindow(GetModuleHandleA(nullptr), owner, changes, run);
    };
    return s;
}

void InitZarveloControls() {
    InitCommonControlClasses(ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_WIN95_CLASSES);
}

bool Form1::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowBase::WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_Zarvelo));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_Zarvelo), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Form1::Form1(HINSTANCE instance, Form1Services services) : instance_(instance), services_(std::move(services)) {}

HWND Form1::Create(HINSTANCE instance, Form1Services services, int showCommand) {
    if (!services.registry) return nullptr;
    // Owned here until the window exists; from then on the window deletes it.
    std::unique_ptr<Form1> form(new Form1(instance, std::move(services)));
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_Form1));
    // Not resizable: the pages have a fixed layout.
    HWND hwnd = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "Zarvelo",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, menu, instance,
                                reinterpret_cast<void*>(CreationParam(form.get())));
    if (!hwnd && menu) DestroyMenu(menu);
    Form1* owned = form.get();
    if (!GiveToWindow(std::move(form))) return nullptr;
    bool made = false;
    owned->Guarded([&] {
        made = owned->CreateControls();
        if (made) owned->Form_Load(showCommand);
    });
    if (!made) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

Form1* Form1::FromWindow(HWND hwnd) { return dynamic_cast<Form1*>(WindowBase::FromWindow(hwnd)); }

HWND Form1::Frame1(int index) {
    if (index < 0 || index >= kFrame1Members) return nullptr;
    return MakePage(index);
}

HWND Form1::frmCustom(int index) const {
    if (index < 0 || index >= kCustomTabs) return nullptr;
    return frmCustom_[static_cast<std::size_t>(index)];
}

HWND Form1::MadeControl(int id) const {
    for (HWND page : frame1_) {
        if (!page) continue;
        if (HWND found = GetDlgItem(page, id)) return found;
    }
    for (HWND frame : frmCustom_) {
        if (!frame) continue;
        if (HWND found = GetDlgItem(frame, id)) return found;
    }
    return GetDlgItem(hwnd_, id);
}

HWND Form1::Control(int id) {
    if (HWND found = MadeControl(id)) return found;
    // A control of a page not yet shown: the pages are made now.
    bool made = false;
    for (int i = 0; i < kFrame1Members; ++i) {
        if (frame1_[static_cast<std::size_t>(i)]) continue;
        MakePage(i);
        made = true;
    }
    return made ? MadeControl(id) : nullptr;
}

HWND Form1::MakePage(int index) {
    HWND& page = frame1_[static_cast<std::size_t>(index)];
    if (page || !hwnd_) return page;
    page = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_Frame1_0 + index), hwnd_, WindowBase::DialogProc,
                              CreationParam(this));
    if (!page) return nullptr;
    SetWindowLongPtrA(page, GWLP_ID, IDC_Frame1_0 + index);
    SetWindowPos(page, nullptr, 0, pageTop_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Each page starts as it did when every page was made with the window.
    switch (index) {
    case kPageConfiguration:
        CheckRadioButton(page, IDC_Option8, IDC_Option12, IDC_Option8);
        break;
    case kPageSummary:
        RefreshSummary();
        break;
    case kPageLauncher:
        // The launcher page starts with Option1 ("Network Settings").
        CheckRadioButton(page, IDC_Option1, IDC_Option7, IDC_Option1);
        break;
    default:
        break;
    }
    return page;
}

WindowBase::Result Form1::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd == hwnd_) return Proc(msg, wp, lp);
    if (hwnd == toolbar_) {
        if (msg == WM_MOUSEMOVE) Toolbar1_MouseMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        return std::nullopt;  // the toolbar's own procedure carries on
    }
    return PageProc(hwnd, msg, wp, lp);
}

WindowBase::Result Form1::PageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return FALSE;  // focus is placed by Form1
    case WM_COMMAND:
        // The pages' controls are Form1's controls.
        if (OnCommand(LOWORD(wp), HIWORD(wp))) return 0;
        return std::nullopt;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_MOUSEMOVE:
        Frame1_MouseMove(GetDlgCtrlID(page) - IDC_Frame1_0);
        return 0;
    default:
        return std::nullopt;
    }
}

bool Form1::CreateControls() {
    const ScreenDpi dpi = GetScreenDpi();
    dpiX_ = dpi.x;
    dpiY_ = dpi.y;

    // Toolbar1 with ImageList1; the buttons mirror menu commands.
    toolbar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                               0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(IDC_Toolbar1), instance_, nullptr);
    if (!toolbar_) return false;
    SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const int pictureSize = MulDiv(16, dpiX_, 96);
    imageList1_.reset(DrawToolbarPictures(pictureSize));
    SendMessageA(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList1_.get()));
    TBBUTTON buttons[kToolbarButtons] = {};
    int picture = 0;
    for (int i = 0; i < kToolbarButtons; ++i) {
        const ToolbarButton& b = ToolbarButtons()[static_cast<std::size_t>(i)];
        buttons[i].idCommand = IDC_Toolbar1_Button1 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        if (b.separator) {
            buttons[i].fsStyle = TBSTYLE_SEP;
            buttons[i].iBitmap = 0;
        } else {
            buttons[i].fsStyle = TBSTYLE_BUTTON;
            buttons[i].iBitmap = picture++;
        }
    }
    SendMessageA(toolbar_, TB_ADDBUTTONSA, kToolbarButtons, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    Subclass(toolbar_);

    // The members of Frame1, child dialogs on top of each other below the toolbar. Only the first is
    // made now, for the bold font and the page size; the others when they are first needed.
    RECT toolbarRect{};
    GetWindowRect(toolbar_, &toolbarRect);
    pageTop_ = toolbarRect.bottom - toolbarRect.top;
    HWND first = MakePage(kPageAutomatic);
    if (!first) return false;
    RECT pageRect{};
    GetWindowRect(first, &pageRect);
    const SIZE pageSize{pageRect.right - pageRect.left, pageRect.bottom - pageRect.top};

    // Headings and the summary values are bold.
    LOGFONTA lf{};
    HFONT pageFont = reinterpret_cast<HFONT>(SendMessageA(first, WM_GETFONT, 0, 0));
    if (pageFont && GetObjectA(pageFont, sizeof lf, &lf)) {
        lf.lfWeight = FW_BOLD;
        boldFont_.reset(CreateFontIndirectA(&lf));
    }
    for (int id : {IDC_Label1, IDC_Label2}) SendMessageA(GetDlgItem(first, id), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), FALSE);

    statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(IDC_StatusBar1), instance_, nullptr);
    progressBar_ = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(IDC_ProgressBar1), instance_, nullptr);
    if (!statusBar_ || !progressBar_) return false;
    statusProgress_.Attach(hwnd_, statusBar_, progressBar_);
    RECT statusRect{};
    GetWindowRect(statusBar_, &statusRect);

    // The window fits the pages, the toolbar above and the status bar below.
    RECT client{0, 0, pageSize.cx, pageTop_ + pageSize.cy + (statusRect.bottom - statusRect.top)};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    SendMessageA(statusBar_, WM_SIZE, 0, 0);
    ApplyStatusPanels();

    HMENU file = GetSubMenu(GetMenu(hwnd_), 0);
    for (std::size_t i = 0; i < 3; ++i) {
        char caption[64] = {0};
        GetMenuStringA(file, static_cast<UINT>(kFileMenuItems[i]), caption, sizeof caption, MF_BYCOMMAND);
        fileMenuCaptions_[i] = caption;
    }
    return true;
}

void Form1::Form_Load(int showCommand) {
    Registry& reg = *services_.registry;
    os_ = std::make_unique<COpSysInfo>(services_.versionQuery);
    const MainSettings settings = ReadMainSettings(reg);
    firstRun_ = IsFirstRun(settings);
    adapters_ = DiscoverAdapters(reg, *os_);

    HWND cmbAdapter = Control(IDC_cmbAdapter);
    for (const std::string& item : AdapterListItems(adapters_, os_->IsWin9x())) {
        SendMessageA(cmbAdapter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    // The first item is selected on every family: on the NT family "Default Adapter", the only
    // item, so that the list and the summary do not show an empty adapter.
    SendMessageA(cmbAdapter, CB_SETCURSEL, 0, 0);

    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const PixelPoint start = StartUpPosition(settings, width, height, CurrentScreen(dpiX_, dpiY_));
    // A place stored at a smaller DPI or on a larger screen would put the window partly off it.
    const PixelRect place{start.x, start.y, start.x + width, start.y + height};
    const PixelPoint at = MoveInside(place, WorkAreaNear(place));
    SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    HWND cmbConnection = Control(IDC_cmbConnection);
    for (const char* item : kConnectionTypes) SendMessageA(cmbConnection, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(cmbConnection, CB_SETCURSEL, 0, 0);

    helpFile_ = HelpFilePath(services_.programDir);

    Refresh();
    keys_ = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDR_Form1Keys));
    if (services_.windows) services_.windows->Add(hwnd_, keys_);
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    FocusVisiblePage();
    if (firstRun_) PostMessageA(hwnd_, kFirstRunPromptMessage, 0, 0);
}

void Form1::FirstRunPrompt() {
    const int answer =
        services_.messageBox ? services_.messageBox(hwnd_, kFirstRunPrompt, "Zarvelo", MB_YESNO | MB_ICONINFORMATION) : IDNO;
    if (answer == IDYES) ShowBackupWindow(false);
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // A minimized window keeps the place it will be restored to.
    const PixelRect r = RestoredWindowRect(hwnd_);
    WriteMainSettings(*services_.registry, TwipsFromPixels(r.left, dpiX_), TwipsFromPixels(r.top, dpiY_));
    KillTimer(hwnd_, IDT_Timer1);
    KillTimer(hwnd_, IDT_Timer2);
    ProgressInStatusBar(false);
}

WindowBase::Result Form1::Proc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp))) return 0;
        break;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_INITMENUPOPUP:
        // The backup folder may have changed since: Undo is checked each time the menu opens.
        if (!HIWORD(lp)) ApplyRunMenus();
        break;
    case WM_TIMER:
        if (wp == IDT_Timer1) {
            Timer1_Timer();
            return 0;
        }
        if (wp == IDT_Timer2) {
            Timer2_Timer();
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        Form_MouseMove();
        return 0;
    case WM_SETCURSOR:
        if (busy_ && LOWORD(lp) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case DM_GETDEFID:
        // Enter presses the default button of the page in view.
        if (int id = DefaultButton()) return MAKELRESULT(id, DC_HASDEFID);
        return 0;
    case kFirstRunPromptMessage:
        FirstRunPrompt();
        return 0;
    case WM_HELP: {
        // F1, passed up from the focused control: Alt+H belongs to the Help menu, so F1 is the
        // keyboard's way to the page's Help button. F1 in an open menu shows the contents.
        const auto* info = reinterpret_cast<const HELPINFO*>(lp);
        if (info && info->iContextType == HELPINFO_MENUITEM) mnuContents_Click();
        else if (const int id = HelpButton()) OnCommand(id, BN_CLICKED);
        return TRUE;
    }
    case kCtrlTabMessage:
        return CustomPage_CtrlTab(wp != 0) ? TRUE : FALSE;
    case WM_CLOSE:
        Form_Unload();
        DestroyWindow(hwnd_);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Windows is shutting down: no WM_CLOSE comes.
        if (wp) Form_Unload();
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, IDT_Timer1);
        KillTimer(hwnd_, IDT_Timer2);
        if (services_.windows) services_.windows->Remove(hwnd_);
        return 0;
    default:
        break;
    }
    return std::nullopt;
}

void Form1::RestoreAfterFailure() {
    KillTimer(hwnd_, IDT_Timer1);
    KillTimer(hwnd_, IDT_Timer2);
    optimizeProgress_ = OptimizeProgressRun();
    applyProgress_ = ApplyProgressRun();
    if (statusProgress_.InStatusBar()) statusProgress_.Hide();
    // One full-width panel, as at rest.
    panels_ = StatusPanels();
    ApplyStatusPanels();
    SetBusy(false);
    EnableWindow(toolbar_, TRUE);
    EnableWindow(MadeControl(IDC_Command1), TRUE);
    EnableWindow(MadeControl(IDC_Command4), TRUE);
}

void Form1::ShowFailure(const std::string& text) {
    if (services_.messageBox) services_.messageBox(hwnd_, text, "Zarvelo", MB_OK | MB_ICONSTOP);
}

bool Form1::OnCommand(int id, int code) {
    if (id >= IDC_Toolbar1_Button1 && id <= IDC_Toolbar1_Button10) {
        Toolbar1_ButtonClick(id - IDC_Toolbar1_Button1 + 1);
        return true;
    }
    if (id == IDC_txtCheckHost && code == EN_CHANGE) {
        txtCheckHost_Change();
        return true;
    }
    // Buttons report BN_CLICKED (0), menu items 0, accelerators 1.
    if (code != BN_CLICKED && code != 1) return false;
    switch (id) {
    case IDM_mnuApply: mnuApply_Click(); return true;
    case IDM_mnuOptimize: mnuOptimize_Click(); return true;
    case IDM_mnuLaunch: mnuLaunch_Click(); return true;
    case IDM_mnuBackup: mnuBackup_Click(); return true;
    case IDM_mnuRestore: mnuRestore_Click(); return true;
    case IDM_mnuExit: mnuExit_Click(); return true;
    case IDM_mnuUndo: mnuUndo_Click(); return true;
    case IDM_mnuReview: mnuReview_Click(); return true;
    case IDM_mnuAuto: mnuAuto_Click(); return true;
    case IDM_mnuManual: mnuManual_Click(); return true;
    case IDM_mnuLauncher: mnuLauncher_Click(); return true;
    case IDM_mnuPulsiva: mnuPulsiva_Click(); return true;
    case IDM_mnuIndex: mnuIndex_Click(); return true;
    case IDM_mnuContents: mnuContents_Click(); return true;
    case IDM_mnuAbout: mnuAbout_Click(); return true;
    case IDC_Command1: Command1_Click(); return true;
    case IDC_Command3: Command3_Click(); return true;
    case IDC_Command4: Command4_Click(); return true;
    case IDC_Command5: Command5_Click(); return true;
    case IDC_Command7: Command7_Click(); return true;
    case IDC_Command8: Command8_Click(); return true;
    case IDC_Command9: Command9_Click(); return true;
    case IDC_Command10: Command10_Click(); return true;
    case IDC_Command11: Command11_Click(); return true;
    case IDC_Command12: Command12_Click(); return true;
    case IDC_Command13: Command13_Click(); return true;
    case IDC_Command14: Command14_Click(); return true;
    case IDC_chkCheckNetwork: chkCheckNetwork_Click(); return true;
    // The System Settings Launcher page.
    case IDC_Command2: Command2_Click(); return true;
    case IDC_Command6: Command6_Click(); return true;
    default: return false;
    }
}

LRESULT Form1::OnNotify(NMHDR* header) {
    if (!header) return 0;
    if (header->idFrom == IDC_TabStrip1 && header->code == TCN_SELCHANGE) {
        TabStrip1_Click();
        return 0;
    }
    // Toolbar1's tooltips.
    if (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW) {
        const auto id = static_cast<int>(header->idFrom);
        if (id < IDC_Toolbar1_Button1 || id > IDC_Toolbar1_Button10) return 0;
        const char* tip = ToolbarButtons()[static_cast<std::size_t>(id - IDC_Toolbar1_Button1)].tooltip;
        // Into the notification's own buffer (80 characters, more than any tip needs).
        if (header->code == TTN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
            info->hinst = nullptr;
            const std::size_t length = std::min(std::strlen(tip), std::size(info->szText) - 1);
            std::copy_n(tip, length, info->szText);
            info->szText[length] = '\0';
            info->lpszText = info->szText;
        } else {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
            info->hinst = nullptr;
            if (!MultiByteToWideChar(CP_ACP, 0, tip, -1, info->szText, static_cast<int>(std::size(info->szText)))) {
                info->szText[0] = L'\0';
            }
            info->lpszText = info->szText;
        }
        return 0;
    }
    return 0;
}

void Form1::Form_MouseMove() { SetPanelText(1, std::string()); }

void Form1::Frame1_MouseMove(int) { SetPanelText(1, std::string()); }

void Form1::Toolbar1_MouseMove(int x, int y) {
    const int count = static_cast<int>(SendMessageA(toolbar_, TB_BUTTONCOUNT, 0, 0));
    std::vector<ButtonBox> boxes;
    std::vector<std::string> hovers;
    for (int i = 0; i < count; ++i) {
        RECT r{};
        SendMessageA(toolbar_, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        boxes.push_back(ButtonBox{r.left, r.top, r.right - r.left, r.bottom - r.top});
        hovers.emplace_back(i < kToolbarButtons ? ToolbarButtons()[static_cast<std::size_t>(i)].hover : "");
    }
    if (auto text = ToolbarHoverText(boxes, hovers, panels_.Panel(1).text, x, y)) SetPanelText(1, *text);
}

void Form1::Toolbar1_ButtonClick(int button) {
    if (button < 1 || button > kToolbarButtons) return;
    switch (ToolbarButtons()[static_cast<std::size_t>(button - 1)].action) {
    case ToolbarAction::Automatic: mnuAuto_Click(); break;
    case ToolbarAction::Custom: mnuManual_Click(); break;
    case ToolbarAction::Pulsiva: mnuPulsiva_Click(); break;
    case ToolbarAction::Backup: mnuBackup_Click(); break;
    case ToolbarAction::Restore: mnuRestore_Click(); break;
    case ToolbarAction::Launcher: mnuLauncher_Click(); break;
    case ToolbarAction::Contents: mnuContents_Click(); break;
    case ToolbarAction::None: break;
    }
}

void Form1::mnuApply_Click() {
    // The item runs Apply only while it is shown and enabled, as a menu item can be chosen.
    const MenuItemState& item = nav_.FileMenu().apply;
    if (item.visible && item.enabled) Command4_Click();
}

void Form1::mnuOptimize_Click() {
    // The item runs Optimize only while it is shown and enabled, as a menu item can be chosen.
    if (nav_.OptimizeMenuAvailable()) Command1_Click();
}

void Form1::mnuLaunch_Click() {
    // Like mnuOptimize, only while the item is shown (launcher mode).
    if (nav_.FileMenu().launch.visible) Command2_Click();
}

void Form1::mnuBackup_Click() { ShowBackupWindow(true); }

void Form1::mnuRestore_Click() {
    OpenSavedFilesWindow(SavedFilesWindow::Restore, instance_, hwnd_, services_, true);
    // A restore is a write run: the values and what Undo would put back have changed.
    RefreshEditorTips();
    ApplyRunMenus();
}

// Modal from the menu and the toolbar; without modality from the first-run prompt, without an
// owner, so that closing the main window leaves it open.
void Form1::ShowBackupWindow(bool modal) {
    OpenSavedFilesWindow(SavedFilesWindow::Backup, instance_, modal ? hwnd_ : nullptr, services_, modal);
}

void Form1::mnuExit_Click() {
    // Backup, Restore and frmAbout first, then the main window: the program ends. Posted, in that
    // order: each closes when the message loop comes to it, not under a handler still running.
    if (services_.windows) services_.windows->CloseAllBut(hwnd_);
    Close();
}

void Form1::mnuUndo_Click() {
    // Ctrl+Z may come when nothing is left to undo; nor does anything undo under a run's progress display.
    if (optimizeProgress_.Running() || applyProgress_.Running() || !UndoAvailable(services_)) return;
    os_ = std::make_unique<COpSysInfo>(services_.versionQuery);
    const WriteRunOutcome outcome = UndoFromWindow(services_, hwnd_, FamilyOf(*os_));
    if (TellOutcome(outcome) && services_.messageBox) {
        const UINT icon = outcome.failedChanges > 0 ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
        services_.messageBox(hwnd_, UndoneMessage(outcome.failedChanges), "Zarvelo", MB_OK | icon);
    }
    RefreshEditorTips();
    ApplyRunMenus();
}

void Form1::mnuReview_Click() {
    WriteReviewChanges(*services_.registry, !ReadReviewChanges(*services_.registry));
    ApplyRunMenus();
}

bool Form1::EndWriteRun(const WriteRunOutcome& outcome, HWND button) {
    ApplyRunMenus();
    if (TellOutcome(outcome)) {
        RefreshEditorTips();
        return true;
    }
    EnableWindow(button, TRUE);
    // Disabling the button took the focus away from it.
    if (!GetFocus() && GetActiveWindow() == hwnd_ && IsWindowVisible(button)) SetFocus(button);
    return false;
}

bool Form1::TellOutcome(const WriteRunOutcome& outcome) {
    if (outcome.Written()) return true;
    if (!outcome.message.empty() && services_.messageBox) {
        services_.messageBox(hwnd_, outcome.message, "Zarvelo", MB_OK | OutcomeIcon(outcome));
    }
    return false;
}

void Form1::mnuAuto_Click() {
    nav_.SwitchMode(Mode::Automatic);
    Refresh();
    FocusVisiblePage();
}

void Form1::mnuManual_Click() {
    nav_.SwitchMode(Mode::Custom);
    Refresh();
    // For the adapter now chosen on the wizard's page.
    RefreshEditorTips();
    FocusVisiblePage();
}

void Form1::mnuLauncher_Click() {
    nav_.SwitchMode(Mode::Launcher);
    Refresh();
    FocusVisiblePage();
}

void Form1::mnuPulsiva_Click() {
    if (!services_.starter) return;
    ReportLaunch(hwnd_, StartKeepAlive(services_.programDir, *services_.starter));
}

void Form1::mnuIndex_Click() { ShowHelp(nullptr, HelpRequest{HelpView::Index, {}}); }

void Form1::mnuContents_Click() { ShowHelp(nullptr, HelpRequest{HelpView::Contents, {}}); }

void Form1::mnuAbout_Click() {
    AboutServices about;
    about.starter = services_.starter;
    about.messageBox = services_.messageBox;
    ShowAboutWindow(instance_, hwnd_, about);
}

void Form1::ShowHelp(HWND owner, const HelpRequest& request) {
    if (services_.showHelp) services_.showHelp(owner, helpFile_, request);
}

void Form1::ShowPage(int page) {
    nav_.ShowPage(page);
    Refresh();
    FocusVisiblePage();
}

void Form1::Refresh() {
    if (nav_.PageVisible(kPageCustom)) CreateCustomPage();
    for (int i = 0; i < kFrame1Members; ++i) {
        const bool visible = nav_.PageVisible(i);
        HWND page = visible ? MakePage(i) : frame1_[static_cast<std::size_t>(i)];
        if (page && (IsWindowVisible(page) != FALSE) != visible) ShowWindow(page, visible ? SW_SHOWNA : SW_HIDE);
    }
    ApplyFileMenu();
    ApplyRunMenus();
    RefreshSummary();
}

void Form1::RefreshSummary() {
    HWND page = frame1_[kPageSummary];
    if (!page) return;
    const Summary& summary = nav_.SummaryLabels();
    SetWindowTextA(GetDlgItem(page, IDC_Label52), summary.configurationCaption.c_str());
    SetWindowTextA(GetDlgItem(page, IDC_Label53), summary.adapter.c_str());
    SetWindowTextA(GetDlgItem(page, IDC_Label54), summary.connection.c_str());
    SetWindowTextA(GetDlgItem(page, IDC_Label55), summary.configuration.c_str());
    HFONT valueFont = summary.bold && boldFont_ ? boldFont_.get() : reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
    for (int id : {IDC_Label53, IDC_Label54, IDC_Label55}) {
        SendMessageA(GetDlgItem(page, id), WM_SETFONT, reinterpret_cast<WPARAM>(valueFont), TRUE);
    }

    const int frame3Show = nav_.RestartNoticeVisible() ? SW_SHOWNA : SW_HIDE;
    for (int id : {IDC_Frame3, IDC_Label56, IDC_Label57, IDC_Command13}) ShowWindow(GetDlgItem(page, id), frame3Show);
    const bool offer = frame3Show == SW_SHOWNA && networkCheckOffered_;
    ShowWindow(GetDlgItem(page, IDC_chkCheckNetwork), offer ? SW_SHOWNA : SW_HIDE);
    ShowWindow(GetDlgItem(page, IDC_txtCheckHost), offer ? SW_SHOWNA : SW_HIDE);
}

void Form1::FocusVisiblePage() {
    // Keyboard focus must not stay on a control of a page that is no longer in view.
    HWND page = Frame1(nav_.VisiblePage());
    if (!page) return;
    HWND focus = GetFocus();
    if (focus && IsChild(page, focus)) return;
    // Focus in another window of the program stays there.
    if (focus && focus != hwnd_ && !IsChild(hwnd_, focus)) return;
    if (HWND first = GetNextDlgTabItem(page, nullptr, FALSE)) SetFocus(first);
}

int Form1::DefaultButton() {
    int id = 0;
    switch (nav_.VisiblePage()) {
    case kPageAutomatic: id = IDC_Command7; break;
    case kPageConfiguration: id = IDC_Command10; break;
    case kPageSummary: id = IDC_Command1; break;
    case kPageCustom: id = IDC_Command4; break;
    case kPageLauncher: id = IDC_Command2; break;
    default: return 0;
    }
    HWND button = Control(id);
    return button && IsWindowEnabled(button) ? id : 0;
}

int Form1::HelpButton() const {
    switch (nav_.VisiblePage()) {
    case kPageAutomatic: return IDC_Command3;
    case kPageConfiguration: return IDC_Command9;
    case kPageSummary: return IDC_Command14;
    case kPageCustom: return IDC_Command5;
    case kPageLauncher: return IDC_Command6;
    default: return 0;
    }
}

void Form1::ApplyFileMenu() {
    HMENU file = GetSubMenu(GetMenu(hwnd_), 0);
    if (!file) return;
    const FileMenuState& state = nav_.FileMenu();
    const MenuItemState* items[3] = {&state.apply, &state.optimize, &state.launch};
    for (int id : kFileMenuItems) RemoveMenu(file, static_cast<UINT>(id), MF_BYCOMMAND);
    UINT position = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!items[i]->visible) continue;
        const UINT flags = MF_BYPOSITION | MF_STRING | (items[i]->enabled ? MF_ENABLED : MF_GRAYED);
        InsertMenuA(file, position++, flags, static_cast<UINT_PTR>(kFileMenuItems[i]), fileMenuCaptions_[i].c_str());
    }
    DrawMenuBar(hwnd_);
}

void Form1::ApplyRunMenus() {
    HMENU bar = GetMenu(hwnd_);
    EnableMenuItem(bar, IDM_mnuUndo, MF_BYCOMMAND | (UndoAvailable(services_) ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(bar, IDM_mnuReview,
                  MF_BYCOMMAND | (ReadReviewChanges(*services_.registry) ? MF_CHECKED : MF_UNCHECKED));
}

void Form1::ApplyStatusPanels() {
    RECT rc{};
    GetClientRect(statusBar_, &rc);
    const std::vector<int> edges = panels_.RightEdges(rc.right, dpiX_);
    std::vector<int> parts(edges.begin(), edges.end());
    SendMessageA(statusBar_, SB_SETPARTS, parts.size(), reinterpret_cast<LPARAM>(parts.data()));
    for (std::size_t i = 0; i < panels_.Count(); ++i) {
        const StatusPanel& p = panels_.Panel(static_cast<int>(i) + 1);
        WPARAM style = p.bevel == PanelBevel::None ? SBT_NOBORDERS : p.bevel == PanelBevel::Raised ? SBT_POPOUT : 0;
        SendMessageA(statusBar_, SB_SETTEXTA, i | style, reinterpret_cast<LPARAM>(p.text.c_str()));
    }
}

void Form1::SetPanelText(int number, const std::string& text) {
    if (number < 1 || static_cast<std::size_t>(number) > panels_.Count()) return;
    StatusPanel& p = panels_.Panel(number);
    if (p.text == text) return;
    p.text = text;
    WPARAM style = p.bevel == PanelBevel::None ? SBT_NOBORDERS : p.bevel == PanelBevel::Raised ? SBT_POPOUT : 0;
    SendMessageA(statusBar_, SB_SETTEXTA, static_cast<WPARAM>(number - 1) | style, reinterpret_cast<LPARAM>(p.text.c_str()));
}

void Form1::SetBusy(bool busy) {
    if (busy_ == busy) return;
    busy_ = busy;
    POINT pt{};
    GetCursorPos(&pt);
    RECT r{};
    GetWindowRect(hwnd_, &r);
    if (PtInRect(&r, pt)) SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

}  // namespace zv
