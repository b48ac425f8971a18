#include "model/lp_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace tavo::exchange {
namespace {

enum class Tok { kName, kNumber, kSign, kOp, kColon, kOther, kEnd };

struct Token {
  Tok kind = Tok::kEnd;
  std::string text;  // name, operator ("<=", ">=", "="), sign ("+", "-") or other character
  double value = 0;
  bool lineStart = false;  // first token of its line
  int line = 0;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsNameChar(char c) {
  if (std::isspace(static_cast<unsigned char>(c))) return false;
  switch (c) {
    case '+':
    case '-':
    case '<':
    case '>':
    case '=':
    case ':':
    case '\\':
    case '*':
    case '^':
    case '[':
    case ']':
      return false;
    default:
      return true;
  }
}

// Splits the text into tokens; a backslash starts a comment to the line end.
std::vector<Token> Tokenize(const std::string& s) {
  std::vector<Token> out;
  std::size_t i = 0;
  int line = 1;
  bool lineStart = true;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\n') {
      ++line, ++i, lineStart = true;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '\\') {
      while (i < s.size() && s[i] != '\n') ++i;
      continue;
    }
    Token t;
    t.line = line;
    t.lineStart = lineStart;
    lineStart = false;
    if (c == '<' || c == '>' || c == '=') {
      // "<", "<=", "=<", ">", ">=", "=>", "=": all read as <=, >= or =.
      std::size_t j = i + 1;
      if (j < s.size() && (s[j] == '<' || s[j] == '>' || s[j] == '=')) ++j;
      const std::string op = s.substr(i, j - i);
      t.kind = Tok::kOp;
      t.text = op.find('<') != std::string::npos ? "<=" : op.find('>') != std::string::npos ? ">=" : "=";
      i = j;
    } else if (c == '+' || c == '-') {
      t.kind = Tok::kSign, t.text = std::string(1, c), ++i;
    } else if (c == ':') {
      t.kind = Tok::kColon, ++i;
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      const char* begin = s.c_str() + i;
      char* end = nullptr;
      t.value = std::strtod(begin, &end);
      if (end == begin) {
        t.kind = Tok::kOther, t.text = std::string(1, c), ++i;
      } else {
        t.kind = Tok::kNumber;
        i += static_cast<std::size_t>(end - begin);
      }
    } else if (IsNameChar(c)) {
      std::size_t j = i;
      while (j < s.size() && IsNameChar(s[j])) ++j;
      t.kind = Tok::kName, t.text = s.substr(i, j - i);
      i = j;
    } else {
      t.kind = Tok::kOther, t.text = std::string(1, c), ++i;
    }
    out.push_back(t);
  }
  Token end;
  end.line = line;
  end.lineStart = true;
  out.push_back(end);
  return out;
}

enum class Section { kObjective, kConstraints, kBounds, kGeneral, kBinary, kEnd, kNone };

struct Parser {
  std::vector<Token> t;
  std::size_t p = 0;
  LpModel& out;
  std::string& error;
  std::unordered_map<std::string, int> cols;
  std::vector<char> integer, binary;

  Parser(const std::string& text, LpModel& model, std::string& message)
      : t(Tokenize(text)), out(model), error(message) {}

  const Token& Peek(std::size_t k = 0) const { return t[std::min(p + k, t.size() - 1)]; }

  bool Fail(const std::string& why) {
    error = "line " + std::to_string(Peek().line) + ": " + why;
    return false;
  }

  int Column(const std::string& name) {
    auto it = cols.find(name);
    if (it != cols.end()) return it->second;
    const int j = static_cast<int>(out.model.vars.size());
    cols.emplace(name, j);
    Var v;
    v.name = name;
    out.model.vars.push_back(v);
    integer.push_back(0);
    binary.push_back(0);
    return j;
  }

