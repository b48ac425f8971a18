// Conversions between the core's texts (code page 932, CR LF) and the
// window's (UTF-16 QString with LF line ends).
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tavo::gui {

// A core text for display: converted from code page 932 (bytes that are not
// valid there show as U+FFFD), CR LF shown as one line end.
QString ToDisplay(std::string_view textCp932);

// Text typed into a field back into code page 932; characters the code page
// lacks become '?'.
std::string FromDisplay(const QString& text);

}  // namespace tavo::gui
