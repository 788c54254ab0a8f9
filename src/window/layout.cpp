#include "window/layout.h"

#include <array>
#include <stdexcept>

#include "common/texts.h"

namespace quorlane::window {

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Font kPathFont{"楷体_GB2312", 12, 400, 134};

using enum ControlId;
using enum Kind;

// One row a control, in the order the window is described in (the controls are created in tab
// order, see creationOrder). Each row gives ControlRow's members in their order: id and name,
// kind, container, caption, place, tab index, then what differs from the defaults.
// clang-format off
const std::array<ControlRow, 23> kControls = {{
    {.id = Frame1, .name = "Frame1", .kind = frame, .caption = texts::kFrame1,
     .place = {120, 120, 8055, 3015}, .tabIndex = 9, .textColor = kRed},
    {.id = Combo1, .name = "Combo1", .kind = combo, .container = Frame1,
     .place = {120, 240, 4215, 360}, .tabIndex = 11, .font = kPathFont},
    {.id = Command3, .name = "Command3", .kind = button, .container = Frame1, .caption = texts::kCommand3,
     .place = {4440, 240, 1095, 375}, .tabIndex = 13},
    {.id = Command1, .name = "Command1", .kind = button, .container = Frame1, .caption = texts::kCommand1,
     .place = {5640, 240, 1095, 375}, .tabIndex = 14, .enabled = false},
    {.id = Command4, .name = "Command4", .kind = button, .container = Frame1, .caption = texts::kCommand4,
     .place = {6840, 240, 1095, 375}, .tabIndex = 12},
    {.id = CMDTeXT, .name = "CMDTeXT", .kind = edit, .container = Frame1,
     .place = {120, 720, 7815, 2055}, .tabIndex = 10, .multiline = true, .readOnly = true},

    {.id = Frame2, .name = "Frame2", .kind = frame, .caption = texts::kFrame2,
     .place = {120, 3240, 8055, 735}, .tabIndex = 15, .textColor = kRed},
    {.id = Command7, .name = "Command7", .kind = button, .container = Frame2,
     .caption = texts::kCommand7, .place = {120, 240, 2535, 375}, .tabIndex = 16},
    {.id = Command8, .name = "Command8", .kind = button, .container = Frame2,
     .caption = texts::kCommand8, .place = {2760, 240, 2535, 375}, .tabIndex = 17},
    {.id = Command9, .name = "Command9", .kind = button, .container = Frame2,
     .caption = texts::kCommand9, .place = {5400, 240, 2535, 375}, .tabIndex = 18},

    {.id = Label6, .name = "Label6", .kind = label,
     .caption = texts::kLabel6,
     .place = {120, 4080, 3975, 375}, .tabIndex = 20, .textColor = kRed},
    {.id = Label3, .name = "Label3", .kind = label, .caption = texts::kLabel3,
     .place = {4320, 4080, 3975, 375}, .tabIndex = 2, .textColor = kBlue},
    {.id = Label2, .name = "Label2", .kind = label, .caption = texts::kLabel2,
     .place = {120, 4440, 1695, 375}, .tabIndex = 0, .textColor = kRed},
    {.id = Label1, .name = "Label1", .kind = label, .caption = texts::kLabel1,
     .place = {1800, 4440, 1695, 375}, .tabIndex = 7, .textColor = kRed},
    {.id = Label4, .name = "Label4", .kind = label,
     .caption = texts::kLabel4,
     .place = {4320, 4440, 4095, 375}, .tabIndex = 3, .textColor = kBlue},
    {.id = Label5, .name = "Label5", .kind = label, .caption = texts::kLabel5,
     .place = {120, 4800, 4095, 1215}, .tabIndex = 4, .textColor = kBlue},

    {.id = Command2, .name = "Command2", .kind = button, .caption = texts::kCommand2,
     .place = {4320, 4800, 1575, 375}, .tabIndex = 5},
    {.id = Command5, .name = "Command5", .kind = button, .caption = texts::kCommand5,
     .place = {6480, 4800, 1575, 375}, .tabIndex = 6},
    {.id = Command10, .name = "Command10", .kind = button, .caption = texts::kCommand10,
     .place = {4320, 5280, 1575, 375}, .tabIndex = 19},
    {.id = Command6, .name = "Command6", .kind = button, .caption = texts::kCommand6,
     .place = {6480, 5280, 1575, 375}, .tabIndex = 8},

    // Holds the flash command prefix out of sight. Read-only and out of the tab order, so that
    // keys typed before the first click cannot change the command of every later flash.
    {.id = Text2, .name = "Text2", .kind = edit, .caption = texts::kFlashCommand,
     .place = {840, 6480, 3135, 375}, .tabIndex = 1, .readOnly = true, .tabStop = false},
    // The command runners: a picture each, never in the tab order.
    {.id = MyCMD2, .name = "MyCMD2", .kind = runner, .place = {5280, 5880, 480, 480},
     .tabStop = false},
    {.id = MyCMD1, .name = "MyCMD1", .kind = runner, .place = {6240, 5760, 480, 480},
     .tabStop = false},
}};
// clang-format on

constexpr FormLayout kForm{texts::kFormCaption, 8325, 6015};

}  // namespace

const FormLayout& form() {
  return kForm;
}

std::span<const ControlRow> controls() {
  return kControls;
}

const ControlRow* findRow(int id) {
  for (const auto& row : kControls) {
    if (static_cast<int>(row.id) == id) return &row;
  }
  return nullptr;
}

const ControlRow& control(ControlId id) {
  if (const ControlRow* row = findRow(static_cast<int>(id))) return *row;
  throw std::out_of_range("no such control");
}

TwipsRect absoluteRect(const ControlRow& row) {
  TwipsRect r = row.place;
  if (row.container != ControlId::none) {
    const ControlRow& frame = control(row.container);
    r.left += frame.place.left;
    r.top += frame.place.top;
  }
  return r;
}

int twipsToPixels(int twips, int dpi) {
  // Round half away from zero, so that 15 twips are one pixel at 96 DPI and 7 twips are none.
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = 720;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / 1440 : -((-scaled + half) / 1440));
}

}  // namespace quorlane::window
