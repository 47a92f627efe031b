// ImageList1: the toolbar's pictures, drawn by the program itself at the size the screen needs.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace zv {

// Picture order: Automatic, Custom, Pulsiva, Backup, Restore, Launcher, Help.
inline constexpr int kToolbarPictures = 7;

// An image list of kToolbarPictures square pictures of `size` pixels, or null.
HIMAGELIST DrawToolbarPictures(int size);
// One picture drawn on dc in the square of `size` pixels whose top-left corner is (x, y); it
// touches nothing outside that square.
void DrawToolbarPicture(HDC dc, int picture, int size, int x, int y);

// Owns an image list.
class ImageList {
public:
    ImageList() = default;
    explicit ImageList(HIMAGELIST list) : list_(list) {}
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList() {
        if (list_) ImageList_Destroy(list_);
    }
    HIMAGELIST get() const { return list_; }
    void reset(HIMAGELIST list = nullptr) {
        if (list_) ImageList_Destroy(list_);
        list_ = list;
    }

private:
    HIMAGELIST list_ = nullptr;
};

}  // namespace zv
