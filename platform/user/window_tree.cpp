// Windows in Z order: a new top-level window goes on top of its band (top-most or not), a new
// child window below its siblings, so that the first child is the one created first.
#include "user/window_state.h"

#include <algorithm>
#include <functional>
#include <map>

#include "controls/control_classes.h"
#include "kernel/handle_table.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"
#include "dialogs/dialogs.h"
#include "user/input.h"
#include "user/message_conversion.h"
#include "user/screen.h"
#include "user/scroll_bars.h"
#include "user/window_frames.h"

namespace {

// The machine's windows and classes. The system classes (controls, dialogs) are the machine's
// too: registered the first time a class is looked for, and gone with the machine.
struct WindowTable : MachinePart {
    WindowTable() {
        root.rect = {0, 0, 240, 320};
        root.style = WS_VISIBLE;
        root.handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xFFF0));
    }
    // Windows go before their classes, their children first.
    ~WindowTable() override {
        windows.clear();
    }

    std::map<HWND, std::unique_ptr<Window>> windows;
    std::vector<std::unique_ptr<WindowClass>> classes;
    std::vector<std::unique_ptr<WindowClass>> systemClasses;
    bool systemClassesRegistered = false;
    Window root;
    std::vector<Window *> topLevel; // front first
};

// Window handles are counted for the whole process, as the other handles are
// (kernel/handle_table.h), so that no machine's window passes for another's.
HandleSeries windowHandles{0x10000};

WindowTable &Table() {
    return MachineState<WindowTable>();
}

// The controls and the dialog class, registered the first time a class is looked for.
void RegisterSystemClasses() {
    WindowTable &table = Table();
    if (table.systemClassesRegistered) {
        return;
    }
    table.systemClassesRegistered = true;
    RegisterButtonClass();
    RegisterStaticClass();
    RegisterComboBoxClass();
    RegisterEditClass();
    RegisterListBoxClass();
    RegisterDialogClass();
}

bool SameName(const std::u16string &a, const std::u16string &b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// Chrome a window draws around its client area.
int BorderWidth(const Window *window) {
    return FrameWidth(window->style, window->exStyle);
}

int CaptionBarHeight(const Window *window) {
    return CaptionHeight(window->style);
}

} // namespace

Window *RootWindow() {
    return &Table().root;
}

Window *FindWindowObject(HWND window) {
    WindowTable &table = Table();
    if (window == table.root.handle) {
        return &table.root;
    }
    auto found = table.windows.find(window);
    return found != table.windows.end() ? found->second.get() : nullptr;
}

// Each program has classes of its own, as each process has on Windows; the device's own classes
// (registered outside any program) and global classes serve every program.
const WindowClass *FindWindowClass(const std::u16string &name) {
    DWORD program = GetCurrentThreadId();
    const WindowClass *shared = nullptr;
    for (const auto &windowClass : Table().classes) {
        if (!SameName(windowClass->name, name)) {
            continue;
        }
        if (windowClass->program == program) {
            return windowClass.get();
        }
        if (windowClass->program == 0 || (windowClass->description.style & CS_GLOBALCLASS) != 0) {
            shared = windowClass.get();
        }
    }
    if (shared != nullptr) {
        return shared;
    }
    RegisterSystemClasses();
    for (const auto &windowClass : Table().systemClasses) {
        if (SameName(windowClass->name, name)) {
            return windowClass.get();
        }
    }
    return nullptr;
}

void RegisterSystemClass(const WNDCLASSW &description) {
    NoteProcedureForm(description.lpfnWndProc, false);
    auto &systemClasses = Table().systemClasses;
    for (auto &existing : systemClasses) {
        if (SameName(existing->name, description.lpszClassName)) {
            existing->description = description;
            existing->description.lpszClassName = nullptr;
            return;
        }
    }
    auto windowClass = std::make_unique<WindowClass>();
    windowClass->name = description.lpszClassName;
    windowClass->description = description;
    windowClass->description.lpszClassName = nullptr; // the name lives in the class itself
    systemClasses.push_back(std::move(windowClass));
}

std::vector<Window *> &SiblingsOf(Window *window) {
    return window->parent != nullptr ? window->parent->children : Table().topLevel;
}

