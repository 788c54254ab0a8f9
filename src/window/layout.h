#pragma once
// The main window and every control on it, as one table: kind, container, caption, position and
// size in twips, tab index, colours and font. The platform layer creates the real controls from
// this table; the handlers reach the controls by their ids.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quorlane::window {

// Control ids stay clear of 1001, the id a combo box gives its own edit field, so that every id
// names exactly one window of the main window's tree.
enum class ControlId : int {
  none = 0,
  Command1 = 2001,  // 开始 (Start)
  Command2,         // 线刷资源下载 (download page)
  Command3,         // 选择 (Select)
  Command4,         // 退出 (Exit)
  Command5,         // shop page
  Command6,         // 常见问题解答 (FAQ page)
  Command7,         // built-in image 1
  Command8,         // built-in image 2
  Command9,         // built-in image 3
  Command10,        // 进入FastBoot方法 (how to enter fastboot)
  Label1 = 2101,
  Label2,
  Label3,
  Label4,
  Label5,
  Label6,
  Frame1 = 2201,
  Frame2,
  Combo1 = 2301,  // image path
  Text2,          // flash command prefix, below the client area
  CMDTeXT,        // output box
  MyCMD1 = 2401,
  MyCMD2,
  // Not in the table: the button of the result panel that the feedback shows over the output
  // box (the panels themselves are 2501 and 2502).
  ResultAction = 2503,
};

enum class Kind {
  frame,   // group box with a caption
  combo,   // drop-down combo box: an edit field with a list
  button,  // push button
  edit,    // text box
  label,   // static text, transparent background
  runner,  // the command runner's face: its 32 x 32 console picture
};

// Whether a control of this kind can take the keyboard focus (and so a place among the Tab stops).
constexpr bool takesFocus(Kind kind) {
  return kind == Kind::button || kind == Kind::combo || kind == Kind::edit;
}

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A rectangle in twips.
struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct Font {
  std::string_view face;
  int points;
  int weight;
  int charset;
};

// One control, written with designated initializers: a row names what it sets, and what it
// leaves out keeps the default given here.
struct ControlRow {
  ControlId id = ControlId::none;
  std::string_view name = {};
  Kind kind = Kind::label;
  ControlId container = ControlId::none;  // a frame, or none for the window's client area
  std::string_view caption = {};
  TwipsRect place = {};  // relative to the container's top-left corner
  int tabIndex = -1;     // -1: no place in the tab order
  std::optional<Rgb> textColor = std::nullopt;
  bool enabled = true;
  bool multiline = false;  // edit: several lines with a vertical scroll bar
  bool readOnly = false;
  bool tabStop = true;  // buttons, combo and edits take the focus with Tab
  std::optional<Font> font = std::nullopt;
};

struct FormLayout {
  std::string_view caption = {};
  int clientWidth, clientHeight;  // twips
};

const FormLayout& form();
std::span<const ControlRow> controls();
const ControlRow& control(ControlId id);

// The control's rectangle relative to the window's client area (frames resolved), in twips.
TwipsRect absoluteRect(const ControlRow& row);

// Twips to pixels at a given DPI: 1440 twips an inch, so exactly 15 twips a pixel at 96 DPI.
int twipsToPixels(int twips, int dpi);

// The runner's background behind its picture's transparent pixels.
inline constexpr Rgb kRunnerBackground{224, 224, 224};

}  // namespace quorlane::window
