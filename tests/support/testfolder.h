// A temporary folder mapped to a drive letter, so that tests speak Windows
// paths ("T:\index.htm") and nothing is written outside the folder.
#pragma once

#include <string>

struct TestFolder {
    explicit TestFolder(char drive = 'T');
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // "T:\" — the Windows form of the folder, ending in "\".
    std::string Win(const std::string& relative = "") const;
    // The host path of a Windows-relative path ("a\b.htm" -> "/tmp/x/a/b.htm").
    std::string Host(const std::string& relative = "") const;

    // Writes bytes exactly as given, making the folders on the way.
    void Write(const std::string& relative, const std::string& bytes) const;
    // The bytes of a file; "" when it is missing.
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    // A symbolic link at `relative` to `target` (both in the folder); false
    // where the system will not make one.
    bool Link(const std::string& relative, const std::string& target) const;

    char drive;
    std::string root;  // host path, no closing "/"
};

#include "support/lines.h"
