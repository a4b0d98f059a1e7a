#include "installmanager/UsageReport.h"

#include <vector>

#include "BuildConfig.h"
#include "installmanager/Configuration.h"
#include "installmanager/ReportTarget.h"
#include "installmanager/Settings.h"
#include "web/QelWinInet.h"

namespace {
constexpr const char* AgentName = "Tarnwick Setup Wizard";
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
    const HINTERNET connection = client.Connect(internet, TARNWICK_REPORT_HOST, INTERNET_DEFAULT_HTTP_PORT,
                                                nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (connection) {
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
