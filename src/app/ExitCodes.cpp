#include "app/ExitCodes.h"

int UnattendedExitCode(const TRunOutcome& outcome) {
    if (outcome.StartFailure != 0) return outcome.StartFailure;
    if (outcome.Cancelled) return ExitCodes::Cancelled;
    if (outcome.InstallerBusy) return ExitCodes::InstallerBusy;
    if (outcome.Failed) return ExitCodes::Failed;
    if (outcome.RestartRequired) return outcome.DeferRestart ? ExitCodes::RestartDeferred : ExitCodes::RestartRequired;
    return ExitCodes::Success;
}
