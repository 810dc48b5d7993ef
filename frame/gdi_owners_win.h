// Owners of the GDI resources a page takes for the length of one message: window and memory
// device contexts and the objects selected into them, each given back on leaving.
#pragma once

#include <windows.h>

namespace krv::gdi {

// A window's device context (null window: the screen's), released on leaving.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with `like`; whatever was selected into it is put back
// before it is deleted, so the objects it held can be deleted or reused afterwards.
class MemoryDc {
  public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (!dc_) return;
        if (bitmap_) SelectObject(dc_, bitmap_);
        if (font_) SelectObject(dc_, font_);
        DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }
    void Select(HBITMAP bitmap) {
        HGDIOBJ previous = SelectObject(dc_, bitmap);
        if (!bitmap_) bitmap_ = previous;
    }
    void Select(HFONT font) {
        HGDIOBJ previous = SelectObject(dc_, font);
        if (!font_) font_ = previous;
    }

  private:
    HDC dc_;
    HGDIOBJ bitmap_ = nullptr;
    HGDIOBJ font_ = nullptr;
};

// A GDI object deleted on leaving unless released.
template <typename Handle>
class Owned {
  public:
    explicit Owned(Handle handle = nullptr) : handle_(handle) {}
    ~Owned() {
        if (handle_) DeleteObject(handle_);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Handle get() const { return handle_; }
    Handle release() {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void reset(Handle handle) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_;
};

}  // namespace krv::gdi
