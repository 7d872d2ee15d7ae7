// Device scripts: one command a line, run in order. Other tools drive the device through these
// commands and read their output, so both stay as they are.
#ifndef PLATFORM_DEVICE_DEVICE_SCRIPT_H
#define PLATFORM_DEVICE_DEVICE_SCRIPT_H

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// A line's words, and for each whether it was written in double quotes: a quoted window name is
// a caption, a bare one a class.
struct ScriptLine {
    std::vector<std::string> words;
    std::vector<bool> quoted;
};

// Splits a line into words at spaces and tabs; double quotes keep spaces in a word, and inside
// them \" and \\ stand for a quote and a backslash. False for a quote left open.
bool SplitScriptLine(const std::string &line, ScriptLine &out);

// Runs one command on the booted device, appending what it prints to out. False, with the
// reason in error, when the command is unknown, its arguments are wrong or it failed.
bool RunScriptCommand(const ScriptLine &line, std::string &out, std::string &error);

// Runs every line; blank lines and lines starting with "#" are skipped. A failed command is
// reported with its line number and the script goes on. Answers the number of failures.
int RunScript(std::istream &script, std::ostream &out, std::ostream &errors);

#endif
