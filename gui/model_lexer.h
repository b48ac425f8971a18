// Highlighting of the model language (see the manual): keywords, labels,
// numbers, relational operators and signs, and comments, read the way the
// model's word reader cuts words.
#pragma once

#include <Qsci/qscilexercustom.h>

#include <string>

namespace tavo::gui {

class CModelLexer : public QsciLexerCustom {
  Q_OBJECT
 public:
  enum Style { kDefault = 0, kKeyword = 1, kLabel = 2, kNumber = 3, kComment = 4, kOperator = 5 };

  explicit CModelLexer(QObject* parent = nullptr);

  const char* language() const override { return "TAVO"; }
  QString description(int style) const override;
  QColor defaultColor(int style) const override;
  QFont defaultFont(int style) const override;
  void styleText(int start, int end) override;

  // The styles of `text` (UTF-8, whole lines), one per byte; the work of
  // styleText, callable without an editor.
  static std::string StyleBytes(const std::string& text);
};

}  // namespace tavo::gui
