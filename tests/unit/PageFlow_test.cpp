#include "app/PageFlow.h"

#include <gtest/gtest.h>

#include "pages/SizeText.h"

namespace {

constexpr int Next = 1, Cancel = 2, Back = 4;
using S = WizardStep;

TEST(PageFlow, EveryStepAndResultLeadsWhereThePagesSay) {
    struct Row { WizardStep step; int result; WizardStep expected; };
    const Row rows[] = {
        {S::Welcome, Next, S::Selection},       {S::Welcome, Cancel, S::End},
        {S::Welcome, Back, S::End},             // Back is disabled there; nothing to go back to
        {S::Selection, Next, S::Destination},   {S::Selection, Back, S::Welcome},
        {S::Selection, Cancel, S::End},         {S::Destination, Next, S::ContactInfo},
        {S::Destination, Back, S::Selection},   {S::Destination, Cancel, S::End},
        {S::ContactInfo, Next, S::Ready},       {S::ContactInfo, Back, S::Destination},
        {S::ContactInfo, Cancel, S::End},       {S::Ready, Next, S::Progress},
        {S::Ready, Back, S::ContactInfo},       {S::Ready, Cancel, S::End},
        {S::Progress, 0, S::Summary},           // the summary follows a cancelled run too
        {S::Summary, Next, S::End},             {S::Summary, Cancel, S::End},
        {S::Selection, 0, S::End},              {S::Destination, 3, S::End},  // results no page gives
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NextStep(row.step, row.result), row.expected)
            << "step " << static_cast<int>(row.step) << ", result " << row.result;
    }
}

TEST(SizeText, WholeKilobytesWithTheUsersThousandsSeparator) {
    struct Row { int64_t size; const char* separator; const char* expected; };
    const Row rows[] = {
        {0, ",", "~0 KB"},          {999, ",", "~999 KB"},          {1000, ",", "~1,000 KB"},
        {2500, ",", "~2,500 KB"},   {2500, ".", "~2.500 KB"},       {1234567, "\xA0", "~1\xA0" "234\xA0" "567 KB"},
        {100000, "", "~100000 KB"}, {-1500, ",", "~-1,500 KB"},
        {INT64_MIN, ",", "~-9,223,372,036,854,775,808 KB"},
    };
    for (const Row& row : rows) EXPECT_EQ(FormatSizeText(row.size, row.separator), row.expected) << row.size;
}

}  // namespace
