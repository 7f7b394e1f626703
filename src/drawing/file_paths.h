// Paths of the files that pictures and page forms are read from. Scripts
// hand them over as UTF-16 text; Linux names files in UTF-8, Windows in
// UTF-16.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ZavorPdf::Drawing {

std::filesystem::path ToPath(std::u16string_view path);

// Absolute and without "." or ".." parts; the path as given when the
// working folder cannot be read.
std::filesystem::path MakeAbsolute(std::u16string_view path);

// False also when the file system cannot be asked.
bool IsRegularFile(const std::filesystem::path &path);

// One key per file however its path was spelled (relative parts, links).
// File names here are case-sensitive, so "a.png" and "A.png" get two keys.
std::string CanonicalFileKey(std::u16string_view path);

}  // namespace ZavorPdf::Drawing
