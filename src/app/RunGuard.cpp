#include "app/RunGuard.h"

#include <windows.h>

#include "app/ExitCodes.h"
#include "installmanager/Configuration.h"
#include "installmanager/FailureReasons.h"
#include "installmanager/Installation.h"
#include "installmanager/RunLog.h"
#include "installmanager/Settings.h"
#include "ui/Application.h"

namespace {

volatile LONG ending = 0;
// The cause, kept where the reporting thread finds it: an exception's code and address, or a text.
DWORD faultCode = 0;
const void* faultAddress = nullptr;
const std::string* faultText = nullptr;
// The first exception seen while a component's turn ran: under Wine the fault that breaks a run off
// often reaches us only as the stack overflow it causes in the exception dispatch.
const TSetupComponent* recordedFor = nullptr;
DWORD firstCode = 0;
const void* firstAddress = nullptr;

DWORD WINAPI Report(LPVOID) {
    const auto exception = [](DWORD code, const void* address) {
        return "exception " + HexText(code, 8) + " at " + HexText(reinterpret_cast<uintptr_t>(address), sizeof(void*) * 2);
    };
    const TSetupComponent* component = ComponentBeingInstalled();
    std::string cause = faultText ? *faultText : exception(faultCode, faultAddress);
    // The first exception of the component's turn comes first: it is the likelier cause.
    if (!faultText && component && recordedFor == component && firstCode != 0 &&
        (firstCode != faultCode || firstAddress != faultAddress))
        cause = exception(firstCode, firstAddress) + ", then " + cause;
    const std::string text =
        component ? "The run broke off in [" + component->SectionName + "] " + component->ComponentDescription + ": " +
                        cause + ". It and the components after it are not installed."
                  : "The Tarnwick Setup Wizard broke off: " + cause + ".";
    LogLine(text);
    LogLine("Exit code: " + std::to_string(ExitCodes::Failed));
    CloseRunLog();
    if (!WizardSettings.Unattended) Application::ShowError(text.c_str());
    TerminateProcess(GetCurrentProcess(), ExitCodes::Failed);
    return 0;
}

volatile DWORD reporterThread = 0;

[[noreturn]] void Finish() {
    // A second fault while the first is reported waits for the end; one in the reporting itself ends
    // the process at once.
    if (InterlockedExchange(&ending, 1) != 0) {
        if (GetCurrentThreadId() == reporterThread) TerminateProcess(GetCurrentProcess(), ExitCodes::Failed);
        for (;;) Sleep(INFINITE);
    }
    DWORD id = 0;
    const HANDLE reporter = CreateThread(nullptr, 256 * 1024, Report, nullptr, CREATE_SUSPENDED, &id);
    if (reporter) {
        reporterThread = id;
        ResumeThread(reporter);
        // The fault may have come while this thread held a lock the reporting needs (the loader's,
        // the heap's): the end comes all the same, after a while (a person gets ten minutes for the box).
        WaitForSingleObject(reporter, WizardSettings.Unattended ? 15000 : 600000);
    } else {
        Report(nullptr);
    }
    TerminateProcess(GetCurrentProcess(), ExitCodes::Failed);
    for (;;) Sleep(INFINITE);
}

LONG WINAPI Unhandled(EXCEPTION_POINTERS* info) {
    faultCode = info->ExceptionRecord->ExceptionCode;
    faultAddress = info->ExceptionRecord->ExceptionAddress;
    Finish();
}

// Sees every exception first, also those that are handled later, so it only records them; a stack
// overflow it ends at once: the handlers after it, the filter above included, may have no stack
// left to run on (Wine then ends the process with exit code 0).
LONG WINAPI Vectored(EXCEPTION_POINTERS* info) {
    if (const TSetupComponent* component = ComponentBeingInstalled(); component != recordedFor) {
        recordedFor = component;
        firstCode = info->ExceptionRecord->ExceptionCode;
        firstAddress = info->ExceptionRecord->ExceptionAddress;
    }
    if (info->ExceptionRecord->ExceptionCode != STATUS_STACK_OVERFLOW) return EXCEPTION_CONTINUE_SEARCH;
    faultCode = STATUS_STACK_OVERFLOW;
    faultAddress = info->ExceptionRecord->ExceptionAddress;
    Finish();
}

}  // namespace

void InstallRunGuard() {
    SetUnhandledExceptionFilter(Unhandled);
    AddVectoredExceptionHandler(1, Vectored);
    // Room for the handler after a stack overflow (Windows Vista and later).
    using GuaranteeProc = BOOL(WINAPI*)(PULONG);
    if (const HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
        const auto guarantee = reinterpret_cast<GuaranteeProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetThreadStackGuarantee")));
        ULONG reserve = 32 * 1024;
        if (guarantee) guarantee(&reserve);
    }
}

void EndBrokenRun(const std::string& what) {
    static std::string text;
    text = what;
    faultText = &text;
    Finish();
}
