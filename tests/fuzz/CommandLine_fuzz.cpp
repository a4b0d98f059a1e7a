// The command line: the program name skipped, the arguments split, the switches recognised.
#include "app/CommandLine.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Without(std::string text, std::string_view characters) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [characters](char c) { return characters.find(c) != std::string_view::npos; }),
               text.end());
    return text;
}

// A text without quotes split at its blanks and tabs, independently of the quote handling.
std::vector<std::string> SplitAtBlanks(const std::string& text) {
    std::vector<std::string> words;
    for (std::size_t start = text.find_first_not_of(" \t"); start != std::string::npos;) {
        const std::size_t end = text.find_first_of(" \t", start);
        words.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? end : text.find_first_not_of(" \t", end);
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Behind either form of program name, the argument text is the rest without its leading blanks.
    const std::size_t first = text.find_first_not_of(" \t");
    const std::string rest = first == std::string::npos ? std::string() : text.substr(first);
    FUZZ_CHECK(ArgumentText("TarnwickSetup.exe " + text) == rest);
    FUZZ_CHECK(ArgumentText("\"C:\\Program Files\\Tarnwick Setup.exe\"\t" + text) == rest);
    const std::string argumentText = ArgumentText(text);
    FUZZ_CHECK(argumentText.size() <= text.size());
    FUZZ_CHECK(text.compare(text.size() - argumentText.size(), std::string::npos, argumentText) == 0);
    FUZZ_CHECK(argumentText.empty() || !IsBlank(argumentText[0]));

    const std::vector<std::string> arguments = SplitArguments(text);
    // No quote survives, and every other character but the separating blanks lands in an argument, in order.
    std::string joined;
    for (const std::string& argument : arguments) {
        FUZZ_CHECK(argument.find('"') == std::string::npos);
        joined += argument;
    }
    FUZZ_CHECK(Without(joined, " \t") == Without(text, "\" \t"));
    // Without quotes, the arguments are the words between blanks, and no argument holds a blank.
    if (text.find('"') == std::string::npos) FUZZ_CHECK(arguments == SplitAtBlanks(text));
    // Each argument quoted again reads back as itself.
    std::string quoted;
    for (const std::string& argument : arguments) quoted += "\t\"" + argument + "\" ";
    FUZZ_CHECK(SplitArguments(quoted) == arguments);

    // A switch is a whole argument spelled exactly "-d" or "-r", unless it is the file after "/log".
    const CommandLineSwitches switches = ParseSwitches(text);
    std::vector<std::string> switchArguments;  // the file name after "/log" is none
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string lower = arguments[i];
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        switchArguments.push_back(arguments[i]);
        if (lower == "/log") ++i;
    }
    FUZZ_CHECK(switches.DeferRestart == (std::count(switchArguments.begin(), switchArguments.end(), "-d") > 0));
    FUZZ_CHECK(switches.RestartRequired == (std::count(switchArguments.begin(), switchArguments.end(), "-r") > 0));

    // "/quiet" wins over "/passive", both spelled in any case.
    const auto present = [&](const char* name) {
        return std::any_of(switchArguments.begin(), switchArguments.end(), [name](std::string a) {
            std::transform(a.begin(), a.end(), a.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
            return a == name;
        });
    };
    const RunMode mode = present("/quiet") ? RunMode::Quiet : present("/passive") ? RunMode::Passive : RunMode::Wizard;
    FUZZ_CHECK(switches.Mode == mode);
    // Component names are the non-empty pieces between commas, without blanks around them.
    for (const std::string& name : switches.Components) {
        FUZZ_CHECK(!name.empty() && name.find(',') == std::string::npos);
        FUZZ_CHECK(!IsBlank(name.front()) && !IsBlank(name.back()));
    }
    FUZZ_CHECK(!switches.ComponentsGiven || !switches.Components.empty() || !switches.Problem.empty());
    // An install folder that passes is a full path, stored without a trailing backslash but at a root.
    if (switches.InstallDirGiven && switches.Problem.empty()) {
        const std::string& folder = switches.InstallDir;
        FUZZ_CHECK(InstallFolderProblem(folder).empty());
        FUZZ_CHECK((folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') || folder.rfind("\\\\", 0) == 0);
        FUZZ_CHECK(folder.back() != '\\' || (folder.size() == 3 && folder[1] == ':'));
        FUZZ_CHECK(folder.find_first_of("*?\"<>|") == std::string::npos);
    }
    // The folder check takes any text, the raw input too.
    if (InstallFolderProblem(text).empty()) FUZZ_CHECK(text.size() >= 3 && (text[1] == ':' || text.rfind("\\\\", 0) == 0));
    return 0;
}
