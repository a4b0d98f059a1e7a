#pragma once
// The application object: title, the message loop shared by every form, and termination.
#include <windows.h>

class TForm;

namespace Application {

void Initialize(HINSTANCE instance);
HINSTANCE Instance();

void SetTitle(const char* title);
const char* Title();

// Asks the application to end: every modal loop returns Cancel and the main loop stops.
void Terminate();
bool Terminated();

// Waits for one message and handles it (keyboard handling of our forms included).
void HandleMessage();
// Handles every message waiting in the queue, then returns.
void ProcessMessages();

// Shows the main form (whose show handler may run for a long time) and runs the message loop until
// the application is terminated.
void Run(TForm& mainForm);

// The error box for a failure that ends the wizard (no window of it could be created), or, where a
// reporter is set (no one is at the screen), that reporter instead of the box.
void ShowError(const char* message);
void SetErrorReporter(void (*report)(const char* message));

}  // namespace Application
