// The editor view: the model text in a QScintilla editor. Long lines wrap
// (no horizontal scroll bar), line numbers stand in the margin, the model
// language is highlighted, and after a run the lines with data errors are
// marked in the margin with their message shown under the line.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <string>
#include <vector>

namespace tavo::gui {

// One data error of the calculation log, or one warning about a likely slip
// in the model: its model line (1-based) and message (UTF-8).
struct ErrorLine {
  int line = 0;
  std::string message;
  bool warning = false;
};

// The data-error lines of a calculation log (code page 932): the lines the
// parser writes as "Line n : message ( detail )".
std::vector<ErrorLine> ParseErrorLines(const std::string& logCp932);

class CModelLexer;

class CTAVOView : public QsciScintilla {
  Q_OBJECT
 public:
  explicit CTAVOView(QWidget* parent = nullptr);

  // The whole text as UTF-8 bytes, exactly (line ends as they are).
  std::string TextUtf8() const;
  // Replaces the whole text (no undo step back to the old text; unmodified).
  void SetTextUtf8(const std::string& utf8);

  // Marks the lines (1-based) with a margin symbol (red for data errors,
  // amber for warnings) and their messages under the line; replaces earlier
  // marks. Lines past the end mark the last line.
  void MarkErrorLines(const std::vector<ErrorLine>& errors);
  void ClearErrorMarks();
  // Lines marked as having data errors, and as having only warnings.
  int ErrorMarkCount() const;
  int WarningMarkCount() const;
  // Moves the cursor to the next marked line (error or warning) after the
  // cursor's line, wrapping to the first; false when no line is marked.
  bool GoToNextErrorLine();
  // Puts the cursor on the byte offset of the UTF-8 text and shows it.
  void GoToByteOffset(std::size_t offset);

 signals:
  // A file was dropped on the editor.
  void fileDropped(const QString& path);

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void UpdateNumberMarginWidth();

  CModelLexer* lexer_;
  int CountMarker(int marker) const;

  int errorMarker_ = 0;
  int errorLineMarker_ = 1;
  int warningMarker_ = 2;
  int warningLineMarker_ = 3;
};

}  // namespace tavo::gui
