// The help folder as a whole: every file below it, and which of them are
// pages of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HelpFile {
    std::string path;  // relative to the help folder, Windows form ("commands\print.htm")
    int isFolder = 0;
    int64_t size = 0;
    int64_t time = 0;
};

// No page is larger; a file that is must be something else, and only this
// much of it is read.
constexpr size_t PageSizeLimit = 16 * 1024 * 1024;
// Folders nest no deeper than this below the help folder.
constexpr int HelpFolderDepth = 32;

// Long work that reads page after page says how far it got before each page
// and learns whether to go on: 0 stops it. nullptr when nobody asks.
using PageProgress = int (*)(int done, int total);

// The help folder with its closing "\", which a setting may lack.
std::string HelpFolderPath();
// Every file and folder below the folder, depth first, each folder's entries
// in name order. Links to folders are not followed. Sizes and times only
// when asked for. 0 when the folder itself cannot be read.
int ListHelpFolder(const std::string& folder, std::vector<HelpFile>& files, int sizes);
// An HTML page by its name (.htm or .html, in any case).
int IsPageName(const std::string& path);
// A display copy ("vosks.html" in any folder), or one of the include
// documenter's working copies of its template ("Includes\vosks.htm",
// "Includes\vosk2.htm"): copies of other pages, never pages of their own.
int IsWorkingCopy(const std::string& path);
// A page of its own: an HTML page that is no copy.
int IsOwnPage(const HelpFile& file);

// Reads the help folder's files one after another, holding the folder of the
// last one open (under folder number 1) for the next in the same folder.
struct HelpFileReader {
    std::string folder;  // relative, with its closing "\"; what is held open
    int open = 0;
};
// The whole of the file at `path` (relative to `helpFolder`) into `bytes`;
// 0 when it cannot be read.
int ReadHelpFile(HelpFileReader& reader, const std::string& helpFolder, const std::string& path,
                 std::string& bytes);
// Lets go of the folder held open.
void ReadHelpFilesDone(HelpFileReader& reader);
