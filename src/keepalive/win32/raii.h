// Owners for the Windows handles the keep-alive program holds: GDI objects, memory DCs, modules,
// icons, image lists, menus.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace zv::win {

// Owns one handle and releases it with Release; cannot be copied, only moved.
template <typename Handle, auto Release>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle h) : h_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, Handle{})) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Handle{}));
        return *this;
    }
    ~Owned() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Handle{}; }
    void reset(Handle h = Handle{}) {
        if (h_) Release(h_);
        h_ = h;
    }

private:
    Handle h_{};
};

inline void ReleaseGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void ReleaseMemoryDc(HDC h) { DeleteDC(h); }
inline void ReleaseModule(HMODULE h) { FreeLibrary(h); }
inline void ReleaseIcon(HICON h) { DestroyIcon(h); }
inline void ReleaseImageList(HIMAGELIST h) { ImageList_Destroy(h); }
inline void ReleaseMenu(HMENU h) { DestroyMenu(h); }

using OwnedBitmap = Owned<HBITMAP, ReleaseGdiObject>;
using OwnedPen = Owned<HPEN, ReleaseGdiObject>;
using OwnedBrush = Owned<HBRUSH, ReleaseGdiObject>;
using OwnedDc = Owned<HDC, ReleaseMemoryDc>;
using OwnedModule = Owned<HMODULE, ReleaseModule>;
using OwnedIcon = Owned<HICON, ReleaseIcon>;
using OwnedImageList = Owned<HIMAGELIST, ReleaseImageList>;
using OwnedMenu = Owned<HMENU, ReleaseMenu>;

// A function of a library loaded at run time, typed; null when the library does not have it.
template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Selects an object into a DC for one scope and puts the previous one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace zv::win
