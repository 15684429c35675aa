#pragma once
// The one table of the option fields: number, member, kind, settings-file group, dialog control
// and default. The record's default state, the settings file and the dialog all walk it.
#include "options/model/OptionInfo.h"

#include <array>
#include <concepts>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

enum class OptionKind { Check, Choice, List, Colour, Text };

using OptionMember = std::variant<int16_t OptionInfo::*, int32_t OptionInfo::*, std::string OptionInfo::*>;

struct OptionField {
    int number; // 1..64, record order
    OptionMember member;
    OptionKind kind;
    int group;                // settings-file group 1..6
    std::string_view control; // dialog control that holds the value
    int32_t defaultValue = 0; // texts always start empty

    // Bytes in a group's fixed part of the settings file; texts are written with their own length.
    constexpr int fixedBytes() const {
        switch (kind) {
        case OptionKind::Text: return 0;
        case OptionKind::Colour: return 4;
        default: return 2;
        }
    }
};

inline constexpr std::array<OptionField, 64> kOptionFields{{
    {1, &OptionInfo::FareDataDir, OptionKind::Text, 1, "Text2(0)"},
    {2, &OptionInfo::TapeDataDir, OptionKind::Text, 1, "Text2(1)"},
    {3, &OptionInfo::UseSeiriNumDisp, OptionKind::Check, 2, "Check1", 1},
    {4, &OptionInfo::SeiriNumColorOff, OptionKind::Colour, 2, "Command5(0)", 0xFFFFFF},
    {5, &OptionInfo::SeiriNumColorOn1, OptionKind::Colour, 2, "Command5(1)", 0xC0FFC0},
    {6, &OptionInfo::SeiriNumColorOn2, OptionKind::Colour, 2, "Command5(2)", 0x80C0FF},
    {7, &OptionInfo::SeiriNumStyle, OptionKind::List, 2, "Combo2", 0},
    {8, &OptionInfo::SeiriNumZeroPad, OptionKind::Check, 2, "Check2", 0},
    {9, &OptionInfo::PanelAuto, OptionKind::Choice, 2, "Option3(0)", -1},
    {10, &OptionInfo::PanelIndividual, OptionKind::Choice, 2, "Option3(1)", 0},
    {11, &OptionInfo::PanelOffBuiltin, OptionKind::Choice, 2, "Option3(7)", -1},
    {12, &OptionInfo::PanelOffUser, OptionKind::Choice, 2, "Option3(6)", 0},
    {13, &OptionInfo::PanelOn1Builtin, OptionKind::Choice, 2, "Option3(3)", -1},
    {14, &OptionInfo::PanelOn1User, OptionKind::Choice, 2, "Option3(2)", 0},
    {15, &OptionInfo::PanelOn2Builtin, OptionKind::Choice, 2, "Option3(4)", -1},
    {16, &OptionInfo::PanelOn2User, OptionKind::Choice, 2, "Option3(5)", 0},
    {17, &OptionInfo::PanelOffFile, OptionKind::Text, 2, "txtSelectPanel(0)"},
    {18, &OptionInfo::PanelOn1File, OptionKind::Text, 2, "txtSelectPanel(1)"},
    {19, &OptionInfo::PanelOn2File, OptionKind::Text, 2, "txtSelectPanel(2)"},
    {20, &OptionInfo::FareDegitBackColor, OptionKind::Colour, 3, "Command8(0)", 0x858585},
    {21, &OptionInfo::FareDegitBaseForeColor, OptionKind::Colour, 3, "Command8(1)", 0x808DA7},
    {22, &OptionInfo::FareDegitForeColor, OptionKind::Colour, 3, "Command8(2)", 0x79B9FF},
    {23, &OptionInfo::SeiriDegitBackColor, OptionKind::Colour, 3, "Command8(3)", 0x646464},
    {24, &OptionInfo::SeiriDegitBaseForeColor, OptionKind::Colour, 3, "Command8(4)", 0x728068},
    {25, &OptionInfo::SeiriDegitForeColor, OptionKind::Colour, 3, "Command8(5)", 0x6EC87E},
    {26, &OptionInfo::InfoKukanShow, OptionKind::Check, 3, "Check3(0)", 0},
    {27, &OptionInfo::InfoKukanPos, OptionKind::List, 3, "Combo4(0)", 0},
    {28, &OptionInfo::InfoKukanFromZero, OptionKind::Check, 3, "Check3(4)", 0},
    {29, &OptionInfo::InfoSeiriShow, OptionKind::Check, 3, "Check3(1)", 0},
    {30, &OptionInfo::InfoSeiriPos, OptionKind::List, 3, "Combo4(1)", 0},
    {31, &OptionInfo::InfoKeitoShow, OptionKind::Check, 3, "Check3(2)", 0},
    {32, &OptionInfo::InfoKeitoPos, OptionKind::List, 3, "Combo4(2)", 0},
    {33, &OptionInfo::InfoColumnShow, OptionKind::Check, 3, "Check3(3)", 0},
    {34, &OptionInfo::InfoColumnNo, OptionKind::List, 3, "Combo4(4)", 0},
    {35, &OptionInfo::InfoColumnPos, OptionKind::List, 3, "Combo4(3)", 0},
    {36, &OptionInfo::ChimeiBackColor, OptionKind::Colour, 4, "Command9(0)", 0x808080},
    {37, &OptionInfo::ChimeiForeColor, OptionKind::Colour, 4, "Command9(1)", 0x00FFFF},
    {38, &OptionInfo::ChimeiFontMode, OptionKind::List, 4, "Combo3", -1},
    {39, &OptionInfo::ChimeiFontBold, OptionKind::Check, 4, "Check4", 0},
    {40, &OptionInfo::SoundKeitoSet, OptionKind::Text, 5, "txtSelectSound(0)"},
    {41, &OptionInfo::SoundReset, OptionKind::Text, 5, "txtSelectSound(1)"},
    {42, &OptionInfo::StepSoundAlways, OptionKind::Choice, 5, "Option2(0)", -1},
    {43, &OptionInfo::StepSoundByColumn, OptionKind::Choice, 5, "Option2(1)", 0},
    {44, &OptionInfo::StepSoundSync, OptionKind::Choice, 5, "Option6(0)", 0},
    {45, &OptionInfo::StepSoundAsync, OptionKind::Choice, 5, "Option6(1)", -1},
    {46, &OptionInfo::StepSoundFile, OptionKind::Text, 5, "txtSelectSound(7)"},
    {47, &OptionInfo::StepSoundColumn, OptionKind::List, 5, "Combo1", 0},
    {48, &OptionInfo::StepSoundFile1, OptionKind::Text, 5, "txtSelectSound(8)"},
    {49, &OptionInfo::StepSoundFile2, OptionKind::Text, 5, "txtSelectSound(9)"},
    {50, &OptionInfo::StepSoundFile3, OptionKind::Text, 5, "txtSelectSound(10)"},
    {51, &OptionInfo::PreTapeSoundAlways, OptionKind::Choice, 5, "Option2(2)", -1},
    {52, &OptionInfo::PreTapeSoundByFlag, OptionKind::Choice, 5, "Option2(3)", 0},
    {53, &OptionInfo::PreTapeSoundSync, OptionKind::Choice, 5, "Option7(0)", -1},
    {54, &OptionInfo::PreTapeSoundAsync, OptionKind::Choice, 5, "Option7(1)", 0},
    {55, &OptionInfo::PreTapeSoundFile, OptionKind::Text, 5, "txtSelectSound(3)"},
    {56, &OptionInfo::PreTapeSoundFile1, OptionKind::Text, 5, "txtSelectSound(4)"},
    {57, &OptionInfo::PreTapeSoundFile2, OptionKind::Text, 5, "txtSelectSound(5)"},
    {58, &OptionInfo::PreTapeSoundFile3, OptionKind::Text, 5, "txtSelectSound(6)"},
    {59, &OptionInfo::UseSeiriPrev, OptionKind::Check, 6, "chkUseSeiriPrev", 0},
    {60, &OptionInfo::SeiriPlgPath, OptionKind::Text, 6, "txtSeiriPlgDir"},
    {61, &OptionInfo::DatePerPrint, OptionKind::Choice, 6, "Option4(0)", -1},
    {62, &OptionInfo::DateAtKeitoSet, OptionKind::Choice, 6, "Option4(1)", 0},
    {63, &OptionInfo::DateFixed, OptionKind::Choice, 6, "Option4(2)", 0},
    // Empty here: the dialog puts today's date into it when it is created.
    {64, &OptionInfo::FixedDate, OptionKind::Text, 6, "Label10"},
}};

// Calls f(field, value) for every field in record order, value being o's typed member
// (int16_t&, int32_t& or std::string&, const when o is), so f is usually a generic lambda.
template <class Info, class F>
requires std::same_as<std::remove_const_t<Info>, OptionInfo>
void forEachOption(Info& o, F&& f) {
    for (const OptionField& field : kOptionFields) std::visit([&](auto member) { f(field, o.*member); }, field.member);
}

// The table row of a member; used in a constant expression, a member not in the table fails to compile.
constexpr const OptionField& optionField(OptionMember member) {
    for (const OptionField& field : kOptionFields)
        if (field.member == member) return field;
    throw std::invalid_argument("not an option field");
}

// Puts one field of o back to its default.
inline void resetOption(OptionInfo& o, const OptionField& field) {
    std::visit(
        [&](auto member) {
            auto& value = o.*member;
            using T = std::remove_reference_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::string>)
                value.clear();
            else
                value = static_cast<T>(field.defaultValue);
        },
        field.member);
}

// Puts field `number` (1..64) of o back to its default.
inline void resetOption(OptionInfo& o, int number) { resetOption(o, kOptionFields.at(number - 1)); }
