#pragma once
// The request target (path and query) of the usage report. Plain text logic, free of <windows.h>.
#include <cstddef>
#include <string>
#include <vector>

// The longest target the report sends; a longer one is not sent at all rather than cut.
constexpr std::size_t MaxReportTargetLength = 4095;

struct ReportComponent {
    bool Succeeded = false;
    std::string ColProdID;
};

struct ReportContact {
    std::string FirstName;
    std::string LastName;
    std::string Email;
};

// Query-value escaping: letters, digits and "-._~@" stay, every other byte becomes %XX (uppercase hex).
std::string PercentEncode(const std::string& value);

// Builds "/support/tracking.aspx?fname=..&lname=..&email=..&id=..&allow=1". Contact values have their
// blanks replaced by "_" and are then escaped; the id value joins the escaped ColProdID of every
// succeeded component whose identifier is not "-1" with "_". Returns false when the report must not
// be sent (a contact value is empty or the target would be longer than MaxReportTargetLength);
// `target` then holds an unusable partial text.
bool BuildReportTarget(const ReportContact& contact, const std::vector<ReportComponent>& components,
                       std::string& target);
