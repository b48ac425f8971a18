// Laying out the tab-separated report texts in character cells, with the tab
// stops of the results window, so that their tables line up in a terminal
// or any fixed-pitch display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavo {

// The four texts of a run, in the order of the results window's tabs.
enum class ReportTab { kLog = 0, kColumns = 1, kRows = 2, kError = 3 };

// The results window's tab stops of each text, in dialog units (four to the
// average character width).
const std::vector<int>& ResultsTabStopUnits(ReportTab tab);

// Beyond the last stop a tab advances to the next multiple of this many
// dialog units.
constexpr int kResultsDefaultTabUnits = 32;

// Dialog units to character cells, rounded to the nearest cell.
int DialogUnitsToCells(int units);

// Display width of a code page 932 text in character cells: a double-byte
// character is two cells, every other byte one (half-width katakana
// included). A lone lead byte at the end counts one.
int Cp932Width(std::string_view cp932);

// Replaces every tab of a code page 932 text by the blanks that carry it to
// the next stop in `stopCells` (ascending; a tab always moves at least one
// cell); beyond the last stop, to the next multiple of `defaultCells`. Columns
// count from each line's start, double-byte characters as two cells. Line
// ends and all other bytes stay as they are.
std::string AlignTabs(std::string_view cp932, const std::vector<int>& stopCells, int defaultCells);

// AlignTabs with the results window's stops of `tab`.
std::string AlignReport(std::string_view cp932, ReportTab tab);

}  // namespace tavo
