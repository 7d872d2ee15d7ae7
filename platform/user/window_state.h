// The machine's windows: classes, the window tree in Z order, and which program owns what.
#ifndef PLATFORM_USER_WINDOW_STATE_H
#define PLATFORM_USER_WINDOW_STATE_H

#include <windows.h>

#include "engine/surface.h"

#include <memory>
#include <string>
#include <vector>

struct ScrollBarState;

struct WindowClass {
    std::u16string name;
    WNDCLASSW description;
    DWORD program;     // the program that registered it; 0 for the host
    bool ansi = false; // registered through an A call: its procedure takes ANSI text
};

struct Window {
    HWND handle = nullptr;
    const WindowClass *windowClass = nullptr;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {}; // in the parent's client coordinates, or the screen's for a top-level one
    Window *parent = nullptr; // null for a top-level window
    Window *owner = nullptr;
    std::vector<Window *> children; // front first
    WNDPROC proc = nullptr;
    bool ansiProc = false; // proc takes its text messages in ANSI
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::vector<unsigned char> extra;
    DWORD program = 0;
    bool destroying = false;
    // What a system control or dialog keeps for this window (user/attached_state.h).
    const void *attachedKind = nullptr;
    std::shared_ptr<void> attachedState;
    // The standard vertical scroll bar's values (user/scroll_bars.h), once it has any.
    std::shared_ptr<ScrollBarState> verticalScrollBar;

    // What must be painted again, in client coordinates, and whether it is erased first.
    RECT update = {};
    bool eraseUpdate = false;
    // The frame must be drawn again.
    bool frameDirty = false;
    // The pieces of the screen this window shows, frame included, cached per screen layout.
    std::vector<Box> visibleBoxes;
    uint64_t visibleGeneration = 0;
};

// The root of the window tree: the whole screen.
Window *RootWindow();
Window *FindWindowObject(HWND window);
const WindowClass *FindWindowClass(const std::u16string &name);
// The siblings of a window, front first: a parent's children, or the top-level windows.
std::vector<Window *> &SiblingsOf(Window *window);
// The window and the windows inside it.
bool IsWindowOrDescendant(HWND ancestor, HWND window);
// The client rectangle's top-left corner on the screen, and its size.
POINT ClientOrigin(const Window *window);
SIZE ClientSize(const Window *window);

// A class the machine provides to every program (the controls, the dialog class): it outlives
// SetUpScreen and is found after every program's own and global classes.
void RegisterSystemClass(const WNDCLASSW &description);
// The program's class of that name was registered through an A call.
void MarkClassAnsi(const std::u16string &name);

// The machine's screen at that size, with no window on it and no class of a program.
void SetUpScreen(int screenWidth, int screenHeight);
void ForgetWindow(Window *window);
// A program ended: its windows and classes go without a message, as a process's do.
void ForgetProgramWindows(DWORD program);
Window *AddWindow(std::unique_ptr<Window> window);

#endif
