#pragma once
// The main window and every control on it, as one table: kind, container, caption, position and
// size in twips, tab index, colours and font. The platform layer creates the real controls from
// this table; the handlers reach the controls by their ids.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "ports/control_id.h"

namespace quorlane::window {

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
// A control's row; the table has a row for every id the program names.
const ControlRow& control(ControlId id);
// The row of a control id as a window reports it (any int), or nullptr when no row has it.
const ControlRow* findRow(int id);

// The control's rectangle relative to the window's client area (frames resolved), in twips.
TwipsRect absoluteRect(const ControlRow& row);

// Twips to pixels at a given DPI: 1440 twips an inch, so exactly 15 twips a pixel at 96 DPI.
int twipsToPixels(int twips, int dpi);

// The runner's background behind its picture's transparent pixels.
inline constexpr Rgb kRunnerBackground{224, 224, 224};

}  // namespace quorlane::window
