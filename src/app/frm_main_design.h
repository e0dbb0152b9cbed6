#pragma once

#include <QKeySequence>

#include "common/one_row_per_value.h"
#include "storage/importance.h"

// The main window as designed, before its captions are loaded. Positions and sizes are in
// twips, measured from the top-left corner of the client area (below the menu bar).
namespace frm_main_design {

inline constexpr char16_t kTitle[] = u"Form1";
inline constexpr char16_t kTag[] = u"1000";
inline constexpr float kClientWidth = 7380;
inline constexpr float kClientHeight = 4044;
inline constexpr double kFontPointSize = 10.2;

struct Box {
    float left, top, width, height;
};

inline constexpr Box kTextBox = {0, 600, 4932, 852};

struct OptionButton {
    Box box;
    const char16_t* tag;
    const char16_t* caption;
    storage::Importance importance;  // what the button grades a note when selected
};
// optImportance(0..2); index 2 (normal) is selected at creation.
inline constexpr OptionButton kOptionButtons[] = {
    {{360, 120, 1452, 372}, u"1200", u"(0)", storage::Importance::VeryImportant},
    {{1920, 120, 1452, 372}, u"1201", u"(1)", storage::Importance::Important},
    {{3480, 120, 1452, 372}, u"1202", u"(2)", storage::Importance::Normal},
};
inline constexpr int kSelectedOption = 2;

// The menus and menu items, top to bottom.
enum class MenuItem {
    mnuFile,
    mnuFileSave,
    mnuFileSaveexit,
    mnuFileExit,
    mnuSet,
    mnuSetPath,
    mnuSetFont,
    mnuSetIMEMode,
    mnuHelp,
    mnuHelpAbout,
    Count  // not a menu item: how many there are
};

// The menu bar top to bottom, one row per MenuItem; level 1 is a menu on the bar, level 2 an
// item of the menu above it. Each carries its caption's resource ID as its designed caption.
struct MenuEntry {
    MenuItem item;
    int level;
    const char16_t* name;
    const char16_t* caption;
    int shortcut;  // a combined Qt key and modifiers; 0 for none
};
inline constexpr MenuEntry kMenus[] = {
    {MenuItem::mnuFile, 1, u"mnuFile", u"1100", 0},
    {MenuItem::mnuFileSave, 2, u"mnuFileSave", u"1101", (Qt::CTRL | Qt::Key_S).toCombined()},
    {MenuItem::mnuFileSaveexit, 2, u"mnuFileSaveexit", u"1102",
     (Qt::CTRL | Qt::Key_Q).toCombined()},
    {MenuItem::mnuFileExit, 2, u"mnuFileExit", u"1103", 0},
    {MenuItem::mnuSet, 1, u"mnuSet", u"1110", 0},
    {MenuItem::mnuSetPath, 2, u"mnuSetPath", u"1111", 0},
    {MenuItem::mnuSetFont, 2, u"mnuSetFont", u"1112", 0},
    {MenuItem::mnuSetIMEMode, 2, u"mnuSetIMEMode", u"1113", 0},
    {MenuItem::mnuHelp, 1, u"mnuHelp", u"1120", 0},
    {MenuItem::mnuHelpAbout, 2, u"mnuHelpAbout", u"1121", 0},
};

static_assert(common::OneRowPerValue<&MenuEntry::item>(kMenus),
              "kMenus has one row per MenuItem, in menu order");

}  // namespace frm_main_design
