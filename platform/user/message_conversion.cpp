// Wine's user32 (winproc.c) converts the same messages in the same way; the lengths a caller of
// the other kind is told for WM_GETTEXTLENGTH and the item lengths are upper bounds, as Windows
// allows, so that asking for a length sends nothing more.
#include "user/message_conversion.h"

#include "kernel/code_pages.h"

#include <cstring>
#include <string>
#include <unordered_map>

namespace {

enum class TextKind { None, Input, Output, Length, Item, Create, Character, Line };

bool HasStrings(HWND window, DWORD ownerDraw, DWORD hasStrings) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    return (style & ownerDraw) == 0 || (style & hasStrings) != 0;
}

TextKind KindOf(HWND window, UINT message) {
    switch (message) {
    case WM_SETTEXT:
    case EM_REPLACESEL:
        return TextKind::Input;
    case WM_GETTEXT:
        return TextKind::Output;
    case WM_GETTEXTLENGTH:
        return TextKind::Length;
    case WM_CREATE:
    case WM_NCCREATE:
        return TextKind::Create;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
        return TextKind::Character;
    case EM_GETLINE:
        return TextKind::Line;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING:
        return HasStrings(window, LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE, LBS_HASSTRINGS)
                   ? TextKind::Input
                   : TextKind::None;
    case LB_GETTEXT:
        return HasStrings(window, LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE, LBS_HASSTRINGS)
                   ? TextKind::Item
                   : TextKind::None;
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING:
        return HasStrings(window, CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE, CBS_HASSTRINGS)
                   ? TextKind::Input
                   : TextKind::None;
    case CB_GETLBTEXT:
        return HasStrings(window, CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE, CBS_HASSTRINGS)
                   ? TextKind::Item
                   : TextKind::None;
    }
    return TextKind::None;
}

UINT ItemLengthMessage(UINT message) {
    return message == LB_GETTEXT ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
}

// Text in the caller's form, made from text in the procedure's form, and back.
std::u16string ToWide(const char *text) {
    return text != nullptr ? WideFromAnsi(text) : std::u16string();
}
std::string ToAnsi(const char16_t *text) {
    return text != nullptr ? AnsiFromWide(text) : std::string();
}

// An ANSI caller, a UTF-16 procedure.
LRESULT CallFromAnsi(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (KindOf(window, message)) {
    case TextKind::None:
    case TextKind::Length:
        break;
    case TextKind::Input: {
        if (lParam == 0) {
            break;
        }
        const std::u16string text = ToWide(reinterpret_cast<const char *>(lParam));
        return proc(window, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    case TextKind::Output: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        std::u16string buffer(wParam, u'\0');
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), wParam - 1) : 0);
        const std::string text = AnsiFromWide(buffer);
        const size_t count = std::min<size_t>(text.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char *>(lParam), text.data(), count);
        reinterpret_cast<char *>(lParam)[count] = 0;
        return static_cast<LRESULT>(count);
    }
    case TextKind::Item: {
        const LRESULT length = proc(window, ItemLengthMessage(message), wParam, 0);
        if (length < 0 || lParam == 0) {
            return length < 0 ? length : LB_ERR;
        }
        std::u16string buffer(static_cast<size_t>(length) + 1, u'\0');
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        if (got < 0) {
            return got;
        }
        buffer.resize(std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(length)));
        const std::string text = AnsiFromWide(buffer);
        std::memcpy(reinterpret_cast<char *>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case TextKind::Create: {
        if (lParam == 0) {
            break;
        }
        const auto *ansi = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        CREATESTRUCTW wide;
        std::memcpy(&wide, ansi, sizeof wide);
        const std::u16string name = ToWide(ansi->lpszName);
        const bool classAtom = reinterpret_cast<uintptr_t>(ansi->lpszClass) <= 0xFFFF;
        const std::u16string className = classAtom ? std::u16string() : ToWide(ansi->lpszClass);
        wide.lpszName = ansi->lpszName != nullptr ? name.c_str() : nullptr;
        wide.lpszClass = classAtom ? reinterpret_cast<LPCWSTR>(ansi->lpszClass) : className.c_str();
        return proc(window, message, wParam, reinterpret_cast<LPARAM>(&wide));
    }
    case TextKind::Character:
        return proc(window, message, WideCharacterOf(wParam), lParam);
    case TextKind::Line: {
        if (lParam == 0) {
            return 0;
        }
        WORD size;
        std::memcpy(&size, reinterpret_cast<void *>(lParam), sizeof size);
        std::u16string buffer(static_cast<size_t>(size) + 2, u'\0');
        std::memcpy(buffer.data(), &size, sizeof size);
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), size) : 0);
        const std::string text = AnsiFromWide(buffer);
        const size_t count = std::min<size_t>(text.size(), size);
        std::memcpy(reinterpret_cast<char *>(lParam), text.data(), count);
        return static_cast<LRESULT>(count);
    }
    }
    return proc(window, message, wParam, lParam);
}