  // The section keyword that starts at the current token (line start only), and how many tokens it takes.
  Section SectionAt(std::size_t& length, bool& multi, bool& maximize) const {
    length = 0;
    multi = false;
    const Token& a = Peek();
    if (a.kind == Tok::kEnd) return length = 0, Section::kEnd;
    if (!a.lineStart || a.kind != Tok::kName) return Section::kNone;
    const std::string w = Lower(a.text);
    if (w == "minimize" || w == "minimise" || w == "minimum" || w == "min" || w == "maximize" || w == "maximise" ||
        w == "maximum" || w == "max") {
      maximize = w.rfind("max", 0) == 0;
      length = 1;
      if (Peek(1).kind == Tok::kName && !Peek(1).lineStart && Lower(Peek(1).text) == "multi" &&
          Peek(2).kind == Tok::kSign && Peek(3).kind == Tok::kName && Lower(Peek(3).text) == "objectives") {
        multi = true;
        length = 4;
      }
      return Section::kObjective;
    }
    if (w == "subject" && Peek(1).kind == Tok::kName && Lower(Peek(1).text) == "to")
      return length = 2, Section::kConstraints;
    if (w == "such" && Peek(1).kind == Tok::kName && Lower(Peek(1).text) == "that")
      return length = 2, Section::kConstraints;
    if ((w == "st" || w == "s.t." || w == "st.") && Peek(1).kind != Tok::kColon)
      return length = 1, Section::kConstraints;
    if ((w == "bounds" || w == "bound") && Peek(1).kind != Tok::kColon) return length = 1, Section::kBounds;
    if ((w == "general" || w == "generals" || w == "gen" || w == "integer" || w == "integers") &&
        Peek(1).kind != Tok::kColon)
      return length = 1, Section::kGeneral;
    if ((w == "binary" || w == "binaries" || w == "bin") && Peek(1).kind != Tok::kColon)
      return length = 1, Section::kBinary;
    if (w == "end" && Peek(1).kind != Tok::kColon) return length = 1, Section::kEnd;
    return Section::kNone;
  }

  bool AtSection() const {
    std::size_t len;
    bool multi, max;
    return SectionAt(len, multi, max) != Section::kNone;
  }

  bool AtUnsupported() const {
    const Token& a = Peek();
    if (!a.lineStart || a.kind != Tok::kName) return false;
    const std::string w = Lower(a.text);
    return w == "sos" || w == "semi" || w == "semis" || w == "sec" || w == "pwl" || w == "lazy" || w == "user";
  }

  // A label "name:" at the current token.
  bool AtLabel() const { return Peek().kind == Tok::kName && Peek(1).kind == Tok::kColon; }

  // A signed number or infinity ("inf", "infinity").
  bool SignedValue(double& v) {
    double sign = 1;
    while (Peek().kind == Tok::kSign) {
      if (Peek().text == "-") sign = -sign;
      ++p;
    }
    if (Peek().kind == Tok::kNumber) {
      v = sign * Peek().value;
      ++p;
    } else if (Peek().kind == Tok::kName && (Lower(Peek().text) == "inf" || Lower(Peek().text) == "infinity")) {
      v = sign * kInf;
      ++p;
    } else {
      return false;
    }
    if (v >= 1e30) v = kInf;
    if (v <= -1e30) v = -kInf;
    return true;
  }

  // Terms and constants up to an operator, a label, a section or the end.
  // `stopAtLine` ends the expression at a new line that starts with a name
  // followed by an operator (a bound) as well.
  bool Expression(std::vector<Term>& terms, double& constant, bool& any) {
    terms.clear();
    constant = 0;
    any = false;
    std::unordered_map<int, std::size_t> at;
    while (true) {
      const Token& a = Peek();
      if (a.kind == Tok::kEnd || a.kind == Tok::kOp || AtLabel() || AtSection() || AtUnsupported()) return true;
      if (a.kind == Tok::kOther) {
        if (a.text == "[") return Fail("quadratic terms are not supported");
        return Fail("unexpected character '" + a.text + "'");
      }
      double sign = 1;
      while (Peek().kind == Tok::kSign) {
        if (Peek().text == "-") sign = -sign;
        ++p;
      }
      double coef = 1;
      bool number = false;
      if (Peek().kind == Tok::kNumber) {
        coef = Peek().value, number = true;
        ++p;
      }
      if (Peek().kind == Tok::kName && !AtLabel() && !AtSection()) {
        const std::string w = Lower(Peek().text);
        if (w == "inf" || w == "infinity") {
          if (number) return Fail("a number before infinity");
          constant += sign * kInf;
          ++p;
          any = true;
          continue;
        }
        const int j = Column(Peek().text);
        ++p;
        auto it = at.find(j);
        if (it == at.end()) {
          at.emplace(j, terms.size());
          terms.push_back({j, sign * coef});
        } else {
          terms[it->second].coef += sign * coef;  // a repeated variable adds up
        }
        any = true;
      } else if (number) {
        constant += sign * coef;
        any = true;
      } else {
        if (Peek().kind == Tok::kOther && Peek().text == "[") return Fail("quadratic terms are not supported");
        return Fail("a term is expected");
      }
    }
  }

