// The script commands.
#include "device/device_script.h"

#include "device/automation.h"
#include "device/scheduler.h"
#include "kernel/code_pages.h"
#include "user/cursors.h"

#include <windows.h>

#include <cerrno>
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

bool Start(const std::vector<std::string> &words, std::string &error) {
    if (words.size() < 2) {
        error = "start needs a program path";
        return false;
    }
    std::string arguments;
    for (size_t i = 2; i < words.size(); ++i) {
        arguments += (i > 2 ? " " : "") + words[i];
    }
    std::u16string commandLine = WideFromUtf8(arguments);
    PROCESS_INFORMATION information;
    if (!CreateProcessW(WideFromUtf8(words[1]).c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        0, nullptr, nullptr, nullptr, &information)) {
        error = "cannot start " + words[1];
        return false;
    }
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
    return true;
}

} // namespace

bool SplitScriptLine(const std::string &line, std::vector<std::string> &words) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string word;
        bool quoted = false;
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
            } else if (c == ' ' || c == '\t' || c == '\r') {
                break;
            } else {
                word += c;
            }
        }
        if (quoted) {
            return false;
        }
        words.push_back(word);
    }
    return true;
}

bool RunScriptCommand(const std::vector<std::string> &words, std::string &out, std::string &error) {
    if (words.empty()) {
        return true;
    }
    const std::string &command = words[0];
    int x = 0;
    int y = 0;
    BYTE key = 0;
    if (command == "start") {
        return Start(words, error);
    }
    if (command == "idle") {
        RunUntilIdle();
        return true;
    }
    if (command == "sleep") {
        long milliseconds = 0;
        if (words.size() != 2 || !ParseNumber(words[1], 0, LONG_MAX, milliseconds) ||
            milliseconds > 0x7FFFFFFF) {
            error = "sleep needs milliseconds";
            return false;
        }
        AdvanceDeviceTime(static_cast<DWORD>(milliseconds));
        return true;
    }
    if (command == "tap" || command == "down" || command == "move" || command == "up") {
        if (!ParsePoint(words, x, y, error)) {
            return false;
        }
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
    if (command == "key" || command == "keydown" || command == "keyup") {
        if (!ParseKey(words, key, error)) {
            return false;
        }
        if (command == "key") {
            PressKey(key);
        } else if (command == "keydown") {
            HoldKey(key);
        } else {
            ReleaseKey(key);
        }
        return true;
    }
    if (command == "type") {
        if (words.size() != 2) {
            error = "type needs one text";
            return false;
        }
        if (!TypeText(words[1])) {
            error = "type skipped characters no key gives";
            return false;
        }
        return true;
    }
    if (command == "windows") {
        out += DescribeWindows();
        return true;
    }
    if (command == "text") {
        std::string text;
        if (words.size() != 2) {
            error = "text needs a window class";
            return false;
        }
        if (!ReadWindowText(WideFromUtf8(words[1]), text)) {
            error = "no window of class " + words[1];
            return false;
        }
        out += text + "\n";
        return true;
    }
    if (command == "cursor") {
        out += WaitCursorShown() ? "wait\n" : "none\n";
        return true;
    }
    if (command == "screenshot") {
        if (words.size() != 2 || !SaveScreenshot(words[1])) {
            error = words.size() != 2 ? "screenshot needs a file" : "cannot write " + words[1];
            return false;
        }
        return true;
    }
    error = "unknown command " + command;
    return false;
}

int RunScript(std::istream &script, std::ostream &out, std::ostream &errors) {
    int failures = 0;
    std::string line;
    std::vector<std::string> words;
    for (int number = 1; std::getline(script, line); ++number) {
        std::string output;
        std::string error;
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        if (!SplitScriptLine(line, words)) {
            error = "a quote is left open";
        } else if (RunScriptCommand(words, output, error)) {
            out << output << std::flush;
            continue;
        }
        errors << "line " << number << ": " << error << "\n";
        ++failures;
    }
    return failures;
}
