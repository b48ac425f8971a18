// Small file and text helpers of the tests that run programs: whole files as
// bytes, model lines with CR LF, and a shell-quoted argument.
#pragma once

#include <filesystem>
#include <string>

namespace tavo::testsupport {

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Lines written with "\n" in a test become CR LF, as a saved model has them.
std::string Crlf(const std::string& text);

// `s` as one word for /bin/sh.
std::string Quote(const std::string& s);

// A fresh folder for one test, named by the process, `prefix` and the test,
// with an empty "xdg" folder inside for a profile of its own; removed again
// when the test ends.
std::filesystem::path MakeTestFolder(const std::string& prefix);

}  // namespace tavo::testsupport
