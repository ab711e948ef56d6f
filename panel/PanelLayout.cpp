#include "panel/PanelLayout.h"

namespace tracebay::panel {

// clang-format off
const std::array<PanelKey, acquisition::KeyNames.size()> PanelKeys = {{
    {"VK_Menu_Off",     "OFF",   KeyFace::Caption, {150, 690, 390, 270}, false},
    {"VK_F1",           "F1",    KeyFace::Caption, {90, 1290, 465, 315}, false},
    {"VK_F2",           "F2",    KeyFace::Caption, {90, 1935, 465, 315}, false},
    {"VK_F3",           "F3",    KeyFace::Caption, {90, 2580, 465, 315}, false},
    {"VK_F4",           "F4",    KeyFace::Caption, {90, 3225, 465, 315}, false},
    {"VK_F5",           "F5",    KeyFace::Caption, {90, 3870, 465, 315}, false},
    {"VK_F_DEC",        "",      KeyFace::Left,    {660, 840, 255, 225}, false},
    {"VK_F_F",          "",      KeyFace::Push,    {975, 840, 225, 225}, false},
    {"VK_F_INC",        "",      KeyFace::Right,   {1260, 840, 255, 225}, false},
    {"VK_Measure",      "",      KeyFace::Caption, {2010, 270, 465, 315}, false},
    {"VK_Acquire",      "",      KeyFace::Caption, {2880, 270, 465, 315}, false},
    {"VK_Storage",      "",      KeyFace::Caption, {3750, 270, 465, 315}, false},
    {"VK_Cursor",       "",      KeyFace::Caption, {2010, 870, 465, 315}, false},
    {"VK_Display",      "",      KeyFace::Caption, {2880, 870, 465, 315}, false},
    {"VK_Utility",      "",      KeyFace::Caption, {3750, 870, 465, 315}, false},
    {"VK_Auto",         "",      KeyFace::Caption, {4950, 510, 465, 315}, false},
    {"VK_Run",          "",      KeyFace::Caption, {5790, 510, 465, 315}, false},
    {"VK_CH1",          "CH1",   KeyFace::Caption, {1065, 1950, 465, 315}, false},
    {"VK_CH2",          "CH2",   KeyFace::Caption, {1065, 2415, 465, 315}, false},
    {"VK_Math",         "Math",  KeyFace::Caption, {1065, 2880, 465, 315}, false},
    {"VK_Ref",          "Ref",   KeyFace::Caption, {1065, 3345, 465, 315}, false},
    {"VK_La",           "LA",    KeyFace::Caption, {1080, 3810, 465, 315}, false},
    {"VK_CH_Off",       "OFF",   KeyFace::Caption, {1770, 2880, 465, 315}, false},
    {"VK_V_Pos_Inc",    "",      KeyFace::Up,      {2550, 2070, 255, 225}, true},
    {"VK_V_Pos_Dec",    "",      KeyFace::Down,    {2550, 2430, 255, 225}, true},
    {"VK_P_V_P",        "",      KeyFace::Push,    {1890, 2520, 225, 195}, false},
    {"VK_V_Inc",        "",      KeyFace::Up,      {2550, 3330, 255, 225}, false},
    {"VK_V_Dec",        "",      KeyFace::Down,    {2550, 3720, 255, 225}, false},
    {"VK_P_V",          "",      KeyFace::Push,    {1890, 3870, 225, 195}, false},
    {"VK_H_Pos_Dec",    "",      KeyFace::Left,    {3570, 2310, 255, 225}, true},
    {"VK_P_H_P",        "",      KeyFace::Push,    {3870, 2310, 225, 225}, false},
    {"VK_H_Pos_Inc",    "",      KeyFace::Right,   {4140, 2310, 255, 225}, true},
    {"VK_TimeMenu",     "Menu",  KeyFace::Caption, {3690, 2880, 465, 315}, false},
    {"VK_H_Dec",        "",      KeyFace::Left,    {3570, 3780, 255, 225}, false},
    {"VK_P_H",          "",      KeyFace::Push,    {3870, 3780, 225, 225}, false},
    {"VK_H_Inc",        "",      KeyFace::Right,   {4140, 3780, 255, 225}, false},
    {"VK_Trig_Lvl_Inc", "",      KeyFace::Up,      {5790, 1890, 255, 225}, true},
    {"VK_Trig_Lvl_Dec", "",      KeyFace::Down,    {5790, 2250, 255, 225}, true},
    {"VK_P_L",          "",      KeyFace::Push,    {5340, 2280, 225, 195}, false},
    {"VK_Trig_Menu",    "Menu",  KeyFace::Caption, {5220, 2670, 465, 315}, false},
    {"VK_Trig_50",      "50%",   KeyFace::Caption, {5220, 3187, 465, 315}, false},
    {"VK_Trig_Force",   "Force", KeyFace::Caption, {5220, 3705, 465, 315}, false},
}};

// The six menu keys carry their names beneath them, centred.
constexpr int MenuKeyCentre = 465 / 2;

const std::array<PanelLabel, 17> PanelLabels = {{
    {"MENU",       2700, 0,    LabelStyle::GroupTitle},
    {"Measure",    2010 + MenuKeyCentre, 570,  LabelStyle::Legend, true},
    {"Acquire",    2880 + MenuKeyCentre, 570,  LabelStyle::Legend, true},
    {"Storage",    3750 + MenuKeyCentre, 570,  LabelStyle::Legend, true},
    {"Cursor",     2010 + MenuKeyCentre, 1185, LabelStyle::Legend, true},
    {"Display",    2880 + MenuKeyCentre, 1185, LabelStyle::Legend, true},
    {"Utility",    3750 + MenuKeyCentre, 1185, LabelStyle::Legend, true},
    {"AUTO",       4950, 870,  LabelStyle::GroupTitle},
    {"RUN/STOP",   5550, 870,  LabelStyle::GroupTitle},
    {"Vertical",   1590, 1590, LabelStyle::GroupTitle},
    {"Position",   1590, 2190, LabelStyle::Legend},
    {"Scale",      1620, 3480, LabelStyle::Legend},
    {"Horizontal", 3495, 1590, LabelStyle::GroupTitle},
    {"Position",   3540, 1950, LabelStyle::Legend},
    {"Scale",      3540, 3390, LabelStyle::Legend},
    {"Trigger",    5190, 1590, LabelStyle::GroupTitle},
    {"Level",      5070, 1950, LabelStyle::Legend},
}};

const std::array<platform::TwipRect, 4> GroupOutlines = {{
    {1650, 120, 2955, 1335},  // MENU
    {870, 1710, 2115, 2565},  // Vertical
    {3330, 1740, 1275, 2535}, // Horizontal
    {4980, 1740, 1215, 2535}, // Trigger
}};
// clang-format on

}  // namespace tracebay::panel
