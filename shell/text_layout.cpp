#include "shell/text_layout.h"

#include "shell/codec.h"

namespace tavo {

const std::vector<int>& ResultsTabStopUnits(ReportTab tab) {
  static const std::vector<int> stops[4] = {
      {30, 58, 85, 108, 130, 166, 216, 264},
      {28, 92, 113, 168},
      {92, 147, 202},
      {140},
  };
  int i = static_cast<int>(tab);
  if (i < 0 || i > 3) i = 0;
  return stops[i];
}

int DialogUnitsToCells(int units) { return (units + 2) / 4; }

int Cp932Width(std::string_view cp932) {
  int width = 0;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    if (IsCp932LeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size()) {
      ++i;
      width += 2;
    } else {
      ++width;
    }
  }
  return width;
}

std::string AlignTabs(std::string_view cp932, const std::vector<int>& stopCells, int defaultCells) {
  if (defaultCells < 1) defaultCells = 1;
  std::string out;
  out.reserve(cp932.size() + cp932.size() / 4);
  int column = 0;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(cp932[i]);
    if (IsCp932LeadByte(c) && i + 1 < cp932.size()) {
      // A double-byte character: two cells. Its second byte is never taken
      // for a tab or a line end.
      out += cp932[i];
      out += cp932[i + 1];
      ++i;
      column += 2;
      continue;
    }
    if (c == '\t') {
      int target = -1;
      for (int stop : stopCells) {
        if (stop > column) {
          target = stop;
          break;
        }
      }
      if (target < 0) target = (column / defaultCells + 1) * defaultCells;
      out.append(static_cast<std::size_t>(target - column), ' ');
      column = target;
      continue;
    }
    out += static_cast<char>(c);
    if (c == '\n' || c == '\r') {
      column = 0;
    } else {
      ++column;
    }
  }
  return out;
}

std::string AlignReport(std::string_view cp932, ReportTab tab) {
  std::vector<int> cells;
  for (int units : ResultsTabStopUnits(tab)) cells.push_back(DialogUnitsToCells(units));
  return AlignTabs(cp932, cells, DialogUnitsToCells(kResultsDefaultTabUnits));
}

}  // namespace tavo
