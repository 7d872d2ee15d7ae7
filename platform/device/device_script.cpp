// The script commands.
#include "device/device_script.h"

#include "device/automation.h"
#include "device/boot.h"
#include "rapi/rapi_server.h"
#include "kernel/code_pages.h"
#include "kernel/host_paths.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"
#include "user/cursors.h"

#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <climits>
#include <cstdlib>

namespace {

// A number in decimal or with 0x in hex, within the range given.
bool ParseNumber(const std::string &word, long minimum, long maximum, long &value) {
    if (word.empty()) {
        return false;
    }
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char *start = word.c_str() + (hex ? 2 : 0);
    if (*start == '+' || (hex && *start == '-') || *start == ' ') {
        return false;
    }
    char *end = nullptr;
    errno = 0;
    const long parsed = std::strtol(start, &end, hex ? 16 : 10);
    if (errno != 0 || end == start || *end != 0 || parsed < minimum || parsed > maximum) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParsePoint(const std::vector<std::string> &words, int &x, int &y, std::string &error) {
    long parsedX = 0;
    long parsedY = 0;
    if (words.size() != 3 || !ParseNumber(words[1], -32768, 32767, parsedX) ||
        !ParseNumber(words[2], -32768, 32767, parsedY)) {
        error = words[0] + " needs X and Y";
        return false;
    }
    x = static_cast<int>(parsedX);
    y = static_cast<int>(parsedY);
    return true;
}

bool ParseKey(const std::vector<std::string> &words, BYTE &key, std::string &error) {
    long parsed = 0;
    if (words.size() != 2 || !ParseNumber(words[1], 1, 254, parsed)) {
        error = words[0] + " needs a virtual-key code from 1 to 254";
        return false;
    }
    key = static_cast<BYTE>(parsed);
    return true;
}

// The most device time sleep and the waits may let pass.
const long maxMilliseconds = 0x7FFFFFFF;
// How long wait-window and wait-gone wait when no time is given.
const long defaultWaitMilliseconds = 5000;
// How much device time idle lets pass for programs that sleep or wait a bounded time.
const long idleBoundMilliseconds = 5000;

typedef std::vector<std::string> Words;

bool Start(const ScriptLine &line, std::string &, std::string &error) {
    const Words &words = line.words;
    if (words.size() < 2) {
        error = "start needs a program path";
        return false;
    }
    std::string arguments;
    for (size_t i = 2; i < words.size(); ++i) {
        arguments += (i > 2 ? " " : "") + words[i];
    }
    PROCESS_INFORMATION information;
    BOOL started;
    if (KindOf(CurrentMachine()) == MachineKind::Desktop) {
        // A PC program is started as its desktop would: the line names it first, in ANSI, and
        // it starts in its own folder.
        const std::string program = AnsiFromWide(WideFromUtf8(words[1]));
        std::string commandLine = "\"" + program + "\"";
        const size_t folderEnd = program.find_last_of('\\');
        std::string folder = folderEnd == std::string::npos ? "" : program.substr(0, folderEnd);
        if (folder.size() == 2 && folder[1] == ':') {
            folder += '\\';
        }
        // A built-in program may have no folder on the disk; it starts where the PC stands.
        const DWORD attributes =
            folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            folder.clear();
        }
        if (!arguments.empty()) {
            commandLine += " " + AnsiFromWide(WideFromUtf8(arguments));
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
        started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.empty() ? nullptr : folder.c_str(), &startup, &information);
    } else {
        std::u16string commandLine = WideFromUtf8(arguments);
        started = CreateProcessW(WideFromUtf8(words[1]).c_str(), commandLine.data(), nullptr,
                                 nullptr, FALSE, 0, nullptr, nullptr, nullptr, &information);
    }
    if (!started) {
        error = "cannot start " + words[1];
        return false;
    }
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
    return true;
}

bool Idle(const ScriptLine &, std::string &, std::string &error) {
    if (!RunUntilQuiet(static_cast<DWORD>(idleBoundMilliseconds))) {
        error = "a program still sleeps after " + std::to_string(idleBoundMilliseconds) + " ms";
        return false;
    }
    return true;
}

bool SwitchMachine(const ScriptLine &line, std::string &, std::string &error) {
    const Words &words = line.words;
    const MachineKind kind =
        words.size() == 2 && words[1] == "desktop" ? MachineKind::Desktop : MachineKind::Device;
    if (words.size() != 2 || (words[1] != "desktop" && words[1] != "device")) {
        error = "machine needs desktop or device";
        return false;
    }
    for (Machine *machine : BootedMachines()) {
        if (KindOf(machine) == kind) {
            AddressMachine(machine);
            return true;
        }
    }
    error = "no " + words[1] + " is booted";
    return false;
}

bool Sleep(const ScriptLine &line, std::string &, std::string &error) {
    long milliseconds = 0;
    if (line.words.size() != 2 || !ParseNumber(line.words[1], 0, maxMilliseconds, milliseconds)) {
        error = "sleep needs milliseconds";
        return false;
    }
    AdvanceDeviceTime(static_cast<DWORD>(milliseconds));
    return true;
}

bool Stylus(const ScriptLine &line, std::string &, std::string &error) {
    int x = 0;
    int y = 0;
    if (!ParsePoint(line.words, x, y, error)) {
        return false;
    }
    const std::string &command = line.words[0];
    if (command == "tap") {
        TapAt(x, y);
    } else if (command == "down") {
        StylusDownAt(x, y);
    } else if (command == "move") {
        StylusMoveTo(x, y);
    } else {
        StylusUpAt(x, y);
    }
    return true;
}

bool Key(const ScriptLine &line, std::string &, std::string &error) {
    BYTE key = 0;
    if (!ParseKey(line.words, key, error)) {
        return false;
    }
    const std::string &command = line.words[0];
    if (command == "key") {
        PressKey(key);
    } else if (command == "keydown") {
        HoldKey(key);
    } else {
        ReleaseKey(key);
    }
    return true;
}

bool Type(const ScriptLine &line, std::string &, std::string &error) {
    if (line.words.size() != 2) {
        error = "type needs one text";
        return false;
    }
    if (!TypeText(line.words[1])) {
        error = "type skipped characters no key gives";
        return false;
    }
    return true;
}

bool Windows(const ScriptLine &, std::string &out, std::string &) {
    out += DescribeWindows();
    return true;
}

bool Text(const ScriptLine &line, std::string &out, std::string &error) {
    std::string text;
    if (line.words.size() != 2) {
        error = "text needs a window class";
        return false;
    }
    if (!ReadWindowText(WideFromUtf8(line.words[1]), text)) {
        error = "no window of class " + line.words[1];
        return false;
    }
    out += text + "\n";
    return true;
}

// A line of the script's own for whoever watches it play.
bool Say(const ScriptLine &line, std::string &out, std::string &) {
    for (size_t i = 1; i < line.words.size(); ++i) {
        out += (i > 1 ? " " : "") + line.words[i];
    }
    out += "\n";
    return true;
}

bool Cursor(const ScriptLine &, std::string &out, std::string &) {
    out += WaitCursorShown() ? "wait\n" : "none\n";
    return true;
}

bool Screenshot(const ScriptLine &line, std::string &, std::string &error) {
    if (line.words.size() != 2) {
        error = "screenshot needs a file";
        return false;
    }
    if (!SaveScreenshot(line.words[1])) {
        error = "cannot write " + line.words[1];
        return false;
    }
    return true;
}

WindowName NameOfWindow(const ScriptLine &line, size_t word) {
    return WindowName{WideFromUtf8(line.words[word]), line.quoted[word]};
}

bool Click(const ScriptLine &line, std::string &, std::string &error) {
    if (line.words.size() != 2 && line.words.size() != 3) {
        error = "click needs a control's text and may name its window";
        return false;
    }
    if (line.words.size() == 3) {
        const WindowName window = NameOfWindow(line, 2);
        return ClickControl(WideFromUtf8(line.words[1]), &window, error);
    }
    return ClickControl(WideFromUtf8(line.words[1]), nullptr, error);
}

bool Pick(const ScriptLine &line, std::string &, std::string &error) {
    if (line.words.size() != 2) {
        error = "pick needs an item's text";
        return false;
    }
    return PickComboItem(WideFromUtf8(line.words[1]), error);
}

bool Answer(const ScriptLine &line, std::string &, std::string &error) {
    if (line.words.size() != 2) {
        error = "answer needs a button's text";
        return false;
    }
    return AnswerMessageBox(WideFromUtf8(line.words[1]), error);
}

// wait-window and wait-gone.
bool Wait(const ScriptLine &line, std::string &, std::string &error) {
    const std::string &command = line.words[0];
    long milliseconds = defaultWaitMilliseconds;
    if ((line.words.size() != 2 && line.words.size() != 3) ||
        (line.words.size() == 3 && !ParseNumber(line.words[2], 0, maxMilliseconds, milliseconds))) {
        error = command + " needs a window class or \"caption\", and may give milliseconds";
        return false;
    }
    const bool shown = command == "wait-window";
    const WindowName name = NameOfWindow(line, 1);
    if (WaitForWindow(name, shown, static_cast<DWORD>(milliseconds))) {
        return true;
    }
    const std::string what =
        name.isCaption ? "captioned \"" + line.words[1] + "\"" : "of class " + line.words[1];
    const std::string within = std::to_string(milliseconds) + " ms";
    error = shown ? "no window " + what + " came within " + within
                  : "a window " + what + " was still shown after " + within;
    return false;
}

// A message sent to a top-level window, as another program would send it; the result is printed.
bool Send(const ScriptLine &line, std::string &out, std::string &error) {
    const size_t count = line.words.size();
    long numbers[3] = {0, 0, 0};
    bool parsed = count >= 3 && count <= 5;
    for (size_t i = 2; parsed && i < count; ++i) {
        parsed = ParseNumber(line.words[i], i == 2 ? 0 : LONG_MIN, i == 2 ? 0xFFFF : LONG_MAX,
                             numbers[i - 2]);
    }
    if (!parsed) {
        error =
            "send needs a window class or \"caption\", a message from 0 to 0xFFFF, and may give "
            "wParam and lParam";
        return false;
    }
    const WindowName name = NameOfWindow(line, 1);
    HWND window = FindShownWindow(name);
    if (window == nullptr) {
        error = "no window " + (name.isCaption ? "captioned \"" + line.words[1] + "\""
                                               : "of class " + line.words[1]);
        return false;
    }
    const LRESULT result =
        SendMessageW(window, static_cast<UINT>(numbers[0]), static_cast<WPARAM>(numbers[1]),
                     static_cast<LPARAM>(numbers[2]));
    RunUntilIdle();
    out += std::to_string(static_cast<long long>(result)) + "\n";
    return true;
}

// The cable between the PC and the device: unplugged, the device drops its connections.
bool Cable(const ScriptLine &line, std::string &, std::string &error) {
    if (line.words.size() != 2 || (line.words[1] != "plug" && line.words[1] != "unplug")) {
        error = "cable needs plug or unplug";
        return false;
    }
    for (Machine *machine : BootedMachines()) {
        if (KindOf(machine) == MachineKind::Device) {
            Machine *previous = SwitchToMachine(machine);
            SetCablePlugged(line.words[1] == "plug");
            SwitchToMachine(previous);
        }
    }
    RunUntilIdle();
    return true;
}

// The device's store size, as if the device had that much memory for files from now on.
bool Store(const ScriptLine &line, std::string &, std::string &error) {
    DWORD bytes = 0;
    if (line.words.size() != 2 || !ParseStoreSize(line.words[1], bytes)) {
        error = "store needs a size: bytes, or a number with K or M";
        return false;
    }
    if (KindOf(CurrentMachine()) != MachineKind::Device) {
        error = "store is the device's; the desktop has a disk";
        return false;
    }
    SetDeviceStoreSize(bytes);
    return true;
}

// A host file copied onto the running machine's disk, over what is there; the folder must exist.
bool Put(const ScriptLine &line, std::string &, std::string &error) {
    if (line.words.size() != 3) {
        error = "put needs a host file and a path on the machine";
        return false;
    }
    const std::string target = HostPathFromW(WideFromUtf8(line.words[2]).c_str());
    std::error_code failure;
    if (target.empty() || !std::filesystem::is_regular_file(line.words[1], failure) ||
        !std::filesystem::copy_file(line.words[1], target,
                                    std::filesystem::copy_options::overwrite_existing, failure)) {
        error = "cannot put " + line.words[1] + " at " + line.words[2];
        return false;
    }
    ForgetStoreUse();
    return true;
}

struct Command {
    const char *name;
    bool (*run)(const ScriptLine &line, std::string &out, std::string &error);
};

const Command commands[] = {
    {"start", Start},      {"idle", Idle},      {"sleep", Sleep},
    {"tap", Stylus},       {"down", Stylus},    {"move", Stylus},
    {"up", Stylus},        {"key", Key},        {"keydown", Key},
    {"keyup", Key},        {"type", Type},      {"windows", Windows},
    {"text", Text},        {"cursor", Cursor},  {"screenshot", Screenshot},
    {"click", Click},      {"pick", Pick},      {"answer", Answer},
    {"wait-window", Wait}, {"wait-gone", Wait}, {"machine", SwitchMachine},
    {"put", Put},          {"store", Store},    {"cable", Cable},
    {"send", Send},        {"say", Say},
};

} // namespace

