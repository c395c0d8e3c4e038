// The window calls of the engine's device code, in their window-system shapes, over
// our own windows (win/window.h). Styles, window-long indices and positioning flags
// carry their conventional values.
#pragma once

#include <cstdint>

#include "win/wintypes.h"

// Window styles.
#define WS_OVERLAPPED   0x00000000u
#define WS_POPUP        0x80000000u
#define WS_CHILD        0x40000000u
#define WS_MINIMIZE     0x20000000u
#define WS_VISIBLE      0x10000000u
#define WS_DISABLED     0x08000000u
#define WS_CLIPSIBLINGS 0x04000000u
#define WS_CLIPCHILDREN 0x02000000u
#define WS_MAXIMIZE     0x01000000u
#define WS_CAPTION      0x00C00000u
#define WS_BORDER       0x00800000u
#define WS_DLGFRAME     0x00400000u
#define WS_VSCROLL      0x00200000u
#define WS_HSCROLL      0x00100000u
#define WS_SYSMENU      0x00080000u
#define WS_THICKFRAME   0x00040000u
#define WS_MINIMIZEBOX  0x00020000u
#define WS_MAXIMIZEBOX  0x00010000u
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)

// Extended window styles.
#define WS_EX_DLGMODALFRAME    0x00000001u
#define WS_EX_TOPMOST          0x00000008u
#define WS_EX_WINDOWEDGE       0x00000100u
#define WS_EX_CLIENTEDGE       0x00000200u
#define WS_EX_APPWINDOW        0x00040000u
#define WS_EX_OVERLAPPEDWINDOW (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)

// Window-long indices.
#define GWL_WNDPROC  (-4)
#define GWL_STYLE    (-16)
#define GWL_EXSTYLE  (-20)
#define GWL_USERDATA (-21)

// SetWindowPos flags and insert-after handles.
#define SWP_NOSIZE         0x0001u
#define SWP_NOMOVE         0x0002u
#define SWP_NOZORDER       0x0004u
#define SWP_NOREDRAW       0x0008u
#define SWP_NOACTIVATE     0x0010u
#define SWP_FRAMECHANGED   0x0020u
#define SWP_SHOWWINDOW     0x0040u
#define SWP_HIDEWINDOW     0x0080u
#define SWP_NOOWNERZORDER  0x0200u
#define HWND_TOP       ((HWND)(intptr_t)0)
#define HWND_BOTTOM    ((HWND)(intptr_t)1)
#define HWND_TOPMOST   ((HWND)(intptr_t)-1)
#define HWND_NOTOPMOST ((HWND)(intptr_t)-2)

// Client rectangle: (0, 0, width, height); in full screen the display mode's size.
BOOL GetClientRect(HWND window, RECT *rect);
// Outer rectangle (frame included) in screen coordinates.
BOOL GetWindowRect(HWND window, RECT *rect);
BOOL IsIconic(HWND window);
// GWL_STYLE, GWL_EXSTYLE and GWL_USERDATA; other indices give 0. The setter returns the
// previous value; setting WS_MAXIMIZE or WS_MINIMIZE changes the show state to match.
LONG GetWindowLongA(HWND window, INT index);
LONG SetWindowLongA(HWND window, INT index, LONG value);
HMENU GetMenu(HWND window);
// Grows a client rectangle into the outer rectangle of a window of that style. The frame
// metrics are fixed (see win/window.h) so that the result does not depend on the desktop.
BOOL AdjustWindowRectEx(RECT *rect, DWORD style, BOOL menu, DWORD exStyle);
// Moves and/or sizes the outer rectangle; z-order requests are accepted and ignored.
BOOL SetWindowPos(HWND window, HWND insertAfter, INT x, INT y, INT cx, INT cy, UINT flags);
