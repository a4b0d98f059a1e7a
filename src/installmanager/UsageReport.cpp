#include "installmanager/UsageReport.h"

#include <vector>

#include "BuildConfig.h"
#include "installmanager/Configuration.h"
#include "installmanager/ReportTarget.h"
#include "installmanager/Settings.h"
#include "web/QelWinInet.h"

namespace {

constexpr const char* AgentName = "Tarnwick Setup Wizard";

// After Finish no page is on screen, yet a caller that started us with "-d" waits for our exit code.
// WinInet's own time-outs (tens of seconds, with retries) would hold it that long against a server
// that accepts and never answers or a firewall that swallows the connection; these bound the report
// to about ten seconds. Two connection attempts: one per address of a host with an IPv4 and an IPv6
// address. Name resolution itself is not bounded by WinInet's options.
constexpr DWORD ReportTimeoutMs = 2500;
constexpr DWORD ReportConnectAttempts = 2;

// Set on the Internet handle, whose time-outs the handles made from it inherit, and again on the
// connection: some WinInet implementations (Wine's) take the send and receive time-outs from there only.
void BoundTheWait(CQelWinInet& client, HINTERNET handle) {
    struct Option { DWORD option, value; };
    const Option options[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, ReportTimeoutMs},
                              {INTERNET_OPTION_CONNECT_RETRIES, ReportConnectAttempts},
                              {INTERNET_OPTION_SEND_TIMEOUT, ReportTimeoutMs},
                              {INTERNET_OPTION_RECEIVE_TIMEOUT, ReportTimeoutMs}};
    for (Option option : options) client.SetOption(handle, option.option, &option.value, sizeof option.value);
}

}  // namespace

bool BuildUsageReportTarget(std::string& target) {
    ReportContact contact;
    contact.FirstName = WizardSettings.GetContactFirstName();
    contact.LastName = WizardSettings.GetContactLastName();
    contact.Email = WizardSettings.GetContactEmail();
    std::vector<ReportComponent> components;
    for (int i = 0; i < ComponentCount(); ++i) {
        ReportComponent component;
        component.Succeeded = Component(i).Succeeded;
        component.ColProdID = Component(i).ColProdID;
        components.push_back(component);
    }
    return BuildReportTarget(contact, components, target);
}

void SendUsageReport() {
    std::string target;
    if (!BuildUsageReportTarget(target)) return;

    CQelWinInet client;
    if (!client.hLibrary) return;
    const HINTERNET internet = client.Open(AgentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!internet) return;
    BoundTheWait(client, internet);
    const HINTERNET connection = client.Connect(internet, TARNWICK_REPORT_HOST, INTERNET_DEFAULT_HTTP_PORT,
                                                nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (connection) {
        BoundTheWait(client, connection);
        LPCSTR acceptTypes[] = {"*/*", nullptr};
        const HINTERNET request =
            client.OpenRequest(connection, "GET", target.c_str(), nullptr, nullptr, acceptTypes, 0, 0);
        if (request) {
            client.SendRequest(request, nullptr, 0, nullptr, 0);  // the answer is of no interest
            client.Close(request);
        }
        client.Close(connection);
    }
    client.Close(internet);
}