bool IsWindowOrDescendant(HWND ancestor, HWND window) {
    for (Window *w = FindWindowObject(window); w != nullptr; w = w->parent) {
        if (w->handle == ancestor) {
            return true;
        }
    }
    return false;
}

POINT ClientOrigin(const Window *window) {
    POINT origin = {window->rect.left, window->rect.top};
    if (window->parent != nullptr && window->parent != RootWindow()) {
        POINT parentOrigin = ClientOrigin(window->parent);
        origin.x += parentOrigin.x;
        origin.y += parentOrigin.y;
    }
    origin.x += BorderWidth(window);
    origin.y += BorderWidth(window) + CaptionBarHeight(window);
    return origin;
}

SIZE ClientSize(const Window *window) {
    int border = BorderWidth(window);
    SIZE size = {window->rect.right - window->rect.left - 2 * border -
                     VerticalScrollBarWidth(window),
                 window->rect.bottom - window->rect.top - 2 * border - CaptionBarHeight(window)};
    size.cx = std::max<LONG>(size.cx, 0);
    size.cy = std::max<LONG>(size.cy, 0);
    return size;
}

void SetUpScreen(int screenWidth, int screenHeight) {
    WindowTable &table = Table();
    table.topLevel.clear();
    table.windows.clear();
    table.classes.clear();
    table.root.children.clear();
    table.root.rect = {0, 0, screenWidth, screenHeight};
    ResetScreen(screenWidth, screenHeight);
}

Window *AddWindow(std::unique_ptr<Window> window) {
    WindowTable &table = Table();
    window->handle = reinterpret_cast<HWND>(windowHandles.Next());
    Window *added = window.get();
    table.windows[added->handle] = std::move(window);
    std::vector<Window *> &siblings = SiblingsOf(added);
    if (added->parent != nullptr) {
        siblings.push_back(added);
    } else {
        // On top of its band: the top-most windows stay above every other one.
        bool topMost = (added->exStyle & WS_EX_TOPMOST) != 0;
        auto position = siblings.begin();
        if (!topMost) {
            position = std::find_if(siblings.begin(), siblings.end(), [](Window *sibling) {
                return (sibling->exStyle & WS_EX_TOPMOST) == 0;
            });
        }
        siblings.insert(position, added);
    }
    return added;
}

