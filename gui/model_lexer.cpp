#include "gui/model_lexer.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>

namespace tavo::gui {

namespace {

bool IsSeparator(char c) { return c == '\n' || c == '\r' || c == '\t' || c == ' ' || c == ','; }
bool IsOperatorChar(char c) { return c == '<' || c == '>' || c == '='; }

bool IsKeyword(std::string word) {
  for (char& c : word) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  static const char* const kWords[] = {"TITLE", "NAME", "MAX",  "MIN",    "ST",     "SUBJECT", "TO",  "END",
                                       "INT",   "GIN",  "FREE", "INTORG", "INTEND", "FIX",     "SUB", "SLB"};
  for (const char* k : kWords) {
    if (word == k) return true;
  }
  return false;
}

}  // namespace

CModelLexer::CModelLexer(QObject* parent) : QsciLexerCustom(parent) {}

QString CModelLexer::description(int style) const {
  switch (style) {
    case kDefault:
      return QStringLiteral("Default");
    case kKeyword:
      return QStringLiteral("Keyword");
    case kLabel:
      return QStringLiteral("Label");
    case kNumber:
      return QStringLiteral("Number");
    case kComment:
      return QStringLiteral("Comment");
    case kOperator:
      return QStringLiteral("Operator");
    default:
      return QString();
  }
}

QColor CModelLexer::defaultColor(int style) const {
  switch (style) {
    case kKeyword:
      return QColor(0x00, 0x00, 0xA0);
    case kLabel:
      return QColor(0x80, 0x00, 0x80);
    case kNumber:
      return QColor(0x9A, 0x4E, 0x00);
    case kComment:
      return QColor(0x00, 0x7A, 0x00);
    case kOperator:
      return QColor(0xA0, 0x00, 0x00);
    default:
      return QColor(Qt::black);
  }
}

QFont CModelLexer::defaultFont(int style) const {
  QFont f = QsciLexerCustom::defaultFont(style);
  f.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"), QStringLiteral("Monospace")});
  f.setPointSize(11);
  f.setBold(style == kKeyword);
  f.setItalic(style == kComment);
  return f;
}

std::string CModelLexer::StyleBytes(const std::string& text) {
  std::string styles(text.size(), static_cast<char>(kDefault));
  const std::size_t n = text.size();
  std::size_t i = 0;
  auto fill = [&](std::size_t from, std::size_t to, Style s) {
    for (std::size_t k = from; k < to && k < n; ++k) styles[k] = static_cast<char>(s);
  };
  while (i < n) {
    const char c = text[i];
    if (IsSeparator(c)) {
      ++i;
      continue;
    }
    if (c == '!') {  // a comment runs to the line end
      std::size_t e = i;
      while (e < n && text[e] != '\r' && text[e] != '\n') ++e;
      fill(i, e, kComment);
      i = e;
      continue;
    }
    if (IsOperatorChar(c)) {
      std::size_t e = i + 1;
      if (e < n && text[e] == '=') ++e;
      fill(i, e, kOperator);
      i = e;
      continue;
    }
    if (c == '+' || c == '-') {  // a sign word
      fill(i, i + 1, kOperator);
      ++i;
      continue;
    }
    // A word: up to a separator, an operator, a comment or a label's ')'.
    std::size_t e = i;
    while (e < n && !IsSeparator(text[e]) && !IsOperatorChar(text[e]) && text[e] != '!' && text[e] != ')') ++e;
    const std::string word = text.substr(i, e - i);
    if (e < n && text[e] == ')') {
      fill(i, e + 1, kLabel);
      i = e + 1;
    } else if (IsKeyword(word)) {
      fill(i, e, kKeyword);
      i = e;
    } else {
      // A number, or the coefficient part of a term ("3X", "2.5PROFIT", "@").
      std::size_t d = i;
      while (d < e && ((text[d] >= '0' && text[d] <= '9') || text[d] == '.' || text[d] == '@')) ++d;
      fill(i, d, kNumber);
      i = e;
    }
  }
  return styles;
}

void CModelLexer::styleText(int start, int end) {
  QsciScintilla* ed = editor();
  if (!ed || end <= start) return;
  // Style whole lines, from the start of the first line touched.
  const int line = static_cast<int>(ed->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, start));
  start = static_cast<int>(ed->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line));
  const QByteArray chunk = ed->bytes(start, end);
  std::string text(chunk.constData(), static_cast<std::size_t>(end - start));
  const std::string styles = StyleBytes(text);
  startStyling(start);
  std::size_t i = 0;
  while (i < styles.size()) {
    std::size_t j = i;
    while (j < styles.size() && styles[j] == styles[i]) ++j;
    setStyling(static_cast<int>(j - i), styles[i]);
    i = j;
  }
}

}  // namespace tavo::gui
