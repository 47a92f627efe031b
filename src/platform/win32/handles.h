// Owning holders for Win32 handles (GDI objects, icons, kernel handles, ...), closed when they go.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace zv {

// Close is a function object type that releases one handle.
template <typename Handle, typename Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Handle{}));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Handle{}; }
    Handle release() { return std::exchange(h_, Handle{}); }
    void reset(Handle h = Handle{}) {
        if (h_ != Handle{}) Close{}(h_);
        h_ = h;
    }

private:
    Handle h_{};
};

struct CloseGdiObject {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct CloseIcon {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct CloseKernelHandle {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct CloseMemoryDc {
    void operator()(HDC h) const { DeleteDC(h); }
};
struct CloseMenu {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct CloseModule {
    void operator()(HMODULE h) const { FreeLibrary(h); }
};
struct CloseImageList {
    void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};

using UniqueFont = UniqueHandle<HFONT, CloseGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, CloseGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, CloseGdiObject>;
using UniquePen = UniqueHandle<HPEN, CloseGdiObject>;
using UniqueIcon = UniqueHandle<HICON, CloseIcon>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using UniqueMemoryDc = UniqueHandle<HDC, CloseMemoryDc>;
using UniqueMenu = UniqueHandle<HMENU, CloseMenu>;
using UniqueModule = UniqueHandle<HMODULE, CloseModule>;
using UniqueImageList = UniqueHandle<HIMAGELIST, CloseImageList>;

// A function of a library loaded at run time, typed; null when the library does not have it.
template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A window's device context from GetDC, released to that window.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace zv
