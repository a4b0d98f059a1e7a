#include "installmanager/ReportTarget.h"

#include "installmanager/Settings.h"

namespace {

bool StaysUnescaped(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '@';
}

// A contact value as the server expects it: blanks as underscores, the rest escaped.
std::string ContactValue(std::string value) { return PercentEncode(ReplaceSpaces(value, '_')); }

}  // namespace

std::string PercentEncode(const std::string& value) {
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (const char ch : value) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (StaysUnescaped(c)) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += hexDigits[c >> 4];
            encoded += hexDigits[c & 0x0F];
        }
    }
    return encoded;
}

bool BuildReportTarget(const ReportContact& contact, const std::vector<ReportComponent>& components,
                       std::string& target) {
    target = "/support/tracking.aspx?fname=" + ContactValue(contact.FirstName);
    target += "&lname=" + ContactValue(contact.LastName);
    target += "&email=" + ContactValue(contact.Email);
    target += "&id=";
    for (const ReportComponent& component : components) {
        if (!component.Succeeded || component.ColProdID == "-1") continue;
        if (target.back() != '=') target += '_';
        // Identifiers come from the configuration file; escaping them too keeps a stray "&", "#",
        // blank or line break from breaking the request line. Plain identifiers are unchanged.
        target += PercentEncode(component.ColProdID);
    }
    if (contact.FirstName.empty() || contact.LastName.empty() || contact.Email.empty()) return false;
    target += "&allow=1";
    return target.size() <= MaxReportTargetLength;
}
