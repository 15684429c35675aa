#include "options/model/OptionTable.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <vector>

namespace {

std::ptrdiff_t offsetIn(const OptionInfo& o, const OptionField& f) {
    return std::visit(
        [&](auto m) { return reinterpret_cast<const char*>(&(o.*m)) - reinterpret_cast<const char*>(&o); }, f.member);
}

bool sameValue(const OptionInfo& a, const OptionInfo& b, const OptionField& f) {
    return std::visit([&](auto m) { return a.*m == b.*m; }, f.member);
}

} // namespace

TEST(OptionTable, FollowsTheRecordInDeclarationOrder) {
    const OptionInfo o;
    std::ptrdiff_t previous = -1;
    std::set<std::string_view> controls;
    for (std::size_t i = 0; i < kOptionFields.size(); ++i) {
        const OptionField& f = kOptionFields[i];
        EXPECT_EQ(f.number, int(i) + 1);
        const std::ptrdiff_t offset = offsetIn(o, f);
        EXPECT_GT(offset, previous) << "field " << f.number;
        previous = offset;
        EXPECT_TRUE(controls.insert(f.control).second) << "control of field " << f.number << " repeated";
    }
}

TEST(OptionTable, KindsMatchMemberWidths) {
    // The settings file writes a field's fixed bytes straight from its member.
    OptionInfo o;
    forEachOption(o, [](const OptionField& f, auto& value) {
        using T = std::remove_cvref_t<decltype(value)>;
        const int width = std::is_same_v<T, std::string> ? 0 : int(sizeof(T));
        EXPECT_EQ(f.fixedBytes(), width) << "field " << f.number;
    });
}

TEST(OptionTable, GroupsHaveTheSettingsFileSizes) {
    std::vector<int> fixed(7), texts(7);
    int lastGroup = 1;
    for (const OptionField& f : kOptionFields) {
        ASSERT_GE(f.group, lastGroup) << "field " << f.number;
        ASSERT_LE(f.group, 6);
        lastGroup = f.group;
        fixed[f.group] += f.fixedBytes();
        texts[f.group] += f.kind == OptionKind::Text;
    }
    EXPECT_EQ(fixed, (std::vector<int>{0, 0, 34, 44, 12, 18, 8}));
    EXPECT_EQ(texts, (std::vector<int>{0, 2, 3, 0, 0, 10, 2}));
}

TEST(OptionTable, DefaultsAreConsistentAndExact) {
    const OptionInfo o;

    // Each group of option buttons starts with exactly one selected, and every button is in a group.
    const std::vector<std::vector<int>> buttonGroups{{9, 10},  {11, 12}, {13, 14}, {15, 16},    {42, 43},
                                                     {44, 45}, {51, 52}, {53, 54}, {61, 62, 63}};
    std::set<int> grouped;
    for (const auto& g : buttonGroups) {
        int on = 0;
        for (int n : g) {
            grouped.insert(n);
            EXPECT_EQ(kOptionFields[n - 1].kind, OptionKind::Choice) << "field " << n;
            on += kOptionFields[n - 1].defaultValue == -1;
        }
        EXPECT_EQ(on, 1) << "group starting at field " << g.front();
    }
    for (const OptionField& f : kOptionFields)
        EXPECT_TRUE(f.kind != OptionKind::Choice || grouped.count(f.number)) << "field " << f.number;

    EXPECT_EQ(o.UseSeiriNumDisp, 1);
    EXPECT_EQ(o.SeiriNumColorOn2, 0x80C0FF);
    EXPECT_EQ(o.FareDegitForeColor, 0x79B9FF);
    EXPECT_EQ(o.ChimeiForeColor, 0x00FFFF);
    EXPECT_EQ(o.ChimeiFontMode, -1);
    EXPECT_EQ(o.StepSoundAsync, -1);
    EXPECT_EQ(o.PreTapeSoundSync, -1);
    EXPECT_EQ(o.DatePerPrint, -1);
    EXPECT_TRUE(o.FixedDate.empty());
    EXPECT_EQ(kOptionFields[10].control, "Option3(7)");
    EXPECT_EQ(kOptionFields[33].control, "Combo4(4)");
    EXPECT_EQ(kOptionFields[45].control, "txtSelectSound(7)");
}

TEST(OptionTable, ResetTouchesOnlyTheNamedField) {
    const OptionInfo defaults;
    OptionInfo o;
    forEachOption(o, [](const OptionField&, auto& value) {
        using T = std::remove_cvref_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::string>)
            value.push_back('x');
        else
            value = T(7);
    });
    for (int n = 3; n <= 6; ++n) resetOption(o, n);
    for (const OptionField& f : kOptionFields)
        EXPECT_EQ(sameValue(o, defaults, f), f.number >= 3 && f.number <= 6) << "field " << f.number;
}
