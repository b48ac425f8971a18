#include "gui/model_editor.h"

#include <algorithm>

#include <Qsci/qscistyle.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QMimeData>
#include <QUrl>

#include "gui/model_lexer.h"
#include "shell/codec.h"

namespace tavo::gui {

namespace {

// A local file named by a drag, or empty.
QString DroppedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return QString();
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return QString();
}

}  // namespace

std::vector<ErrorLine> ParseErrorLines(const std::string& logCp932) {
  std::vector<ErrorLine> out;
  std::size_t start = 0;
  while (start < logCp932.size()) {
    std::size_t end = logCp932.find('\n', start);
    if (end == std::string::npos) end = logCp932.size();
    std::string line = logCp932.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "Line " digits, then the message (" : ..." or " ERROR! ...").
    if (line.compare(0, 5, "Line ") != 0) continue;
    std::size_t i = 5, n = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9' && n < 9) {  // fits an int
      ++i;
      ++n;
    }
    if (n == 0 || (i < line.size() && line[i] != ' ')) continue;
    ErrorLine e;
    e.line = std::stoi(line.substr(5, n));
    std::string message = line.substr(i);
    std::size_t b = message.find_first_not_of(' ');
    if (b != std::string::npos && message.compare(b, 2, ": ") == 0) b = message.find_first_not_of(' ', b + 1);
    message = b == std::string::npos ? std::string() : message.substr(b);
    e.message = Cp932ToUtf8(message);
    out.push_back(std::move(e));
  }
  return out;
}

CTAVOView::CTAVOView(QWidget* parent) : QsciScintilla(parent), lexer_(new CModelLexer(this)) {
  setUtf8(true);
  setEolMode(EolWindows);
  setEolVisibility(false);
  // Long lines wrap at the window edge; no horizontal scrolling.
  setWrapMode(WrapWord);
  setWrapVisualFlags(WrapFlagNone);
  SendScintilla(SCI_SETHSCROLLBAR, 0UL);
  SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 0UL);
  setTabWidth(8);
  setIndentationsUseTabs(true);
  setLexer(lexer_);
  QFont font = lexer_->defaultFont(CModelLexer::kDefault);
  setFont(font);

  // Margin 0: line numbers; margin 1: error symbols.
  setMarginType(0, NumberMargin);
  setMarginLineNumbers(0, true);
  setMarginsFont(font);
  setMarginsForegroundColor(QColor(0x60, 0x60, 0x60));
  setMarginsBackgroundColor(QColor(0xF0, 0xF0, 0xF0));
  setMarginType(1, SymbolMargin);
  setMarginWidth(1, 16);
  SendScintilla(SCI_SETMARGINLEFT, 0UL, 4L);
  errorMarker_ = markerDefine(Circle, 0);
  setMarkerBackgroundColor(QColor(0xD0, 0x20, 0x20), errorMarker_);
  setMarkerForegroundColor(QColor(0x80, 0x00, 0x00), errorMarker_);
  errorLineMarker_ = markerDefine(Background, 1);
  setMarkerBackgroundColor(QColor(0xFF, 0xE8, 0xE8), errorLineMarker_);
  warningMarker_ = markerDefine(Circle, 2);
  setMarkerBackgroundColor(QColor(0xE8, 0xA0, 0x10), warningMarker_);
  setMarkerForegroundColor(QColor(0x80, 0x50, 0x00), warningMarker_);
  warningLineMarker_ = markerDefine(Background, 3);
  setMarkerBackgroundColor(QColor(0xFF, 0xF6, 0xD8), warningLineMarker_);
  setMarginMarkerMask(1, (1 << errorMarker_) | (1 << warningMarker_));
  setMarginMarkerMask(0, 0);
  setAnnotationDisplay(AnnotationBoxed);
  setCaretLineVisible(false);
  setBraceMatching(NoBraceMatch);
  setAutoIndent(false);

  connect(this, &QsciScintilla::linesChanged, this, &CTAVOView::UpdateNumberMarginWidth);
  UpdateNumberMarginWidth();
}

void CTAVOView::UpdateNumberMarginWidth() {
  const QString digits = QString::number(qMax(lines(), 1));
  setMarginWidth(0, QString(qMax(digits.size(), 3) + 1, QLatin1Char('9')));
}

std::string CTAVOView::TextUtf8() const {
  const int len = static_cast<int>(SendScintilla(SCI_GETLENGTH));
  if (len <= 0) return std::string();
  const char* p = reinterpret_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
  return std::string(p, static_cast<std::size_t>(len));
}

