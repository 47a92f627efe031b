// Buffers inside another process, status-bar and list-view texts read through them, and screen captures of a client area.
#include "support/remote.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace zvtest {

RemoteBuffer::RemoteBuffer(HWND owner, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

std::vector<char> RemoteBuffer::Read() const {
    std::vector<char> data(size_);
    SIZE_T got = 0;
    if (!address_ || !ReadProcessMemory(process_, address_, data.data(), size_, &got)) got = 0;
    data.resize(got);
    return data;
}

bool RemoteBuffer::Write(const void* data, std::size_t size) {
    SIZE_T put = 0;
    return address_ && size <= size_ && WriteProcessMemory(process_, address_, data, size, &put) && put == size;
}

std::string StatusBarText(HWND statusBar, int part) {
    DWORD_PTR lengthAndType = 0;
    if (!SendMessageTimeoutA(statusBar, SB_GETTEXTLENGTHA, part, 0, SMTO_ABORTIFHUNG, 5000, &lengthAndType)) return {};
    std::size_t length = LOWORD(lengthAndType);
    RemoteBuffer buffer(statusBar, length + 1);
    if (!buffer.Valid()) return {};
    const char zero = 0;
    buffer.Write(&zero, 1);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(statusBar, SB_GETTEXTA, part, buffer.Address(), SMTO_ABORTIFHUNG, 5000, &ignored)) return {};
    std::vector<char> text = buffer.Read();
    auto end = std::find(text.begin(), text.end(), '\0');
    return std::string(text.begin(), end);
}

std::string ListViewText(HWND list, int item, int column) {
    // The item structure and the text it points to, both inside the list's process.
    constexpr int kChars = 512;
    RemoteBuffer buffer(list, sizeof(LVITEMA) + kChars);
    if (!buffer.Valid()) return {};
    LVITEMA request{};
    request.iSubItem = column;
    request.pszText = reinterpret_cast<char*>(buffer.Address() + static_cast<LPARAM>(sizeof(LVITEMA)));
    request.cchTextMax = kChars;
    std::vector<char> bytes(sizeof(LVITEMA) + kChars, '\0');
    std::memcpy(bytes.data(), &request, sizeof request);
    buffer.Write(bytes.data(), bytes.size());
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), buffer.Address(), SMTO_ABORTIFHUNG, 5000,
                             &length)) {
        return {};
    }
    const std::vector<char> got = buffer.Read();
    const auto text = got.begin() + static_cast<long>(sizeof(LVITEMA));
    return std::string(text, std::find(text, got.end(), '\0'));
}

int ScreenPixels::Count(std::uint32_t rgb) const {
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), rgb));
}

ScreenPixels CaptureClient(HWND hwnd) {
    ScreenPixels shot;
    RECT rc;
    if (!GetClientRect(hwnd, &rc)) return shot;
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    shot.width = rc.right;
    shot.height = rc.bottom;
    if (shot.width <= 0 || shot.height <= 0) return shot;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = shot.width;
    bi.bmiHeader.biHeight = -shot.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    shot.pixels.assign(p, p + static_cast<std::size_t>(shot.width) * shot.height);
    for (auto& px : shot.pixels) px &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return shot;
}

}  // namespace zvtest
