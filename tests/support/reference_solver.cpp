#include "tests/support/reference_solver.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/calc_result.h"
#include "tests/support/mps_reader.h"

namespace tavo::testsupport {

const char* RefStatusName(RefStatus s) {
  switch (s) {
    case RefStatus::kOptimal:
      return "optimal";
    case RefStatus::kInfeasible:
      return "infeasible";
    case RefStatus::kUnbounded:
      return "unbounded";
    case RefStatus::kFailed:
      break;
  }
  return "failed";
}

int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[8192];
  std::size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, got);
  int status = ::pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

bool OnPath(const char* program) {
  std::string out;
  return RunCommand(std::string("command -v ") + program, out) == 0 && !out.empty();
}

bool Contains(const std::string& text, const char* what) { return text.find(what) != std::string::npos; }

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

RefOutcome RunGlpsol(const std::string& lpPath, const std::string& dir, bool mip, double timeLimit) {
  RefOutcome r;
  std::string raw = dir + "/solution.raw";
  std::filesystem::remove(raw);
  std::string cmd = "glpsol --lp '" + lpPath + "' -w '" + raw + "'";
  if (timeLimit > 0) cmd += " --tmlim " + std::to_string(static_cast<int>(timeLimit + 0.999));
  RunCommand(cmd, r.output);
  std::string text;
  ReadWholeFile(raw, text);
  std::istringstream in(text);
  std::string line;
  char primal = '?', dual = '?', mipStatus = '?';
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string tag;
    ls >> tag;
    if (tag == "s") {
      std::string kind;
      int m, n;
      ls >> kind >> m >> n;
      if (kind == "bas") {
        ls >> primal >> dual >> r.objective;
      } else if (kind == "mip") {
        ls >> mipStatus >> r.objective;
      }
      r.x.assign(n, 0.0);
    } else if (tag == "j") {
      int j;
      ls >> j;
      if (j < 1 || j > static_cast<int>(r.x.size())) continue;
      if (mipStatus != '?') {
        ls >> r.x[j - 1];
      } else {
        std::string st;
        ls >> st >> r.x[j - 1];
      }
    }
  }
  const std::string& o = r.output;
  bool optimal = mip ? mipStatus == 'o' : (primal == 'f' && dual == 'f');
  if (optimal && !Contains(o, "TIME LIMIT")) {
    r.status = RefStatus::kOptimal;
  } else if (Contains(o, "NO PRIMAL FEASIBLE") || Contains(o, "NO INTEGER FEASIBLE") || (mip && mipStatus == 'n') ||
             (!mip && primal == 'n')) {
    r.status = RefStatus::kInfeasible;
  } else if (Contains(o, "UNBOUNDED") || Contains(o, "NO DUAL FEASIBLE") || (!mip && primal == 'f' && dual == 'n')) {
    r.status = RefStatus::kUnbounded;
  } else {
    r.status = RefStatus::kFailed;
  }
  return r;
}

RefOutcome RunCbc(const std::string& lpPath, const std::string& dir, double timeLimit) {
  RefOutcome r;
  std::string sol = dir + "/solution.sol";
  std::filesystem::remove(sol);
  std::string cmd = "cbc '" + lpPath + "'";
  if (timeLimit > 0) cmd += " sec " + std::to_string(timeLimit);
  cmd += " solve solu '" + sol + "'";
  RunCommand(cmd, r.output);
  std::string text;
  ReadWholeFile(sol, text);
  std::istringstream in(text);
  std::string first;
  std::getline(in, first);
  std::size_t at = first.find("objective value");
  if (at != std::string::npos) r.objective = std::strtod(first.c_str() + at + 15, nullptr);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string idx, name;
    double value = 0;
    if (!(ls >> idx)) continue;
    if (idx == "**") ls >> idx;  // cbc marks infeasible entries with **
    ls >> name >> value;
    int j = std::atoi(idx.c_str());
    if (j >= 0) {
      if (static_cast<int>(r.x.size()) <= j) r.x.resize(j + 1, 0.0);
      r.x[j] = value;
    }
  }
  if (first.rfind("Optimal", 0) == 0)
    r.status = RefStatus::kOptimal;
  else if (first.rfind("Infeasible", 0) == 0 || first.rfind("Integer infeasible", 0) == 0)
    r.status = RefStatus::kInfeasible;
  else if (first.rfind("Unbounded", 0) == 0)
    r.status = RefStatus::kUnbounded;
  else
    r.status = RefStatus::kFailed;
  return r;
}

}  // namespace

bool HaveGlpsol() {
  static const bool have = OnPath("glpsol");
  return have;
}

bool HaveCbc() {
  static const bool have = OnPath("cbc");
  return have;
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tavo_diff_XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data())) path_ = buf.data();
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

RefOutcome RunReference(RefSolver solver, const std::string& lpText, const std::string& dir, bool mip,
                        double timeLimit) {
  std::string lpPath = dir + "/model.lp";
  WriteFile(lpPath, lpText);
  if (solver == RefSolver::kGlpsol) return RunGlpsol(lpPath, dir, mip, timeLimit);
  return RunCbc(lpPath, dir, timeLimit);
}

LexOutcome SolveLexicographic(RefSolver solver, const Model& model, const std::string& dir, double relTol,
                              double timeLimit) {
  LexOutcome lex;
  const bool mip = model.HasIntegers();
  for (int level = 0; level < static_cast<int>(model.goals.size()); ++level) {
    std::string lp = WriteLpFormat(model, level, lex.goals, relTol);
    RefOutcome r = RunReference(solver, lp, dir, mip, timeLimit);
    lex.detail = r.output;
    lex.level = level;
    if (r.status != RefStatus::kOptimal) {
      lex.status = r.status;
      return lex;
    }
    // The objective from the point itself: full precision for the next level.
    // (glpsol writes the point with full precision; cbc rounds it, so its
    // objective line is used.)
    double value =
        solver == RefSolver::kGlpsol && r.x.size() >= model.vars.size() ? GoalValue(model, level, r.x) : r.objective;
    lex.goals.push_back(value);
    lex.x = r.x;
  }
  lex.status = RefStatus::kOptimal;
  return lex;
}

RefStatus StatusOfResultCode(int code) {
  switch (code) {
    case kResultOptimal:
      return RefStatus::kOptimal;
    case kResultInfeasible:
      return RefStatus::kInfeasible;
    case kResultUnbounded:
      return RefStatus::kUnbounded;
    default:
      return RefStatus::kFailed;
  }
}

bool Agree(double a, double b, double tol) { return std::fabs(a - b) <= tol * std::max(1.0, std::fabs(b)); }

}  // namespace tavo::testsupport
