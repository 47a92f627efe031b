// Reading what another process's controls hold (status-bar panels) and what a window shows on screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zvtest {

// A buffer inside another process, for messages whose lParam points to memory there.
class RemoteBuffer {
public:
    RemoteBuffer(HWND owner, std::size_t size);
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer();

    bool Valid() const { return address_ != nullptr; }
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    std::vector<char> Read() const;
    bool Write(const void* data, std::size_t size);

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t size_ = 0;
};

// The text of one panel of a status bar, which may belong to another process.
std::string StatusBarText(HWND statusBar, int part = 0);

// The text of one cell (item, column) of a report list view, which may belong to another process.
std::string ListViewText(HWND list, int item, int column);

// The client area of a window as it is on screen, 0xRRGGBB per pixel, row by row from the top.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int Count(std::uint32_t rgb) const;
};
ScreenPixels CaptureClient(HWND hwnd);

}  // namespace zvtest
