// Text files under small file numbers, line by line, and the file-system
// operations the help pages are maintained with. Names are Windows-form.
#pragma once

#include <cstdint>
#include <string>

int FileOpenRead(int number, const std::string& name);
int FileCreate(int number, const std::string& name);
// Closes the file under that number. 1 when everything written to it reached
// the disk (or it was only read), 0 when a write failed; rewrites use this to
// keep a good file instead of a broken one.
int FileClose(int number);
void FileSelect(int number);
std::string FileReadLine();
// Writes the text and CR LF to the current file. Result: the bytes accepted;
// less than the text's length + 2 when the write failed.
int FileWriteLine(const std::string& text);
int FileAtEnd(int number);
// The next line of the file under that number, which becomes current.
std::string FileReadLineFrom(int number);
// Writes the line to the file under that number, which becomes current;
// 1 when it was written whole, 0 when not (a full disk).
int FileWriteLineTo(int number, const std::string& line);

int32_t PathSize(const std::string& path);
int FileDuplicate(const std::string& source, const std::string& target);
int FileRemove(const std::string& name);
int FileRename(const std::string& oldName, const std::string& newName);
int FolderMake(const std::string& path);

// The end routine: closes every open file.
void FileCloseAll();

// Test equipment: after this many more bytes, writes to files fail as on a
// full disk. A negative count turns the fault off.
void FileFailWritesAfter(long long bytes);