void CTAVOView::SetTextUtf8(const std::string& utf8) {
  ClearErrorMarks();
  // Appended by length, so that every byte (a NUL among them) arrives.
  const bool ro = isReadOnly();
  setReadOnly(false);
  SendScintilla(SCI_CLEARALL);
  if (!utf8.empty()) SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
  SendScintilla(SCI_EMPTYUNDOBUFFER);
  setReadOnly(ro);
  setCursorPosition(0, 0);
  SendScintilla(SCI_SCROLLCARET);
  setModified(false);
  emit textChanged();  // the undo history is gone: the commands' states follow
}

void CTAVOView::MarkErrorLines(const std::vector<ErrorLine>& errors) {
  ClearErrorMarks();
  if (errors.empty()) return;
  const QFont font = lexer_->defaultFont(CModelLexer::kDefault);
  QsciStyle errorStyle(-1, QStringLiteral("Data error"), QColor(0x90, 0x00, 0x00), QColor(0xFF, 0xF0, 0xF0), font);
  QsciStyle warningStyle(-1, QStringLiteral("Warning"), QColor(0x70, 0x48, 0x00), QColor(0xFF, 0xF8, 0xE0), font);
  // Messages of one line are shown together, in the order given; a line
  // with a data error is marked as such even when it also has warnings.
  struct Mark {
    int line;
    QString text;
    bool error;
  };
  std::vector<Mark> marks;
  const int last = qMax(lines(), 1);
  for (const ErrorLine& e : errors) {
    const int line = qBound(1, e.line, last) - 1;
    auto it = std::find_if(marks.begin(), marks.end(), [&](const Mark& m) { return m.line == line; });
    const QString msg = QString::fromUtf8(e.message.data(), static_cast<qsizetype>(e.message.size()));
    if (it == marks.end()) {
      marks.push_back({line, msg, !e.warning});
    } else {
      it->text += QLatin1Char('\n') + msg;
      it->error = it->error || !e.warning;
    }
  }
  for (const Mark& m : marks) {
    markerAdd(m.line, m.error ? errorMarker_ : warningMarker_);
    markerAdd(m.line, m.error ? errorLineMarker_ : warningLineMarker_);
    annotate(m.line, m.text, m.error ? errorStyle : warningStyle);
  }
}

void CTAVOView::ClearErrorMarks() {
  for (int marker : {errorMarker_, errorLineMarker_, warningMarker_, warningLineMarker_}) markerDeleteAll(marker);
  clearAnnotations();
}

int CTAVOView::CountMarker(int marker) const {
  // Marks move with their lines; count those still present.
  int count = 0;
  const unsigned mask = 1u << marker;
  for (int line = markerFindNext(0, mask); line >= 0; line = markerFindNext(line + 1, mask)) ++count;
  return count;
}

int CTAVOView::ErrorMarkCount() const { return CountMarker(errorMarker_); }

int CTAVOView::WarningMarkCount() const { return CountMarker(warningMarker_); }

bool CTAVOView::GoToNextErrorLine() {
  int line = 0, index = 0;
  getCursorPosition(&line, &index);
  const unsigned mask = (1u << errorMarker_) | (1u << warningMarker_);
  int next = markerFindNext(line + 1, mask);
  if (next < 0) next = markerFindNext(0, mask);
  if (next < 0) return false;
  setCursorPosition(next, 0);
  ensureLineVisible(next);
  SendScintilla(SCI_SCROLLCARET);
  return true;
}

void CTAVOView::GoToByteOffset(std::size_t offset) {
  SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(offset));
  SendScintilla(SCI_SCROLLCARET);
}

void CTAVOView::dragEnterEvent(QDragEnterEvent* e) {
  if (!DroppedFile(e->mimeData()).isEmpty()) {
    e->acceptProposedAction();
    return;
  }
  QsciScintilla::dragEnterEvent(e);
}

void CTAVOView::dragMoveEvent(QDragMoveEvent* e) {
  if (!DroppedFile(e->mimeData()).isEmpty()) {
    e->acceptProposedAction();
    return;
  }
  QsciScintilla::dragMoveEvent(e);
}

void CTAVOView::dropEvent(QDropEvent* e) {
  const QString file = DroppedFile(e->mimeData());
  if (!file.isEmpty()) {
    e->acceptProposedAction();
    emit fileDropped(file);
    return;
  }
  QsciScintilla::dropEvent(e);
}

}  // namespace tavo::gui
