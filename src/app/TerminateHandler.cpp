// What ends the wizard when an exception escapes: the product's own code throws none (it is built
// without exceptions), but the C++ library may (out of memory, in practice). libstdc++'s default
// handler names the exception's type on the standard error output, which a GUI program does not
// have, and brings the C++ name demangler (some 46 KB) into the executable for it. The product is
// linked with --wrap for that default handler (see CMakeLists.txt), which sends its references here:
// the exception's message in the application's error box, then the exit code the wizard would have
// ended with (13000 when a restart is due and left to the caller).
#include <windows.h>

#include <exception>

#include "app/Main.h"
#include "ui/Application.h"

extern "C" void __wrap__ZN9__gnu_cxx27__verbose_terminate_handlerEv() {
    const char* message = "";
    try {
        if (const std::exception_ptr escaped = std::current_exception()) std::rethrow_exception(escaped);
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
    }
    Application::ShowError(message);
    ExitProcess(static_cast<UINT>(WizardExitCode()));
}
