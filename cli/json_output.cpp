#include "cli/json_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "shell/codec.h"
#include "shell/json_writer.h"
#include "shell/texts.h"

namespace tavo::cli {
namespace {

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

// A code page 932 text without its line ends, in UTF-8.
std::string Line(const std::string& cp932) {
  std::string s = cp932;
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  return U(s);
}

const char* WarningKindName(WarningKind kind) {
  switch (kind) {
    case WarningKind::kOperatorInName:
      return "operator_in_name";
    case WarningKind::kExponentLikeName:
      return "exponent_like_name";
    case WarningKind::kRepeatedInRow:
      return "repeated_in_row";
    case WarningKind::kLikelyMisspelt:
      return "likely_misspelt";
  }
  return "other";
}

const char* RowTypeName(int type) {
  switch (type) {
    case 1:
      return "goal";
    case 2:
      return ">=";
    case 3:
      return "<=";
    case 4:
      return "=";
  }
  return "other";
}

void WriteSolution(JsonWriter& j, const RunOutcome& o) {
  const OutcomeSolution& s = o.solution;
  j.Key("goals").BeginArray();
  for (std::size_t g = 0; g < s.goals.size(); ++g) {
    j.BeginObject();
    j.Key("level").Integer(static_cast<long long>(g) + 1);
    j.Key("value").Number(s.goals[g]);
    j.Key("attained").Bool(std::fabs(s.goals[g]) < o.attainmentTolerance);
    j.EndObject();
  }
  j.EndArray();

  j.Key("columns").BeginArray();
  for (std::size_t c = 0; c < s.columns.size(); ++c) {
    const OutcomeColumn& col = s.columns[c];
    j.BeginObject();
    j.Key("number").Integer(static_cast<long long>(c) + 1);
    j.Key("name").String(U(col.name));
    j.Key("status").String(col.status);
    j.Key("value").Number(col.value);
    j.Key("reduced_cost").Number(col.reducedCost);
    j.EndObject();
  }
  j.EndArray();

  j.Key("rows").BeginArray();
  for (const OutcomeRow& row : s.rows) {
    j.BeginObject();
    j.Key("label").String(U(row.label));
    j.Key("type").String(RowTypeName(row.type));
    j.Key("ranged").Bool(row.ranged);
    j.Key("status").String(row.status);
    j.Key("activity").Number(row.activity);
    j.Key("dual_price").Number(row.dualPrices.empty() ? 0.0 : row.dualPrices[0]);
    j.Key("dual_prices").BeginArray();
    for (double p : row.dualPrices) j.Number(p);
    j.EndArray();
    if (row.haveRanging) {
      j.Key("ranging").BeginObject();
      j.Key("rhs").Number(row.rhs);
      if (row.increase < 0) {
        j.Key("increase").Null();
      } else {
        j.Key("increase").Limit(row.increase);
      }
      if (row.decrease < 0) {
        j.Key("decrease").Null();
      } else {
        j.Key("decrease").Limit(row.decrease);
      }
      j.EndObject();
    }
    j.EndObject();
  }
  j.EndArray();

  j.Key("error_information").BeginObject();
  j.Key("residual_total").Number(s.residualTotal);
  j.Key("residual_max").Number(s.residualMax);
  j.Key("price_check_total").Number(s.priceCheckTotal);
  j.Key("price_check_max").Number(s.priceCheckMax);
  j.EndObject();
}

}  // namespace

const char* ResultCodeName(int code) {
  static const char* const kNames[] = {"data_error",      "optimal",           "infeasible",      "unbounded",
                                       "iteration_limit", "search_data_error", "forced_feasible", "forced_infeasible"};
  if (code < 0 || code > 7) return "unknown";
  return kNames[code];
}

std::string OutcomeJson(const JsonDocumentInput& in) {
  static const CalcResult kEmpty;
  const CalcResult& result = in.result ? *in.result : kEmpty;
  const RunOutcome* o = in.outcome;
  const bool ran = o != nullptr && o->ran;

  JsonWriter j;
  j.BeginObject();
  j.Key("format").String("tavo-result");
  j.Key("format_version").Integer(1);
  j.Key("command").String(in.command);
  j.Key("model").String(in.model);
  j.Key("exit_status").Integer(in.exitStatus);

  j.Key("result").BeginObject();
  if (ran) {
    const int code = o->resultCode;
    j.Key("code").Integer(code);
    j.Key("name").String(ResultCodeName(code));
    const auto& messages = T().statusMessage;
    const bool haveMessage = code >= 0 && code < static_cast<int>(messages.size()) && !messages[code].empty();
    j.Key("message");
    if (haveMessage) {
      std::string m = Line(messages[code]);
      for (char& c : m)
        if (c == '\n' || c == '\r') c = ' ';
      j.String(m);
    } else {
      j.Null();
    }
  } else {
    // The model did not reach the solver: the parser rejected it, or only
    // a check was asked for.
    j.Key("code").Null();
    j.Key("name").String(in.dataErrors.empty() ? "not_solved" : "data_error");
    j.Key("message").Null();
  }
  j.EndObject();

  if (o != nullptr) {
    j.Key("title").String(U(o->title));
  } else {
    j.Key("title").Null();
  }
  j.Key("iterations");
  ran ? j.Integer(o->iterations) : j.Null();
  j.Key("branches");
  ran ? j.Integer(o->branches) : j.Null();
  j.Key("elapsed_seconds");
  ran ? j.Number(o->elapsedSeconds) : j.Null();

  j.Key("size").BeginObject();
  j.Key("rows").Integer(o ? o->rowCount : 0);
  j.Key("goal_rows").Integer(o ? o->goalCount : 0);
  j.Key("columns").Integer(o ? o->columnCount : 0);
  j.Key("integer_declarations").Integer(o ? o->integerCount : 0);
  j.EndObject();

  j.Key("solution");
  if (ran && o->haveSolution) {
    j.BeginObject();
    WriteSolution(j, *o);
    j.EndObject();
  } else {
    j.Null();
  }

  j.Key("data_errors").BeginArray();
  for (const DataError& e : in.dataErrors) {
    j.BeginObject();
    j.Key("line");
    e.line > 0 ? j.Integer(e.line) : j.Null();
    j.Key("text").String(Line(e.text));
    j.EndObject();
  }
  j.EndArray();

  j.Key("warnings").BeginArray();
  for (const ModelWarning& w : in.warnings) {
    j.BeginObject();
    j.Key("line").Integer(w.line);
    j.Key("kind").String(WarningKindName(w.kind));
    j.Key("text").String(Line(w.text));
    j.EndObject();
  }
  j.EndArray();

  j.Key("texts").BeginObject();
  j.Key("log").String(U(result.logText));
  j.Key("columns").String(U(result.columnsText));
  j.Key("rows").String(U(result.rowsText));
  j.Key("error").String(U(result.errorText));
  j.EndObject();

  j.EndObject();
  return j.Take();
}

bool WriteFileAtomically(const std::string& path, const std::string& data, std::string& reason) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    reason = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  bool ok = true;
  int err = 0;
  std::size_t done = 0;
  while (ok && done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      err = errno;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    err = errno;
  }
  // A new file gets the usual permissions (mkstemp makes it private).
  if (ok) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && std::rename(name.data(), path.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    std::remove(name.data());
    reason = "cannot write '" + path + "': " + std::strerror(err);
  }
  return ok;
}

}  // namespace tavo::cli
