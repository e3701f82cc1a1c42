#pragma once
// The file errors that the editor's file operations raise to their callers, with the class
// library's message texts.

#include <stdexcept>
#include <string>

// A file could not be created or written: "Cannot create file "<name>". <reason>".
class EFCreateError : public std::runtime_error {
public:
    EFCreateError(const std::string& fileName, const std::string& reason)
        : std::runtime_error("Cannot create file \"" + fileName + "\". " + reason) {}
};

// A file could not be opened or read: "Cannot open file "<name>". <reason>".
class EFOpenError : public std::runtime_error {
public:
    EFOpenError(const std::string& fileName, const std::string& reason)
        : std::runtime_error("Cannot open file \"" + fileName + "\". " + reason) {}
};
