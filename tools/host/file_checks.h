// What the reference host asks of the file system before it hands files to the plug-in.
#pragma once

#include <string>

namespace sonavid::host {

// Why the file cannot be read ("No such file or directory", "is a directory" ...), or "" when
// it can.
std::string fileReadProblem(const std::wstring& path);

// True when anything (a file, a folder) holds that path.
bool nameTaken(const std::wstring& path);

// The full path of `path`, or `path` itself when it cannot be made.
std::wstring fullPathOf(const std::wstring& path);

}  // namespace sonavid::host
