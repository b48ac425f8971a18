// Reads a CPLEX LP file into the neutral model: the objective (Minimize or
// Maximize, or "multi-objectives" with Priority and Weight per objective),
// Subject To, Bounds, General and Binary sections, End. Keywords are
// case-insensitive and are recognised only at the start of a line.
#pragma once

#include <string>

#include "model/exchange_model.h"

namespace tavo::exchange {

struct LpModel {
  Model model;                   // goals in priority order, rows and columns with the file's names
  double objectiveConstant = 0;  // the first objective's constant term
  bool priorities = false;       // the goals come from prioritised objectives
};

// Reads LP text. Returns false with "line N: reason" in `error` on input this
// reader does not accept (quadratic terms, SOS, semi-continuous, indicators).
bool ReadLpText(const std::string& text, LpModel& out, std::string& error);

}  // namespace tavo::exchange
