#pragma once
// The wizard's command line. Plain text logic, free of <windows.h>.
#include <string>
#include <vector>

// The command line without the program name: the name (in double quotes, or up to the first blank or
// tab) and the blanks and tabs after it are skipped; the rest, possibly empty, is returned.
std::string ArgumentText(const std::string& commandLine);

// The argument text split at blanks and tabs; double quotes group blanks into one argument and are
// removed ("a b"c gives a bc).
std::vector<std::string> SplitArguments(const std::string& argumentText);

struct CommandLineSwitches {
    bool DeferRestart = false;     // "-d"
    bool RestartRequired = false;  // "-r"
};

// A switch counts only as a whole argument spelled exactly "-d" or "-r" (quotes around it allowed).
// Capitals ("-D"), combined forms ("-dr") and longer arguments ("x-d") are not switches; every other
// argument is ignored.
CommandLineSwitches ParseSwitches(const std::string& argumentText);
