#pragma once
// The wizard's own log ("/log <file>"): plain text, one line per event of the run, each written out
// at once, so that a run that ends abruptly still leaves what happened until then. Without /log no
// file is written and every call here does nothing.
#include <string>

// Creates (or empties) the log file; false, with Windows' reason in `problem`, when it cannot be
// written. The file stays open until CloseRunLog.
bool OpenRunLog(const std::string& path, std::string& problem);
bool RunLogOpen();
// One line, after the time of day ("14:03:27 ").
void LogLine(const std::string& text);
void CloseRunLog();