// A UTF-16 caller, an ANSI procedure.
LRESULT CallFromWide(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (KindOf(window, message)) {
    case TextKind::None:
    case TextKind::Length:
        break;
    case TextKind::Input: {
        if (lParam == 0) {
            break;
        }
        const std::string text = ToAnsi(reinterpret_cast<const char16_t *>(lParam));
        return proc(window, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    case TextKind::Output: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        std::string buffer(wParam, '\0');
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), wParam - 1) : 0);
        const std::u16string text = WideFromAnsi(buffer);
        const size_t count = std::min<size_t>(text.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char16_t *>(lParam), text.data(), count * sizeof(char16_t));
        reinterpret_cast<char16_t *>(lParam)[count] = 0;
        return static_cast<LRESULT>(count);
    }
    case TextKind::Item: {
        const LRESULT length = proc(window, ItemLengthMessage(message), wParam, 0);
        if (length < 0 || lParam == 0) {
            return length < 0 ? length : LB_ERR;
        }
        std::string buffer(static_cast<size_t>(length) + 1, '\0');
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        if (got < 0) {
            return got;
        }
        buffer.resize(std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(length)));
        const std::u16string text = WideFromAnsi(buffer);
        std::memcpy(reinterpret_cast<char16_t *>(lParam), text.c_str(),
                    (text.size() + 1) * sizeof(char16_t));
        return static_cast<LRESULT>(text.size());
    }
    case TextKind::Create: {
        if (lParam == 0) {
            break;
        }
        const auto *wide = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        CREATESTRUCTA ansi;
        std::memcpy(&ansi, wide, sizeof ansi);
        const std::string name = ToAnsi(wide->lpszName);
        const bool classAtom = reinterpret_cast<uintptr_t>(wide->lpszClass) <= 0xFFFF;
        const std::string className = classAtom ? std::string() : ToAnsi(wide->lpszClass);
        ansi.lpszName = wide->lpszName != nullptr ? name.c_str() : nullptr;
        ansi.lpszClass = classAtom ? reinterpret_cast<LPCSTR>(wide->lpszClass) : className.c_str();
        return proc(window, message, wParam, reinterpret_cast<LPARAM>(&ansi));
    }
    case TextKind::Character:
        return proc(window, message, AnsiCharacterOf(wParam), lParam);
    case TextKind::Line: {
        if (lParam == 0) {
            return 0;
        }
        WORD size;
        std::memcpy(&size, reinterpret_cast<void *>(lParam), sizeof size);
        std::string buffer(static_cast<size_t>(size) + 2, '\0');
        std::memcpy(buffer.data(), &size, sizeof size);
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), size) : 0);
        const std::u16string text = WideFromAnsi(buffer);
        const size_t count = std::min<size_t>(text.size(), size);
        std::memcpy(reinterpret_cast<char16_t *>(lParam), text.data(), count * sizeof(char16_t));
        return static_cast<LRESULT>(count);
    }
    }
    return proc(window, message, wParam, lParam);
}

// Procedures are code, the same for every machine of the process.
std::unordered_map<WNDPROC, bool> &ProcedureForms() {
    static auto *forms = new std::unordered_map<WNDPROC, bool>;
    return *forms;
}

} // namespace

LRESULT CallWithConversion(WNDPROC proc, bool procAnsi, bool callerAnsi, HWND window, UINT message,
                           WPARAM wParam, LPARAM lParam) {
    if (proc == nullptr) {
        return 0;
    }
    if (procAnsi == callerAnsi) {
        return proc(window, message, wParam, lParam);
    }
    return callerAnsi ? CallFromAnsi(proc, window, message, wParam, lParam)
                      : CallFromWide(proc, window, message, wParam, lParam);
}

void NoteProcedureForm(WNDPROC proc, bool ansi) {
    if (proc != nullptr) {
        ProcedureForms()[proc] = ansi;
    }
}

bool ProcedureTakesAnsi(WNDPROC proc, bool callerAnsi) {
    const auto found = ProcedureForms().find(proc);
    return found != ProcedureForms().end() ? found->second : callerAnsi;
}

WPARAM AnsiCharacterOf(WPARAM wide) {
    const std::string text = AnsiFromWide(std::u16string(1, static_cast<char16_t>(wide)));
    return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
}

WPARAM WideCharacterOf(WPARAM ansi) {
    const std::u16string text = WideFromAnsi(std::string(1, static_cast<char>(ansi & 0xFF)));
    return text.empty() ? 0 : text[0];
}