  bool Objectives(bool maximize, bool multi) {
    out.model.goals.clear();
    out.model.goalNames.clear();
    struct Objective {
      Goal goal;
      std::string name;
      double priority = 0, weight = 1, constant = 0;
    };
    std::vector<Objective> objectives;
    do {
      Objective o;
      if (AtLabel()) {
        o.name = Peek().text;
        p += 2;
      }
      if (multi) {
        // Priority=2 Weight=1 AbsTol=0 RelTol=0, any of them, on the label's line.
        while (Peek().kind == Tok::kName && Peek(1).kind == Tok::kOp && Peek(1).text == "=") {
          const std::string key = Lower(Peek().text);
          p += 2;
          double v;
          if (!SignedValue(v)) return Fail("a number is expected after " + key + "=");
          if (key == "priority")
            o.priority = v;
          else if (key == "weight")
            o.weight = v;
          else if (key != "abstol" && key != "reltol")
            return Fail("unknown objective attribute " + key);
        }
      }
      bool any;
      if (!Expression(o.goal.terms, o.constant, any)) return false;
      if (Peek().kind == Tok::kOp) return Fail("an operator in the objective");
      objectives.push_back(o);
    } while (multi && AtLabel());
    if (!multi) {
      objectives[0].goal.maximize = maximize;
      out.model.goals.push_back(objectives[0].goal);
      out.model.goalNames = {objectives[0].name};
      out.objectiveConstant = objectives[0].constant;
      return true;
    }
    // Highest priority first; equal priorities are blended by their weights.
    std::stable_sort(objectives.begin(), objectives.end(),
                     [](const Objective& a, const Objective& b) { return a.priority > b.priority; });
    out.priorities = true;
    for (std::size_t k = 0; k < objectives.size();) {
      std::size_t e = k;
      std::vector<Term> blended;
      std::unordered_map<int, std::size_t> at;
      while (e < objectives.size() && objectives[e].priority == objectives[k].priority) {
        for (const Term& term : objectives[e].goal.terms) {
          auto it = at.find(term.var);
          if (it == at.end()) {
            at.emplace(term.var, blended.size());
            blended.push_back({term.var, objectives[e].weight * term.coef});
          } else {
            blended[it->second].coef += objectives[e].weight * term.coef;
          }
        }
        ++e;
      }
      Goal g;
      out.model.goalNames.push_back(objectives[k].name);
      // The sense applies to weight * objective: a single objective with a
      // negative weight is optimised the other way with |weight|.
      const double sign = (e == k + 1 && objectives[k].weight < 0) ? -1.0 : 1.0;
      g.maximize = maximize != (sign < 0);
      for (Term& term : blended) term.coef *= sign;
      g.terms = blended;
      if (k == 0) out.objectiveConstant = objectives[k].constant * objectives[k].weight * sign;
      out.model.goals.push_back(g);
      k = e;
    }
    return true;
  }

  bool Constraint() {
    Row r;
    if (AtLabel()) {
      r.label = Peek().text;
      p += 2;
    }
    std::vector<Term> lhs;
    double lconst;
    bool any;
    if (!Expression(lhs, lconst, any)) return false;
    if (Peek().kind != Tok::kOp) return Fail("a relational operator is expected");
    const std::string op1 = Peek().text;
    ++p;
    std::vector<Term> rhsTerms;
    double rconst = 0;
    if (!lhs.empty()) {
      // The right-hand side of "terms op value" is one number: the next line may begin a new row.
      if (!SignedValue(rconst)) return Fail("a number is expected as right-hand side");
    } else {
      if (!Expression(rhsTerms, rconst, any)) return false;
      if (!any) return Fail("a right-hand side is expected");
      if (rhsTerms.empty()) return Fail("a constraint without variables");
    }
    if (!lhs.empty() && !rhsTerms.empty()) return Fail("variables on both sides of a constraint");
    if (lhs.empty() && !rhsTerms.empty()) {
      // "lo <= terms" or "lo <= terms <= hi".
      r.terms = rhsTerms;
      const double lo = lconst - rconst;
      if (Peek().kind == Tok::kOp) {
        const std::string op2 = Peek().text;
        ++p;
        double hi;
        if (!SignedValue(hi)) return Fail("a number is expected after " + op2);
        if (op1 != op2 || op1 == "=") return Fail("a two-sided constraint needs two operators of one direction");
        r.sense = Sense::kRange;
        r.lo = op1 == "<=" ? lo : hi - rconst;
        r.hi = op1 == "<=" ? hi - rconst : lo;
      } else {
        r.rhs = lo;
        r.sense = op1 == "<=" ? Sense::kGe : op1 == ">=" ? Sense::kLe : Sense::kEq;
      }
    } else {
      r.terms = lhs;
      r.rhs = rconst - lconst;
      r.sense = op1 == "<=" ? Sense::kLe : op1 == ">=" ? Sense::kGe : Sense::kEq;
    }
    if (std::isinf(r.rhs)) {
      // "terms <= inf" restricts nothing: a free row that keeps its variables.
      r.sense = Sense::kRange, r.lo = -kInf, r.hi = kInf;
    }
    out.model.rows.push_back(r);
    return true;
  }

