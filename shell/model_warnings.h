// Warnings about likely slips in a model text, for front ends: the command
// line prints them on standard error, the desktop can show them beside the
// editor's lines. A front end includes this header only; the scan itself
// lives with the model input.
#pragma once

#include "model/model_warnings.h"  // ModelWarning, WarningKind, FindModelWarnings
