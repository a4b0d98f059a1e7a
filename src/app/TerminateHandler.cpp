// What ends the wizard when the C++ library fails: the product's own code throws nothing (it is built
// without exceptions), but the library may (out of memory, a string past its maximum length).
//
// libstdc++'s default terminate handler names the exception's type on the standard error output,
// which a GUI program does not have, and brings the C++ name demangler (some 46 KB) into the
// executable for it. The product is linked with --wrap for that default handler (see CMakeLists.txt),
// which sends its references here: the exception's message in the application's error box, then the
// exit code the wizard would have ended with (13000 when a restart is due and left to the caller;
// 1603 in an unattended run).
//
// The library's checks in inline code (std::string, std::vector) do not throw themselves: they call
// std::__throw_length_error and its kin. Defined here, they end the wizard the same way at once, and
// the library's own versions stay out of the executable, and with them its exception classes and the
// second, copy-on-write std::string those classes keep their message in (about 55 KB).
#include <windows.h>

#include <cstdarg>
#include <exception>
#include <string>

#include "app/ExitCodes.h"
#include "app/Main.h"
#include "app/RunGuard.h"
#include "installmanager/Installation.h"
#include "installmanager/RunLog.h"
#include "installmanager/Settings.h"
#include "ui/Application.h"

namespace {
[[noreturn]] void EndWizard(const char* message) {
    if (ComponentBeingInstalled()) EndBrokenRun(message);
    Application::ShowError(message);
    // A deployment system must not read success from a run that broke off.
    const int exitCode = WizardSettings.Unattended ? ExitCodes::Failed : WizardExitCode();
    LogLine("Exit code: " + std::to_string(exitCode));
    CloseRunLog();
    ExitProcess(static_cast<UINT>(exitCode));
}
}  // namespace

extern "C" void __wrap__ZN9__gnu_cxx27__verbose_terminate_handlerEv() {
    const char* message = "";
    try {
        if (const std::exception_ptr escaped = std::current_exception()) std::rethrow_exception(escaped);
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
    }
    EndWizard(message);
}

// The library's hooks, with the signatures of <bits/functexcept.h>. Only those the product's code
// calls are defined: one more that it starts calling links the library's version again, which works
// as before and only costs the size.
namespace std {
void __throw_length_error(const char* message) { EndWizard(message); }
void __throw_logic_error(const char* message) { EndWizard(message); }
void __throw_bad_array_new_length() { EndWizard("std::bad_array_new_length"); }
void __throw_bad_alloc() { EndWizard("std::bad_alloc"); }

// The library's format knows %s and %zu only (functexcept.cc).
void __throw_out_of_range_fmt(const char* format, ...) {
    std::string message;
    va_list arguments;
    va_start(arguments, format);
    for (const char* c = format; *c; ++c) {
        if (c[0] == '%' && c[1] == 's') {
            const char* text = va_arg(arguments, const char*);
            message += text ? text : "";
            ++c;
        } else if (c[0] == '%' && c[1] == 'z' && c[2] == 'u') {
            message += std::to_string(va_arg(arguments, size_t));
            c += 2;
        } else {
            message += *c;
        }
    }
    va_end(arguments);
    EndWizard(message.c_str());
}
}  // namespace std
