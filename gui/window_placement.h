// The frame's placement in the profile section [Window size]: "Rect" (the
// normal rectangle, "%04d %04d %04d %04d": left, top, right, bottom), "icon"
// (closed minimised) and "max" (closed maximised, or minimised from
// maximised). Read and written through the core's INI store, not QSettings.
#pragma once

#include <string>

class QWidget;

namespace tavo {
class Profile;
}

namespace tavo::gui {

struct PlacementRecord {
  // The normal rectangle; right and bottom lie just outside the window, as
  // the original's rectangles do.
  int left = 10;
  int top = 10;
  int right = 800;
  int bottom = 600;
  bool icon = false;
  bool max = false;
};

inline constexpr const char* kPlacementSection = "Window size";

// "Rect" as written: each number at least four digits with leading zeros
// ("-012" for -12).
std::string FormatRect(const PlacementRecord& rec);

// Reads the four numbers at byte offsets 0, 5, 10 and 15 the way atoi does
// (blanks, sign, digits; the rest ignored). A text too short to hold a number
// at each offset (edited by hand) or an empty rectangle leaves `rec`
// unchanged and returns false; nothing is read beyond the text's end.
bool ParseRect(const std::string& text, PlacementRecord& rec);

// The record from the profile (defaults for what is missing).
PlacementRecord ReadPlacement(const tavo::Profile& profile);
void WritePlacement(tavo::Profile& profile, const PlacementRecord& rec);

// Load-modify-save of the profile file, so that other sections written
// meanwhile (the settings dialog's [Init]) are kept.
PlacementRecord LoadPlacement(const std::string& profilePath);
bool SavePlacement(const std::string& profilePath, const PlacementRecord& rec);

// The window's state as a record: its normal rectangle and the flags derived
// from its show state (minimised from maximised gives icon 1, max 1).
PlacementRecord CapturePlacement(const QWidget& window);

// Gives the window its normal rectangle and shows it in the recorded state:
// minimised (restoring to maximised when max is set), maximised, or normal.
// The rectangle is not checked against the screen.
void ShowWithPlacement(QWidget& window, const PlacementRecord& rec);

}  // namespace tavo::gui