  bool Bound() {
    // "x free", "x op v", "v op x", "v op x op v".
    double v1 = 0;
    std::string op1;
    bool leading = false;
    if (Peek().kind == Tok::kNumber || Peek().kind == Tok::kSign ||
        (Peek().kind == Tok::kName && (Lower(Peek().text) == "inf" || Lower(Peek().text) == "infinity") &&
         Peek(1).kind == Tok::kOp)) {
      if (!SignedValue(v1)) return Fail("a bound is expected");
      if (Peek().kind != Tok::kOp) return Fail("a relational operator is expected");
      op1 = Peek().text;
      ++p;
      leading = true;
    }
    if (Peek().kind != Tok::kName) return Fail("a variable name is expected in a bound");
    const int j = Column(Peek().text);
    ++p;
    Var& v = out.model.vars[j];
    if (leading) {
      if (op1 == "<=") v.lower = v1;
      if (op1 == ">=") v.upper = v1;
      if (op1 == "=") v.lower = v.upper = v1;
    }
    if (!leading && Peek().kind == Tok::kName && Lower(Peek().text) == "free") {
      v.lower = -kInf, v.upper = kInf;
      ++p;
      return true;
    }
    if (Peek().kind == Tok::kOp) {
      const std::string op2 = Peek().text;
      ++p;
      double v2;
      if (!SignedValue(v2)) return Fail("a bound is expected after " + op2);
      if (op2 == "<=") v.upper = v2;
      if (op2 == ">=") v.lower = v2;
      if (op2 == "=") v.lower = v.upper = v2;
    } else if (!leading) {
      return Fail("a bound is expected for " + v.name);
    }
    return true;
  }

  bool Names(bool binaries) {
    while (Peek().kind == Tok::kName && !AtSection() && !AtUnsupported()) {
      const int j = Column(Peek().text);
      (binaries ? binary : integer)[j] = 1;
      ++p;
    }
    if (Peek().kind != Tok::kEnd && !AtSection() && !AtUnsupported()) return Fail("a variable name is expected");
    return true;
  }

  bool Run() {
    std::size_t len;
    bool multi = false, maximize = false;
    if (SectionAt(len, multi, maximize) != Section::kObjective)
      return Fail("the file does not begin with Minimize or Maximize");
    p += len;
    if (!Objectives(maximize, multi)) return false;
    bool ended = false;
    while (!ended) {
      if (AtUnsupported()) return Fail("section " + Peek().text + " is not supported");
      bool m2, x2;
      const Section s = SectionAt(len, m2, x2);
      switch (s) {
        case Section::kEnd:
          ended = true;
          break;
        case Section::kConstraints:
          p += len;
          while (!AtSection() && !AtUnsupported())
            if (!Constraint()) return false;
          break;
        case Section::kBounds:
          p += len;
          while (!AtSection() && !AtUnsupported())
            if (!Bound()) return false;
          break;
        case Section::kGeneral:
        case Section::kBinary:
          p += len;
          if (!Names(s == Section::kBinary)) return false;
          break;
        case Section::kObjective:
          return Fail("a second objective section");
        case Section::kNone:
          return Fail("a section keyword is expected");
      }
    }
    for (std::size_t j = 0; j < out.model.vars.size(); ++j) {
      Var& v = out.model.vars[j];
      if (binary[j]) {
        v.kind = VarKind::kBinary, v.lower = 0, v.upper = 1;
      } else if (integer[j]) {
        v.kind = (v.lower == 0 && v.upper == 1) ? VarKind::kBinary : VarKind::kInteger;
      }
    }
    if (out.model.vars.empty()) return Fail("the model has no variables");
    return true;
  }
};

}  // namespace

bool ReadLpText(const std::string& text, LpModel& out, std::string& error) {
  out = LpModel{};
  Parser parser(text, out, error);
  return parser.Run();
}

}  // namespace tavo::exchange
