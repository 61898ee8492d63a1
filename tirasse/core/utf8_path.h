#pragma once
// Paths are kept as UTF-8 text everywhere in tirasse. A std::filesystem::path made from a
// plain std::string reads it in the ANSI code page on Windows, which garbles every name
// outside it, so paths cross between text and std::filesystem only here.

#include <filesystem>
#include <string>

namespace tirasse {

std::filesystem::path pathFromUtf8(const std::string& text);
std::string pathToUtf8(const std::filesystem::path& path);

// The folder or file made absolute and without "." and ".." parts or a trailing separator,
// as the file dialogs show it. "" stays "".
std::string absoluteCleanPath(const std::string& path);

}  // namespace tirasse
