#pragma once
// What ends the wizard when something breaks it off: an exception that nobody handles (in our code
// or in a DLL we call, Windows Installer's included), a stack overflow, or a failure of the C++
// library. The log's last lines say that the run broke off and in which component, an interactive
// wizard shows the error box, and the process ends with 1603: a deployment tool must never read
// success from a run that did not finish.
#include <string>

// Installed once at start: the unhandled-exception filter, a vectored handler that records each
// exception and acts only on a stack overflow (after one, no filter may get to run), and a stack
// reserve for that moment where Windows offers one.
void InstallRunGuard();

// Ends the wizard as broken off, with `what` as the cause ("exception 0xC0000005 at ..."); never
// returns. The reporting runs on a thread of its own, so that it has a whole stack.
[[noreturn]] void EndBrokenRun(const std::string& what);
