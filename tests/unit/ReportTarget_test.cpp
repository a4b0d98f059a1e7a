// The usage report: the request target as pure text, and the request made through stand-in WinInet
// entry points (the lead's end-to-end test sends one to a real listener).
#include "installmanager/ReportTarget.h"

#include <gtest/gtest.h>

#include "BuildConfig.h"
#include "InstallManagerFixture.h"
#include "TempFolder.h"
#include "LibraryLoaderRecorder.h"
#include "installmanager/UsageReport.h"

namespace {

const ReportContact Mary = {"Mary Ann", "de Vries", "mary.devries@example.org"};

std::string Target(const ReportContact& contact, const std::vector<ReportComponent>& components) {
    std::string target;
    return BuildReportTarget(contact, components, target) ? target : "<not sent>";
}

TEST(ReportTarget, ContactsAndSucceededIdentifiersInOrder) {
    struct Row {
        std::vector<ReportComponent> components;
        const char* id;
    };
    const Row rows[] = {
        {{{true, "12"}, {true, "40"}, {true, "-1"}}, "12_40"},  // the third has no ColProdID key
        {{{true, "12"}, {true, "40"}, {true, "7"}}, "12_40_7"},
        {{{true, "-1"}, {true, "12"}, {false, "40"}, {true, "7"}}, "12_7"},
        {{}, ""},
        {{{false, "12"}, {true, "-1"}}, ""},
        {{{true, ""}, {true, "12"}}, "12"},  // an empty identifier adds nothing, not even a separator
        {{{true, "12"}, {true, ""}, {true, "40"}}, "12__40"},
        {{{true, "-1 "}, {true, "-01"}}, "-1%20_-01"},  // only exactly "-1" is left out
    };
    for (const Row& row : rows) {
        EXPECT_EQ(std::string("/support/tracking.aspx?fname=Mary_Ann&lname=de_Vries&email=mary.devries@example.org") +
                      "&id=" + row.id + "&allow=1",
                  Target(Mary, row.components));
    }
}

TEST(ReportTarget, NothingIsSentWithoutAllThreeContactValues) {
    const ReportContact contacts[] = {
        {"", "de Vries", "m@example.org"}, {"Mary", "", "m@example.org"}, {"Mary", "de Vries", ""}, {"", "", ""}};
    for (const ReportContact& contact : contacts)
        EXPECT_EQ("<not sent>", Target(contact, {{true, "12"}})) << contact.FirstName << "|" << contact.LastName;
    // A blank is a value: it goes out as an underscore.
    EXPECT_EQ("/support/tracking.aspx?fname=_&lname=_&email=_&id=&allow=1", Target({" ", " ", " "}, {}));
}

TEST(ReportTarget, ValuesAreEscapedByteByByte) {
    // Identifiers are escaped the same way but keep their blanks (as %20): no underscores there.
    struct Row {
        std::string value;
        const char* encoded;
        const char* identifier = nullptr;  // when it differs from `encoded`
    };
    const Row rows[] = {
        {"AZaz09-._~@", "AZaz09-._~@"},
        {"Tom & Jerry", "Tom_%26_Jerry", "Tom%20%26%20Jerry"},
        {"100%", "100%25"},
        {"a+b", "a%2Bb"},
        {"x#y", "x%23y"},
        {"k=v?", "k%3Dv%3F"},
        {"J\xF6rg", "J%F6rg"},                      // an ANSI byte above 127
        {"line\r\nHost: evil", "line%0D%0AHost%3A_evil", "line%0D%0AHost%3A%20evil"},
        {std::string("nul\0x", 5), "nul%00x"},
        {"\x7F\x80\xFF", "%7F%80%FF"},
        {"a/b\\c\"d'e<f>", "a%2Fb%5Cc%22d%27e%3Cf%3E"},
    };
    for (const Row& row : rows) {
        const ReportContact contact = {row.value, row.value, row.value};
        const std::string e = row.encoded;
        const std::string id = row.identifier ? row.identifier : row.encoded;
        EXPECT_EQ("/support/tracking.aspx?fname=" + e + "&lname=" + e + "&email=" + e + "&id=" + id + "&allow=1",
                  Target(contact, {{true, row.value}}))
            << row.encoded;
    }
}

TEST(ReportTarget, TooLongTargetIsNotSentAtAll) {
    const std::string fixed = "/support/tracking.aspx?fname=&lname=de_Vries&email=m@x.org&id=12&allow=1";
    const std::size_t room = MaxReportTargetLength - fixed.size();
    std::string target;
    ASSERT_TRUE(BuildReportTarget({std::string(room, 'a'), "de Vries", "m@x.org"}, {{true, "12"}}, target));
    EXPECT_EQ(MaxReportTargetLength, target.size());
    EXPECT_FALSE(BuildReportTarget({std::string(room + 1, 'a'), "de Vries", "m@x.org"}, {{true, "12"}}, target));
    // Escaping counts: one "&" takes three characters.
    EXPECT_FALSE(BuildReportTarget({std::string(room - 2, 'a') + "&", "de Vries", "m@x.org"}, {{true, "12"}}, target));
    EXPECT_TRUE(BuildReportTarget({std::string(room - 3, 'a') + "&", "de Vries", "m@x.org"}, {{true, "12"}}, target));
    std::vector<ReportComponent> many(2000, {true, "12"});
    EXPECT_FALSE(BuildReportTarget(Mary, many, target));
}

class UsageReportTest : public InstallManagerTest {
protected:
    void SetUp() override {
        InstallManagerTest::SetUp();
        LibraryLoaderRecorder::Reset();
        LibraryLoaderRecorder::useFakes = true;
        SetLibraryLoaderCalls(LibraryLoaderRecorder::Calls());
        WriteTextFile(folder / "Setup.INI",
                      "[A]\nColProdID=12\n[B]\nColProdID=40\n[C]\n[D]\nColProdID=99\n");
        ASSERT_TRUE(LoadConfigurationFrom(folder / "Setup.INI"));
        Component(0).Succeeded = Component(1).Succeeded = Component(2).Succeeded = true;
        WizardSettings.SetContactFirstName("Mary Ann");
        WizardSettings.SetContactLastName("de Vries");
        WizardSettings.SetContactEmail("mary@example.org");
    }
    void TearDown() override {
        SetLibraryLoaderCalls(nullptr);
        InstallManagerTest::TearDown();
    }
    TempFolder folder;
};

TEST_F(UsageReportTest, TargetComesFromTheSettingsAndTheCatalogue) {
    std::string target;
    ASSERT_TRUE(BuildUsageReportTarget(target));
    EXPECT_EQ("/support/tracking.aspx?fname=Mary_Ann&lname=de_Vries&email=mary@example.org&id=12_40&allow=1", target);
    WizardSettings.SetContactEmail("");
    EXPECT_FALSE(BuildUsageReportTarget(target));
}

TEST_F(UsageReportTest, OneRequestWithHandlesClosedInnermostFirst) {
    using Calls = std::vector<std::string>;
    const auto join = [](std::initializer_list<Calls> parts) {
        Calls all;
        for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    // Time-outs bound the wait for a server that never answers (connect, attempts, send, receive), set on
    // the Internet handle and again on the connection.
    const auto bounded = [](const std::string& handle) {
        Calls options;
        for (const char* option : {" 2 2500", " 3 2", " 5 2500", " 6 2500"}) options.push_back("SetOption " + handle + option);
        return options;
    };
    const Calls open = {"Open Tarnwick Setup Wizard 0 - - 0"};
    const Calls connect = join({bounded("16"), {"Connect 16 " + std::string(TARNWICK_REPORT_HOST) + " 80 - - 3 0 0"}});
    const Calls request = join(
        {bounded("32"),
         {"OpenRequest 32 GET /support/tracking.aspx?fname=Mary_Ann&lname=de_Vries&email=mary@example.org&id=12_40"
          "&allow=1 - - [*/*] 0 0"}});
    const Calls sent = {"SendRequest 48 - 0 - 0", "Close 48", "Close 32", "Close 16"};
    const struct {
        const char* failing;
        Calls calls;
    } rows[] = {
        {"", join({open, connect, request, sent})},
        {"SendRequest", join({open, connect, request, sent})},
        {"OpenRequest", join({open, connect, request, {"Close 32", "Close 16"}})},
        {"Connect", join({open, connect, {"Close 16"}})},
        {"Open", open},
    };
    for (const auto& row : rows) {
        LibraryLoaderRecorder::Reset();
        LibraryLoaderRecorder::useFakes = true;
        FakeInternet::failing = row.failing;
        SendUsageReport();
        EXPECT_EQ(row.calls, FakeInternet::log) << "failing: " << row.failing;
        EXPECT_EQ(1, LibraryLoaderRecorder::loads) << row.failing;
        EXPECT_EQ(1, LibraryLoaderRecorder::frees) << "the library is released, failing: " << row.failing;
    }
}

TEST_F(UsageReportTest, NothingHappensWithoutContactOrLibrary) {
    WizardSettings.SetContactLastName("");
    SendUsageReport();
    EXPECT_EQ(0, LibraryLoaderRecorder::loads);  // not even the library is loaded
    EXPECT_TRUE(FakeInternet::log.empty());

    WizardSettings.SetContactLastName("de Vries");
    LibraryLoaderRecorder::libraryMissing = true;
    SendUsageReport();
    EXPECT_TRUE(FakeInternet::log.empty());
    EXPECT_EQ(0, LibraryLoaderRecorder::frees);
}

}  // namespace
