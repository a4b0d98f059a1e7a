#pragma once
// The usage report: one HTTP GET to the maker's web server with the user's contact details and the
// identifiers of the components installed with success.
#include <string>

// The report's request target from the contact details in WizardSettings and the catalogue; false
// when nothing is to be sent (a contact value is empty, or the target would be too long).
bool BuildUsageReportTarget(std::string& target);

// Sends the report when BuildUsageReportTarget allows it. Every failure is silent; the answer is
// never read.
void SendUsageReport();
