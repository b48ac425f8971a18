// The keyboard's lock states for the status bar's indicators, where the
// platform lets a program read them (the X server's indicators under xcb);
// elsewhere every state is unknown.
#pragma once

#include <optional>

namespace tavo::gui {

struct KeyboardState {
  std::optional<bool> kana;
  std::optional<bool> caps;
  std::optional<bool> num;
  std::optional<bool> scroll;
};

KeyboardState ReadKeyboardState();

}  // namespace tavo::gui
