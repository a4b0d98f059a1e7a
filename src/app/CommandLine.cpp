#include "app/CommandLine.h"

#include <cstddef>

#include "platform/NameRules.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return i == a.size() && !b[i];
}

// The value after `name=` when `argument` starts with it (name matched without regard to case).
bool ValueOf(const std::string& argument, const char* name, std::string& value) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos || !EqualNoCase(argument.substr(0, equals), name)) return false;
    value = argument.substr(equals + 1);
    return true;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> CommaSeparated(const std::string& list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        const std::string name = Trimmed(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!name.empty()) names.push_back(name);
        if (comma == std::string::npos) return names;
        start = comma + 1;
    }
}

// The room the staged files need after the install folder: "\SetupFiles\" and a short name.
constexpr std::size_t MaxInstallFolderLength = 259 - 24;
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
    const std::vector<std::string> arguments = SplitArguments(argumentText);
    bool quiet = false, passive = false;
    std::string value;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-d") switches.DeferRestart = true;
        else if (argument == "-r") switches.RestartRequired = true;
        else if (EqualNoCase(argument, "/quiet")) quiet = true;
        else if (EqualNoCase(argument, "/passive")) passive = true;
        else if (EqualNoCase(argument, "/uninstall")) switches.Uninstall = true;
        else if (EqualNoCase(argument, "/log")) {
            switches.LogRequested = true;
            switches.LogFile = i + 1 < arguments.size() ? arguments[++i] : std::string();
        } else if (ValueOf(argument, "COMPONENTS", value)) {
            switches.ComponentsGiven = true;
            switches.Components = CommaSeparated(value);
        } else if (ValueOf(argument, "INSTALLDIR", value)) {
            switches.InstallDirGiven = true;
            switches.InstallDir = WithoutTrailingBackslash(Trimmed(value));
        }
    }
    switches.Mode = quiet ? RunMode::Quiet : passive ? RunMode::Passive : RunMode::Wizard;
    if (switches.LogRequested && Trimmed(switches.LogFile).empty()) {
        switches.Problem = "/log needs the name of the log file after it.";
    } else if (switches.ComponentsGiven && switches.Components.empty()) {
        switches.Problem = "COMPONENTS= names no component.";
    } else if (switches.InstallDirGiven) {
        const std::string problem = InstallFolderProblem(switches.InstallDir);
        if (!problem.empty()) switches.Problem = "INSTALLDIR=" + switches.InstallDir + " " + problem;
    }
    return switches;
}

std::string WithoutTrailingBackslash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '\\' && !(folder.size() == 3 && folder[1] == ':')) folder.pop_back();
    return folder;
}

std::string InstallFolderProblem(const std::string& folder) { return FolderPathProblem(folder, MaxInstallFolderLength); }
