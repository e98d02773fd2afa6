#include "layout.h"

namespace fw {

namespace {

// name, rectangle (left, top, width, height), picture, see-through, shown at creation, role
constexpr std::array<ElementInfo, ElementCount> kLayout{{
    {"Im_Base", {0, 0, 652, 443}, PictureKind::Jpeg, false, true, ElementRole::Case},
    {"Puls_Time", {491, 73, 22, 22}, PictureKind::Jpeg, false, true, ElementRole::Button},
    {"Puls_ACL", {588, 107, 13, 13}, PictureKind::Jpeg, false, true, ElementRole::Button},
    {"Puls_Left", {74, 341, 41, 41}, PictureKind::Jpeg, false, true, ElementRole::Button},
    {"Puls_Right", {528, 340, 42, 41}, PictureKind::Jpeg, false, true, ElementRole::Button},
    {"Puls_Alarm", {538, 90, 17, 17}, PictureKind::None, false, true, ElementRole::Button},
    {"Im_Man1", {212, 145, 43, 41}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man1A", {242, 180, 17, 9}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man1B", {236, 171, 24, 16}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man1C", {198, 172, 17, 24}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish1Got", {182, 200, 27, 24}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man2", {262, 141, 38, 40}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man2A", {263, 177, 9, 12}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man2B", {264, 174, 24, 12}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man2C", {293, 169, 19, 25}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish2Got", {308, 192, 24, 30}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man3", {369, 139, 32, 39}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man3A", {397, 167, 14, 16}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man3B", {384, 165, 23, 17}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Man3C", {357, 167, 17, 25}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish3Got", {333, 185, 29, 26}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab1A", {193, 170, 20, 23}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab1B", {186, 170, 33, 23}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab1", {183, 142, 21, 24}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Stick1", {207, 191, 37, 7}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Stick1A", {215, 198, 36, 7}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab2A", {297, 168, 21, 23}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab2B", {291, 168, 33, 23}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab2", {309, 140, 21, 25}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Stick2", {266, 190, 37, 8}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Stick2A", {270, 198, 38, 8}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab3A", {351, 167, 21, 21}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab3B", {345, 167, 33, 21}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Crab3", {340, 139, 22, 24}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Stick3", {366, 186, 37, 7}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Stick3A", {371, 195, 37, 7}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish11", {231, 235, 30, 31}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish11A", {186, 252, 25, 33}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish11B", {210, 274, 36, 22}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish12", {205, 216, 34, 44}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish13", {216, 199, 25, 22}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish0", {280, 259, 11, 15}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish21", {292, 252, 20, 26}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish22", {275, 231, 33, 27}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish23", {255, 207, 38, 43}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish24", {282, 196, 23, 28}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish31", {296, 279, 19, 20}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish32", {332, 251, 23, 30}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish32A", {312, 232, 21, 37}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish32B", {308, 259, 21, 36}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish33", {355, 236, 24, 28}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish34", {330, 212, 38, 34}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Fish35", {368, 197, 24, 31}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_TimeAM", {333, 284, 11, 4}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_TimePM", {333, 297, 10, 4}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_NumPos1", {339, 282, 16, 19}, PictureKind::None, true, true, ElementRole::DigitPlace},
    {"Im_NumPos2", {357, 282, 16, 19}, PictureKind::None, true, true, ElementRole::DigitPlace},
    {"Im_TimePP", {374, 286, 5, 13}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_NumPos3", {381, 282, 16, 19}, PictureKind::None, true, true, ElementRole::DigitPlace},
    {"Im_NumPos4", {398, 282, 16, 19}, PictureKind::None, true, true, ElementRole::DigitPlace},
    {"Im_Note", {354, 264, 19, 16}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_GameB", {377, 263, 26, 5}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_GameA", {377, 250, 27, 6}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Miss1", {406, 250, 27, 29}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Miss2", {406, 230, 27, 20}, PictureKind::Mono, true, false, ElementRole::Segment},
    {"Im_Miss3", {406, 210, 27, 20}, PictureKind::None, true, false, ElementRole::Segment},
    {"Im_Num0", {0, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num1", {24, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num2", {48, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num3", {72, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num4", {96, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num5", {120, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num6", {144, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num7", {168, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num8", {192, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_Num9", {216, 400, 16, 19}, PictureKind::Mono, true, false, ElementRole::DigitPicture},
    {"Im_SchermoTop", {174, 134, 265, 179}, PictureKind::None, false, true, ElementRole::InputArea},
}};

constexpr std::array<ButtonHint, 5> kButtonHints{{
    {Puls_Time, PointerShape::Hand, "Click to view current time (hold to view alarm time)"},
    {Puls_ACL, PointerShape::Hand, "Click to reset game"},
    {Puls_Left, PointerShape::Help, "Use left arrow key to start/move left"},
    {Puls_Right, PointerShape::Help, "Use right arrow key to start/move right"},
    {Puls_Alarm, PointerShape::Help, "Button disabled"},
}};

constexpr std::array<std::string_view, ElementCount> kEnumNames{{
#define FW_ELEMENT(name) #name,
#include "elements.def"
#undef FW_ELEMENT
}};

constexpr bool tableMatchesEnum() {
    for (int i = 0; i < ElementCount; ++i)
        if (kLayout[i].name != kEnumNames[i]) return false;
    return true;
}
static_assert(tableMatchesEnum(), "layout rows must follow the Element order");

}  // namespace

const std::array<ElementInfo, ElementCount>& layout() {
    return kLayout;
}

std::optional<Element> elementByName(std::string_view name) {
    for (int i = 0; i < ElementCount; ++i)
        if (kLayout[i].name == name) return static_cast<Element>(i);
    return std::nullopt;
}

const std::array<ButtonHint, 5>& buttonHints() {
    return kButtonHints;
}

const ButtonHint* buttonHint(Element e) {
    for (const auto& h : kButtonHints)
        if (h.element == e) return &h;
    return nullptr;
}

}  // namespace fw
