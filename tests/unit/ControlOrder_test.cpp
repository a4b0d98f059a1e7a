// The order of a form's control windows from its layout table alone: Tab order for creating them,
// and the z-order screen readers take names and groups from.
#include "ui/ControlOrder.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Names(const std::vector<const ControlLayout*>& order) {
    std::vector<std::string> names;
    for (const ControlLayout* c : order) names.push_back(c->name);
    return names;
}

ControlLayout Control(const char* name, ControlKind kind, int tabOrder, const char* names = nullptr,
                      const char* groupBox = nullptr) {
    return {nullptr, name, kind, 0, 0, 10, 10, name, tabOrder, coNone, groupBox, names};
}

TEST(ControlOrder, LabelsNameWhatFollowsThemAndGroupsLieBeforeTheirControls) {
    using K = ControlKind;
    const struct {
        const char* form;
        std::vector<ControlLayout> layout;
        std::vector<std::string> creation, screenReaders;
    } rows[] = {
        {"contact page: a label before each edit box, the title under everything",
         {Control("imgBackground", K::Picture, -1), Control("lblTitle", K::Label, -1),
          Control("lblFirstName", K::Label, -1, "txtFirstName"), Control("txtFirstName", K::Edit, 0),
          Control("lblLastName", K::Label, -1, "txtLastName"), Control("txtLastName", K::Edit, 1),
          Control("cmdNext", K::Button, 2)},
         {"txtFirstName", "txtLastName", "cmdNext", "lblTitle", "lblFirstName", "lblLastName"},
         {"lblFirstName", "txtFirstName", "lblLastName", "txtLastName", "cmdNext", "lblTitle"}},
        {"summary page: the group box right before its list, which it names",
         {Control("imgBackground", K::Picture, -1), Control("lblText", K::Label, -1),
          Control("GroupBox1", K::GroupBox, -1, "lsvComponents"), Control("lsvComponents", K::ListView, 3, nullptr, "GroupBox1"),
          Control("cmdBack", K::Button, 1), Control("cmdNext", K::Button, 0), Control("cmdCancel", K::Button, 2)},
         {"cmdNext", "cmdBack", "cmdCancel", "lsvComponents", "lblText", "GroupBox1"},
         {"cmdNext", "cmdBack", "cmdCancel", "GroupBox1", "lsvComponents", "lblText"}},
        {"a label naming a list on a group box: group, label, list",
         {Control("grp", K::GroupBox, -1), Control("lblList", K::Label, -1, "lsv", "grp"),
          Control("lsv", K::ListView, 0, nullptr, "grp"), Control("chk", K::CheckBox, 1, nullptr, "grp"),
          Control("lblNote", K::Label, -1)},
         {"lsv", "chk", "grp", "lblList", "lblNote"},
         {"grp", "lblList", "lsv", "chk", "lblNote"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.form);
        EXPECT_EQ(row.creation, Names(CreationOrder(row.layout)));
        EXPECT_EQ(row.screenReaders, Names(ScreenReaderOrder(row.layout)));
    }
}

}  // namespace
