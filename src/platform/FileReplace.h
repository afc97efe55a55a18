#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Raised when a file cannot be created or written; the message names the file.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the contents to a new file beside the target and renames it over the target only once
// everything is on disk, so a failed or interrupted save never leaves a truncated file behind and
// never destroys the previous one. An existing file keeps its permissions; a symbolic link keeps
// pointing where it did and its target is replaced.
void ReplaceFileContents(const std::string& path, std::string_view contents);