void ForgetWindow(Window *window) {
    std::vector<Window *> &siblings = SiblingsOf(window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    // A window of another program may still name it as its owner, when its program ended
    // without destroying it: from now on that window has none.
    for (const auto &[handle, other] : Table().windows) {
        if (other->owner == window) {
            other->owner = nullptr;
        }
    }
    Table().windows.erase(window->handle);
    ScreenLayoutChanged();
}

void ForgetProgramWindows(DWORD program) {
    WindowTable &table = Table();
    std::vector<HWND> gone;
    for (const auto &[handle, window] : table.windows) {
        if (window->program == program) {
            gone.push_back(handle);
        }
    }
    // A window goes with its children, whichever program they belong to.
    std::function<void(Window *)> forget = [&](Window *window) {
        while (!window->children.empty()) {
            forget(window->children.front());
        }
        ForgetInputWindow(window->handle);
        ForgetWindow(window);
    };
    for (HWND handle : gone) {
        if (Window *window = FindWindowObject(handle)) {
            forget(window);
        }
    }
    // A global class stays while another program's window still uses it.
    const auto inUse = [&table](const WindowClass *windowClass) {
        return std::any_of(table.windows.begin(), table.windows.end(), [&](const auto &entry) {
            return entry.second->windowClass == windowClass;
        });
    };
    auto &classes = table.classes;
    classes.erase(std::remove_if(classes.begin(), classes.end(),
                                 [&](const std::unique_ptr<WindowClass> &windowClass) {
                                     return windowClass->program == program &&
                                            !inUse(windowClass.get());
                                 }),
                  classes.end());
}

extern "C" ATOM WINAPI RegisterClassW(const WNDCLASSW *description) {
    if (description == nullptr || description->lpszClassName == nullptr ||
        description->lpfnWndProc == nullptr || description->cbWndExtra < 0 ||
        description->cbWndExtra > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WindowClass *existing = FindWindowClass(description->lpszClassName);
    if (existing != nullptr && existing->program == GetCurrentThreadId()) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto windowClass = std::make_unique<WindowClass>();
    windowClass->name = description->lpszClassName;
    windowClass->description = *description;
    windowClass->description.lpszClassName = nullptr; // the name lives in the class itself
    windowClass->program = GetCurrentThreadId();
    NoteProcedureForm(description->lpfnWndProc, false);
    Table().classes.push_back(std::move(windowClass));
    return static_cast<ATOM>(0xC000 + Table().classes.size());
}

void MarkClassAnsi(const std::u16string &name) {
    for (auto &windowClass : Table().classes) {
        if (windowClass->program == GetCurrentThreadId() && SameName(windowClass->name, name)) {
            windowClass->ansi = true;
            NoteProcedureForm(windowClass->description.lpfnWndProc, true);
        }
    }
}

extern "C" BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE) {
    auto &classes = Table().classes;
    for (auto it = classes.begin(); className != nullptr && it != classes.end(); ++it) {
        if (!SameName((*it)->name, className)) {
            continue;
        }
        for (const auto &entry : Table().windows) {
            if (entry.second->windowClass == it->get()) {
                return FALSE; // a window of the class still exists
            }
        }
        classes.erase(it);
        return TRUE;
    }
    return FALSE;
}

extern "C" BOOL WINAPI IsChild(HWND parent, HWND handle) {
    // Only the chain of child windows counts, not owners.
    for (Window *window = FindWindowObject(handle);
         window != nullptr && window->parent != nullptr && (window->style & WS_CHILD) != 0;
         window = window->parent) {
        if (window->parent->handle == parent) {
            return TRUE;
        }
    }
    return FALSE;
}

extern "C" HWND WINAPI GetDesktopWindow(void) {
    return RootWindow()->handle;
}

extern "C" BOOL WINAPI IsWindow(HWND window) {
    return FindWindowObject(window) != nullptr;
}

extern "C" HWND WINAPI GetParent(HWND window) {
    Window *found = FindWindowObject(window);
    if (found == nullptr) {
        return nullptr;
    }
    // As on Windows: a child's parent, else a pop-up's owner.
    if ((found->style & WS_CHILD) != 0) {
        return found->parent != nullptr ? found->parent->handle : nullptr;
    }
    return found->owner != nullptr ? found->owner->handle : nullptr;
}

extern "C" HWND WINAPI GetWindow(HWND window, UINT relation) {
    Window *found = FindWindowObject(window);
    if (found == nullptr) {
        return nullptr;
    }
    if (relation == GW_CHILD) {
        const std::vector<Window *> &children =
            found == RootWindow() ? Table().topLevel : found->children;
        return children.empty() ? nullptr : children.front()->handle;
    }
    if (relation == GW_OWNER) {
        return found->owner != nullptr ? found->owner->handle : nullptr;
    }
    if (found == RootWindow()) {
        return nullptr;
    }
    std::vector<Window *> &siblings = SiblingsOf(found);
    auto at = std::find(siblings.begin(), siblings.end(), found);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings.front()->handle;
    case GW_HWNDLAST:
        return siblings.back()->handle;
    case GW_HWNDNEXT:
        return at + 1 != siblings.end() ? (*(at + 1))->handle : nullptr;
    case GW_HWNDPREV:
        return at != siblings.begin() ? (*(at - 1))->handle : nullptr;
    }
    return nullptr;
}

extern "C" HWND WINAPI FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    for (Window *window : Table().topLevel) {
        if (className != nullptr && !SameName(window->windowClass->name, className)) {
            continue;
        }
        if (windowName != nullptr && window->text != windowName) {
            continue;
        }
        return window->handle;
    }
    return nullptr;
}

extern "C" int WINAPI GetClassNameW(HWND window, LPWSTR name, int size) {
    Window *found = FindWindowObject(window);
    if (found == nullptr || found->windowClass == nullptr || name == nullptr || size <= 0) {
        return 0;
    }
    lstrcpynW(name, found->windowClass->name.c_str(), size);
    return lstrlenW(name);
}
