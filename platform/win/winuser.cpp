// The window-system calls of the device code, answered by our windows.
#include "win/winuser.h"

#include "win/window.h"
#include "window_backend.h"

BOOL GetClientRect(HWND window, RECT *rect) {
    if (!window || !rect) return FALSE;
    uint32_t w = 0, h = 0;
    window->GetClientSize(&w, &h);
    rect->left = 0;
    rect->top = 0;
    rect->right = LONG(w);
    rect->bottom = LONG(h);
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT *rect) {
    if (!window || !rect) return FALSE;
    *rect = window->GetOuterRect();
    return TRUE;
}

BOOL IsIconic(HWND window) { return window && window->IsMinimized() ? TRUE : FALSE; }

LONG GetWindowLongA(HWND window, INT index) { return window ? window->GetLong(index) : 0; }

LONG SetWindowLongA(HWND window, INT index, LONG value) {
    return window ? window->SetLong(index, value) : 0;
}

HMENU GetMenu(HWND window) { return window ? window->Menu() : nullptr; }

BOOL AdjustWindowRectEx(RECT *rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (!rect) return FALSE;
    int32_t left, top, right, bottom;
    win::FrameMetrics(style, menu != FALSE, exStyle, &left, &top, &right, &bottom);
    rect->left -= left;
    rect->top -= top;
    rect->right += right;
    rect->bottom += bottom;
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND, INT x, INT y, INT cx, INT cy, UINT flags) {
    if (!window) return FALSE;
    const bool move = !(flags & SWP_NOMOVE);
    const bool size = !(flags & SWP_NOSIZE);
    window->SetOuterRect(x, y, uint32_t(cx < 0 ? 0 : cx), uint32_t(cy < 0 ? 0 : cy), move, size);
    return TRUE;
}
