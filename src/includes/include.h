#pragma once

#include <string>

#include "includes/scanner.h"
#include "runtime/rewrite.h"

// The Add Include run: turns one include source into help pages under the
// help folder's "Includes" and links them into the help folder, holding the
// help folder's lock. 1 when this run wrote the include page; 0 when it did
// not, and then FileLastFailure tells what failed, if anything did: every
// file it changed is complete, the rest as it was, and a second run
// finishes the job.
int AddInclude(const std::string& sourcePath);
// Before anything is changed (AddInclude asks it too, once it holds the
// lock): 1 when the run for the source can write every file it will
// rewrite: the help folder and its Includes folder, the shared pages, the
// keywords file and its folder. 0 when one cannot be written, or the
// include page would take the name of a file the run works with
// (FileFailureKind::Reserved); which is noted. The command asks
// BackupsCanBeMade besides, before it makes the one-time backups.
int AddIncludeCanWrite(const std::string& sourcePath);

// Writes the function's page from the page template's working copy, reading
// the function's comment block as it goes.
Rewrite WriteFunctionPage(IncludeFunction& function, const IncludeScan& scan, IncludeScanner& scanner);
// 1 when the function's name can be a page of its own in the Includes
// folder: not one that leads elsewhere ("..", a separator or a drive), nor
// one Windows refuses (a device name, a control byte), nor the name of a
// working copy of the page template (vosks, vosk2).
int FunctionGetsPage(const IncludeFunction& function);