bool SplitScriptLine(const std::string &line, ScriptLine &out) {
    out.words.clear();
    out.quoted.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string word;
        bool quoted = false;
        bool anyQuote = false;
        for (; i < line.size(); ++i) {
            const char c = line[i];
            if (quoted) {
                if (c == '"') {
                    quoted = false;
                } else if (c == '\\' && i + 1 < line.size() &&
                           (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    word += line[++i];
                } else {
                    word += c;
                }
            } else if (c == '"') {
                quoted = true;
                anyQuote = true;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                break;
            } else {
                word += c;
            }
        }
        if (quoted) {
            return false;
        }
        out.words.push_back(word);
        out.quoted.push_back(anyQuote);
    }
    return true;
}

bool RunScriptCommand(const ScriptLine &line, std::string &out, std::string &error) {
    if (line.words.empty()) {
        return true;
    }
    if (line.quoted.size() != line.words.size()) {
        error = "the line's words and their quoting differ";
        return false;
    }
    for (const Command &command : commands) {
        if (line.words[0] == command.name) {
            return command.run(line, out, error);
        }
    }
    error = "unknown command " + line.words[0];
    return false;
}

int RunScript(std::istream &script, std::ostream &out, std::ostream &errors) {
    int failures = 0;
    std::string text;
    ScriptLine line;
    for (int number = 1; std::getline(script, text); ++number) {
        std::string output;
        std::string error;
        const size_t first = text.find_first_not_of(" \t\r");
        if (first == std::string::npos || text[first] == '#') {
            continue;
        }
        if (!SplitScriptLine(text, line)) {
            error = "a quote is left open";
        } else if (RunScriptCommand(line, output, error)) {
            out << output << std::flush;
            continue;
        }
        errors << "line " << number << ": " << error << "\n";
        ++failures;
    }
    return failures;
}
