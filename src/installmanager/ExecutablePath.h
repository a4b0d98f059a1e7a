#pragma once
// The full path of the running executable, which names the configuration file and the folder that
// holds the setup files. Tests point it elsewhere.
#include <string>

// The override when one is set, else the module path of the process ("" if Windows cannot give it).
std::string ExecutablePath();

// Makes ExecutablePath return `path`; an empty text returns to the real module path.
void OverrideExecutablePath(std::string path);
// Whether ExecutablePath names another file than the running program (tests).
bool ExecutablePathOverridden();
