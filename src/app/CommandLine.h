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

// How the wizard runs: its pages for a person, or unattended for a deployment system.
enum class RunMode {
    Wizard,   // the pages (no switch)
    Passive,  // "/passive": only the progress page, no question
    Quiet,    // "/quiet": no window at all
};

struct CommandLineSwitches {
    bool DeferRestart = false;     // "-d"
    bool RestartRequired = false;  // "-r"
    RunMode Mode = RunMode::Wizard;
    bool Uninstall = false;        // "/uninstall": remove the components instead of installing them
    bool LogRequested = false;     // "/log <file>"
    std::string LogFile;
    bool ComponentsGiven = false;  // "COMPONENTS=Name1,Name2": section names, blanks around them dropped
    std::vector<std::string> Components;
    bool InstallDirGiven = false;  // "INSTALLDIR=<folder>"
    std::string InstallDir;
    // A switch whose value cannot be used, in words for the user and the log; empty when none.
    std::string Problem;
};

// "-d" and "-r" count only as whole arguments spelled exactly so (quotes around them allowed):
// capitals ("-D"), combined forms ("-dr") and longer arguments ("x-d") are not switches.
// "/quiet", "/passive", "/uninstall" and "/log" are matched without regard to case, as are the names before "=" in
// "COMPONENTS=" and "INSTALLDIR="; "/log" takes the argument after it as the log file. "/quiet" wins
// over "/passive"; of a repeated switch the last counts. Every other argument is ignored.
CommandLineSwitches ParseSwitches(const std::string& argumentText);

// Why `folder` cannot be the install folder given on the command line ("" when it can): a full folder
// path by Windows' rules (platform/NameRules.h: device names too) that leaves room for the staged files
// within the path limit.
std::string InstallFolderProblem(const std::string& folder);
// The folder as the wizard stores it: without trailing backslashes, except for a drive's root (C:\).
std::string WithoutTrailingBackslash(std::string folder);
