#pragma once
// Field parsing for the texts of Windows Installer's progress and common-data messages, which look like
// "1: 2 2: 1024 3: 0 4: 1 " (field number, colon, blank, value, blank). No Windows headers here, so the
// parsers also build natively for sanitizer and fuzzing runs.
#include <cstdint>
#include <string>

// The values of the most recent messages. They live for the whole process, and a field that a message
// does not carry keeps the value an earlier message gave it.
struct TParsedFields {
    int32_t Progress[4] = {0, 0, 0, 0};  // progress fields 1 to 4
    int32_t CommonData[2] = {0, 0};      // common-data fields 1 and 2
};
extern TParsedFields ParsedFields;

// Reads progress fields 1 to 4 from `text` into ParsedFields.Progress; true when the text is usable.
// A missing or empty text, a field 1 that is not a digit, an unknown field number, or a text that ends
// before a field's value gives false. Reads nothing beyond the text's terminating zero.
bool ParseProgressFields(const char* text);

// Reads common-data fields 1 and 2 into ParsedFields.CommonData; true when the text is usable. A caption
// message (field 1 = 1) and texts of any other form give false.
bool ParseCommonDataFields(const char* text);

// Reads one field value at `cursor`: a decimal integer with an optional sign that ends at the next blank
// or at the end of the text. Leaves the cursor on that blank or on the terminating zero. No digits give 0;
// values beyond the 32-bit range are held at its limits.
int32_t ReadFieldNumber(const char*& cursor);

// The description part of an action-start text such as "Action 16:01:44: InstallFiles. Copying new
// files": everything from two characters after the first full stop (empty when the stop ends the text
// or is its next-to-last character). A text without a full stop gives everything from its second
// character on.
std::string ActionDescription(const char* text);

// An action-data text as the detail label shows it: every ",  " (comma and two blanks) becomes a line
// break, so "File: a.dll,  Folder: C:\App" shows on two lines.
std::string ActionDetailLines(const char* text);
