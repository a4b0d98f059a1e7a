// The usage report's request target from fuzzed contact values and component identifiers.
//
// Input: the first name, last name, e-mail and then one text per component, each ended by "\ " (a
// backslash and any other character; "\\" is a backslash inside a text); a component's text starts
// with "+" when it succeeded.
#include "installmanager/ReportTarget.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"

namespace {

bool IsUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '@';
}

int UpperHexValue(char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; }

// Reads an escaped value back; false when it holds anything but unreserved characters and "%XX".
bool Decode(const std::string& value, std::string& decoded) {
    decoded.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (IsUnreserved(value[i])) {
            decoded += value[i];
            continue;
        }
        if (value[i] != '%' || i + 2 >= value.size() || UpperHexValue(value[i + 1]) < 0 || UpperHexValue(value[i + 2]) < 0)
            return false;
        decoded += static_cast<char>(UpperHexValue(value[i + 1]) * 16 + UpperHexValue(value[i + 2]));
        i += 2;
    }
    return true;
}

std::string Underscored(std::string value) {
    for (char& c : value) c = c == ' ' ? '_' : c;
    return value;
}

void CheckEscaping(const std::string& value) {
    const std::string encoded = PercentEncode(value);
    std::string decoded;
    FUZZ_CHECK(Decode(encoded, decoded));
    FUZZ_CHECK(decoded == value);
}

// The target the report should have, put together from its parts.
std::string ExpectedTarget(const ReportContact& contact, const std::vector<ReportComponent>& components) {
    std::string ids;
    for (const ReportComponent& component : components) {
        if (!component.Succeeded || component.ColProdID == "-1") continue;
        if (!ids.empty()) ids += '_';  // an empty identifier first adds nothing, not even a separator
        ids += PercentEncode(component.ColProdID);
    }
    return "/support/tracking.aspx?fname=" + PercentEncode(Underscored(contact.FirstName)) +
           "&lname=" + PercentEncode(Underscored(contact.LastName)) + "&email=" + PercentEncode(Underscored(contact.Email)) +
           "&id=" + ids + "&allow=1";
}

// A sent target: the fixed path, then exactly the five parameters in order, each "name=value" with a
// value of unreserved characters and "%XX" only (no raw "&", "=", "#", blank, control or 8-bit byte).
void CheckSentTarget(const std::string& target, const ReportContact& contact) {
    FUZZ_CHECK(target.size() <= MaxReportTargetLength);
    const std::string path = "/support/tracking.aspx?";
    FUZZ_CHECK(target.compare(0, path.size(), path) == 0);
    const char* const names[] = {"fname", "lname", "email", "id", "allow"};
    const std::string* const contactValues[] = {&contact.FirstName, &contact.LastName, &contact.Email};
    std::size_t at = path.size();
    for (int i = 0; i < 5; ++i) {
        const std::size_t end = i < 4 ? target.find('&', at) : target.size();
        FUZZ_CHECK(end != std::string::npos);
        const std::string parameter = target.substr(at, end - at);
        const std::string name = std::string(names[i]) + "=";
        FUZZ_CHECK(parameter.compare(0, name.size(), name) == 0);
        std::string decoded;
        FUZZ_CHECK(Decode(parameter.substr(name.size()), decoded));
        if (i < 3) FUZZ_CHECK(decoded == Underscored(*contactValues[i]));
        at = end + 1;
    }
    FUZZ_CHECK(target.compare(target.size() - 8, 8, "&allow=1") == 0);
}

// Sent exactly when all three contact values are there and the whole target fits; what is sent is the
// expected target. Returns whether it was sent.
bool CheckReport(const ReportContact& contact, const std::vector<ReportComponent>& components) {
    std::string target;
    const bool sent = BuildReportTarget(contact, components, target);
    const std::string expected = ExpectedTarget(contact, components);
    const bool complete = !contact.FirstName.empty() && !contact.LastName.empty() && !contact.Email.empty();
    FUZZ_CHECK(sent == (complete && expected.size() <= MaxReportTargetLength));
    if (sent) {
        FUZZ_CHECK(target == expected);
        CheckSentTarget(target, contact);
    }
    return sent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    ReportContact contact;
    contact.FirstName = input.ConsumeRandomLengthString();
    contact.LastName = input.ConsumeRandomLengthString();
    contact.Email = input.ConsumeRandomLengthString();
    std::vector<ReportComponent> components;
    while (input.remaining_bytes() > 0) {
        const std::string text = input.ConsumeRandomLengthString();
        components.push_back({!text.empty() && text[0] == '+', text.empty() ? text : text.substr(1)});
    }

    CheckEscaping(contact.FirstName);
    CheckEscaping(contact.LastName);
    CheckEscaping(contact.Email);
    for (const ReportComponent& component : components) CheckEscaping(component.ColProdID);

    if (!CheckReport(contact, components)) return 0;
    // The same report with the first name lengthened to put the target exactly at the limit, and one past it.
    ReportContact longer = contact;
    longer.FirstName += std::string(MaxReportTargetLength - ExpectedTarget(contact, components).size(), 'a');
    std::string target;
    FUZZ_CHECK(BuildReportTarget(longer, components, target) && target.size() == MaxReportTargetLength);
    longer.FirstName += 'a';
    FUZZ_CHECK(!BuildReportTarget(longer, components, target));
    return 0;
}
