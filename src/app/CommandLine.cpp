#include "app/CommandLine.h"

#include <cstddef>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string ArgumentText(const std::string& commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    if (i < n && commandLine[i] == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        i = closing == std::string::npos ? n : closing + 1;
    } else {
        while (i < n && !IsBlank(commandLine[i])) ++i;
    }
    while (i < n && IsBlank(commandLine[i])) ++i;
    return commandLine.substr(i);
}

std::vector<std::string> SplitArguments(const std::string& argumentText) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (const char c : argumentText) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;  // "" on its own is an empty argument
        } else if (IsBlank(c) && !quoted) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

CommandLineSwitches ParseSwitches(const std::string& argumentText) {
    CommandLineSwitches switches;
    for (const std::string& argument : SplitArguments(argumentText)) {
        if (argument == "-d") switches.DeferRestart = true;
        if (argument == "-r") switches.RestartRequired = true;
    }
    return switches;
}
