#pragma once

#include <string>

#include "runtime/folders.h"

// The display copy's name, in the folder of the page it stands for.
constexpr char DisplayCopyName[] = "vosks.html";

// Writes "vosks.html" beside the page with its link lines pointing into the
// help folder; returns the copy's path (also when nothing could be written),
// or the page's own when the page is its copy's file (WriteDisplayCopy).
std::string MakeDisplayCopy(const std::string& pagePath);
// The same, for the page watcher: the path of the copy just written in full,
// or "" when there is none (the page is missing, or is its copy's own file:
// named like it, or the same file under another spelling or a link).
// When the page's folder cannot be written, the copy goes into the folder
// Kelpra writes its own files in (DisplayCopyAwayFolder), beginning with a
// <base> that points back at the page's folder.
std::string WriteDisplayCopy(const std::string& pagePath);
std::string DisplayCopyAwayFolder();
// A link line of the page (it begins with "<a href=\"") as its display copy
// has it. The target is put behind the help folder, as the help folder's
// pages write their links relative to it; but an address with a scheme
// (http:, mailto:, ...) stays as it is, and a target that exists only
// relative to the page's own folder is put behind that folder. Both folders
// are given as the page writes text (its encoding). What is where is asked
// through `lookup`, kept for the page (or longer, while nothing changes).
std::string DisplayCopyLinkLine(const std::string& line, const std::string& pageFolder,
                                const std::string& helpFolder, PathLookup& lookup);
// The folder DisplayCopyLinkLine puts a link line's target behind; "" when
// the target has a scheme and stays as it is.
std::string DisplayCopyLinkFolder(const std::string& target, const std::string& pageFolder,
                                  const std::string& helpFolder, PathLookup& lookup);

// A display copy is known by its name, tested two ways on purpose. The
// watcher knows the copy it navigated to by the exact name it wrote, so a
// page of the user's called "VOSKS.HTML" is still followed as a page.
// Everything else (writing a copy, Edit Page, the search and the check)
// takes a file named so in any case for a copy, as Windows names files:
// a copy is never written over such a page, nor handed to the editor,
// where the next view would overwrite the user's work.
int IsDisplayCopyName(const std::string& path);
int NamedLikeDisplayCopy(const std::string& path);

// The listings of the folders that copies' links led into are kept from
// one copy to the next, while a watch under this folder number tells of no
// change in them. Given back at start-up and before each test.
constexpr int DisplayCopyWatch = 2;
void DisplayCopyReset();

// 1-based position of the first "#", 0 when there is none.
int AnchorPosition(const std::string& text);
