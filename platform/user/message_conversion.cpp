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

// Text of one form in the other, through the ANSI code page.
std::u16string Converted(const std::string &text) {
    return WideFromAnsi(text);
}
std::string Converted(const std::u16string &text) {
    return AnsiFromWide(text);
}

template <class Char> struct TextForm;
template <> struct TextForm<char> {
    typedef CREATESTRUCTA CreateStruct;
    static WPARAM CharacterFrom(WPARAM wide) {
        return AnsiCharacterOf(wide);
    }
};
template <> struct TextForm<char16_t> {
    typedef CREATESTRUCTW CreateStruct;
    static WPARAM CharacterFrom(WPARAM ansi) {
        return WideCharacterOf(ansi);
    }
};

template <class Char> std::basic_string<Char> TextAt(LPARAM address) {
    const Char *text = reinterpret_cast<const Char *>(address);
    return text != nullptr ? std::basic_string<Char>(text) : std::basic_string<Char>();
}

// Copies text into a caller's buffer of room characters, the terminator included when asked.
template <class Char>
size_t CopyOut(const std::basic_string<Char> &text, LPARAM buffer, size_t room, bool terminate) {
    const size_t count = std::min(text.size(), room);
    std::memcpy(reinterpret_cast<Char *>(buffer), text.data(), count * sizeof(Char));
    if (terminate) {
        reinterpret_cast<Char *>(buffer)[count] = 0;
    }
    return count;
}

// A caller whose text is of the form Caller, a procedure whose text is of the form Proc.
template <class Caller, class Proc>
LRESULT CallConverting(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    typedef std::basic_string<Proc> ProcText;
    switch (KindOf(window, message)) {
    case TextKind::None:
    case TextKind::Length:
        break;
    case TextKind::Input: {
        if (lParam == 0) {
            break;
        }
        const ProcText text = Converted(TextAt<Caller>(lParam));
        return proc(window, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    case TextKind::Output: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        ProcText buffer(wParam, 0);
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), wParam - 1) : 0);
        return static_cast<LRESULT>(CopyOut(Converted(buffer), lParam, wParam - 1, true));
    }
    case TextKind::Item: {
        const LRESULT length = proc(window, ItemLengthMessage(message), wParam, 0);
        if (length < 0 || lParam == 0) {
            return length < 0 ? length : LB_ERR;
        }
        ProcText buffer(static_cast<size_t>(length) + 1, 0);
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        if (got < 0) {
            return got;
        }
        buffer.resize(std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(length)));
        const auto text = Converted(buffer);
        return static_cast<LRESULT>(CopyOut(text, lParam, text.size(), true));
    }
    case TextKind::Create: {
        if (lParam == 0) {
            break;
        }
        typedef typename TextForm<Caller>::CreateStruct CallerStruct;
        typedef typename TextForm<Proc>::CreateStruct ProcStruct;
        const auto *given = reinterpret_cast<const CallerStruct *>(lParam);
        ProcStruct passed;
        std::memcpy(&passed, given, sizeof passed);
        const ProcText name = Converted(TextAt<Caller>(reinterpret_cast<LPARAM>(given->lpszName)));
        const bool classAtom = reinterpret_cast<uintptr_t>(given->lpszClass) <= 0xFFFF;
        const ProcText className =
            classAtom ? ProcText()
                      : Converted(TextAt<Caller>(reinterpret_cast<LPARAM>(given->lpszClass)));
        passed.lpszName = given->lpszName != nullptr ? name.c_str() : nullptr;
        passed.lpszClass =
            classAtom ? reinterpret_cast<const Proc *>(given->lpszClass) : className.c_str();
        return proc(window, message, wParam, reinterpret_cast<LPARAM>(&passed));
    }
    case TextKind::Character:
        return proc(window, message, TextForm<Proc>::CharacterFrom(wParam), lParam);
    case TextKind::Line: {
        if (lParam == 0) {
            return 0;
        }
        // The buffer's first word holds its size in characters; the line comes back without a
        // terminator.
        WORD size;
        std::memcpy(&size, reinterpret_cast<void *>(lParam), sizeof size);
        ProcText buffer(static_cast<size_t>(size) + 2, 0);
        std::memcpy(buffer.data(), &size, sizeof size);
        const LRESULT got = proc(window, message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), size) : 0);
        return static_cast<LRESULT>(CopyOut(Converted(buffer), lParam, size, false));
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
    return callerAnsi ? CallConverting<char, char16_t>(proc, window, message, wParam, lParam)
                      : CallConverting<char16_t, char>(proc, window, message, wParam, lParam);
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
