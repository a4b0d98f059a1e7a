#pragma once
// A fixture for end-to-end tests: a distribution folder of its own (the real wizard, an INI, setup
// files), a Program Files folder of its own (so the default install folder is private to the test),
// the wizard started from there, and helpers that act on its pages as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WizardDriver.h"

// Windows paths of the build, known when the test binary is built (Z: is the Unix root under Wine).
std::string BuildPath(const std::string& relative);   // inside the test build folder
std::string FixturePath(const std::string& name);     // built test packages and stubs
std::string ScreenshotPath(const std::string& name);  // build/screenshots/<name>.bmp, folders made

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Where the wizard installs when nobody chooses a folder: the Program Files folder + "\Tarnwick".
std::string DefaultInstallFolder();

class WizardSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The configuration file beside the wizard.
    void WriteIni(const std::string& text);
    // Copies a fixture (see tests/fixtures) into the distribution folder under `asName`.
    void AddSetupFile(const std::string& fixture, const std::string& asName);
    // Replaces the wizard in the distribution folder with another build of it (relative to the build).
    void UseWizard(const std::string& buildRelative);

    void Start(const std::string& arguments = "");
    // Waits for the wizard to end and returns its full exit code.
    DWORD ExitCode(DWORD timeoutMs = 20000);

    // Waits for the page and fails the test when it does not come.
    HWND Page(const char* pageClass);
    // Presses the button with `caption` on `page` (posted, as a click).
    void Press(HWND page, const char* caption);
    // The control whose top-left corner is at (x, y) of the page's client area.
    HWND At(HWND page, int x, int y);
    // Waits for a message box with `caption`, checks its text, and answers it with `buttonId`.
    void Answer(const char* caption, const std::string& text, int buttonId);
    // Puts `folder` on the destination page as the folder browser does after a choice.
    void ChooseInstallFolder(HWND destination, const std::string& folder);
    // Walks from the welcome page to the contact page with Next, choosing installFolder on the way.
    HWND GoToContactPage();
    // Walks from the welcome page to the ready page with Next, installing into installFolder.
    HWND GoToReadyPage();
    void Screenshot(HWND window, const std::string& name);

    std::string root;          // everything of this test lives below here
    std::string dist;          // the wizard and its files
    std::string installFolder; // the test's own install folder (see GoToReadyPage)
    driver::Process wizard;
};

// The test build's seam that breaks a run off ("<section>:access-violation" or ":stack-overflow");
// null clears it.
void SetTestFault(const char* fault);

// Removes every test product that an earlier test left installed in the prefix.
void UninstallTestProducts();
