// Every text the user reads in the window, a message box or a requester, in
// one place: they stand exactly as the program has always shown them
// (spelling included), and kelpra-cli prints the same ones.
#pragma once

#include <string>

#include "runtime/codepage.h"
#include "runtime/files.h"
#include "state/state.h"

// The window.
constexpr const char* MainWindowTitle = "Tamsel's Dark Basic Helper V2";
constexpr const char* BackText = "Back";
constexpr const char* NextText = "Next";
constexpr const char* GoText = "Go";
constexpr const char* SearchFieldTip = "Command to search for help on";
constexpr const char* GoButtonTip = "Search for command";

// The menu.
constexpr const char* MenuFileText = "File";
constexpr const char* MenuOpenText = "Open";
constexpr const char* MenuCloseText = "Close";
constexpr const char* MenuEditPageText = "Edit Page";
constexpr const char* MenuAddIncludeText = "Add Include";
constexpr const char* MenuSetupText = "Setup";
constexpr const char* MenuHelpPathText = "Help Path";
constexpr const char* MenuDbaViewerText = "DBA Viewer";
constexpr const char* MenuHtmlViewerText = "HTML Viewer";
constexpr const char* MenuCommandlineText = "Commandline";
constexpr const char* MenuKeywordsText = "Keywords";
constexpr const char* MenuHelpText = "Help";
constexpr const char* MenuSearchText = "Search";
constexpr const char* MenuAboutText = "About";
constexpr const char* MenuHelpOnHelpText = "Help on Help";
constexpr const char* MenuContentsText = "Contents";
constexpr const char* MenuIndexText = "Index";
constexpr const char* MenuGlossaryText = "Glossary";

// Message-box titles: the program's name with a version mark, or the
// browser's name.
constexpr const char* TitleV2 = "Kelpra V2";
constexpr const char* TitleV3 = "Kelpra V3";
constexpr const char* TitleBrowser = "Vosk's Help Browser";
constexpr const char* TitleError = "Error";

// A name (a file, a word, an address) as a message shows it: one damaged
// name of megabytes must not make a message box of megabytes.
constexpr int MessageNameLimit = 160;
inline std::string MessageName(const std::string& name)
{
    return TextShortened(name, MessageNameLimit);
}

// Messages.
constexpr const char* AboutText = "Tamsel's Dark Basic Helper V2\nBuild 1152947269";
constexpr const char* NoBrowserText = "ATL.dll not found";
constexpr const char* NoContextListText = "Unable to create context list";
constexpr const char* AddIncludeWarningText = "WARNING: This will modify many files. Proceede?";
// Followed by the template's path.
constexpr const char* NoListTemplateText = "Unable to locate file> ";
// The failed search's question: these, the search text and the letter.
constexpr const char* NoContextText = "No context found for\nkeyword=";
constexpr const char* InsertLetterText = "Do you wish to insert a link to index=";
// A file that a command could not write: these, the file, and why.
constexpr const char* WriteFailedText = "Unable to write file> ";
constexpr const char* OldVersionKeptText = "The old version of the file was kept.";
constexpr const char* LeadsOutText = "It is a link that leads out of its folder.";
constexpr const char* NotAFileText = "It is not a plain file.";
// A setting that could not be stored, where the system gave no reason (its
// folder cannot be reached, or the value holds a line break).
constexpr const char* SettingNotStoredText = "The setting cannot be stored there";
// A second Kelpra that wants to change a help folder another one is changing.
constexpr const char* HelpFolderBusyText = "another Kelpra is changing this help folder";

// The source viewer or the HTML editor cannot be started and the desktop has
// no program for the file either: these, the program, the file and the menu
// entry that chooses another.
constexpr const char* NoProgramText = "Unable to start ";
constexpr const char* NoProgramForText = "\nfor ";
constexpr const char* NoDesktopProgramText =
    ",\nand the desktop has no program for it either.\nChoose one with ";
// Add Include or a letter anchor finding, before it changes anything, a
// folder or file it cannot write (FileFailureKind::ReadOnlyFolder): one of
// these, the folder or file, and that nothing was changed.
constexpr const char* ReadOnlyHelpFolderText = "The help folder cannot be written:\n";
constexpr const char* ReadOnlyIncludesFolderText = "The help folder's Includes folder cannot be written:\n";
constexpr const char* ReadOnlyKeywordsFileText = "The keywords file cannot be written:\n";
constexpr const char* ReadOnlyBackupsFolderText = "The folder of Kelpra's backups cannot be written:\n";
constexpr const char* ReadOnlyFolderText = "This folder cannot be written:\n";
constexpr const char* NothingChangedText = "\nNothing was changed.";
// An include source whose include page would take the name of a file the
// run works with (FileFailureKind::Reserved): these around the page.
constexpr const char* ReservedPageText =
    "The include page would take the name of a file Kelpra works with:\n";
constexpr const char* ReservedPageAdviceText = "\nRename the include source and add it again.";
// A link of another scheme than http, https and mailto: these around the
// address.
constexpr const char* OutsideAddressText = "This link leads out of the help pages to\n";
constexpr const char* OutsideAddressQuestionText = "\nOpen it with the program the desktop has for it?";

// Requester titles.
constexpr const char* OpenPageTitle = "Kelpra V2";
constexpr const char* HelpPathTitle = "Kelpra V2> Locate Help Path";
constexpr const char* DbaViewerTitle = "Kelpra V2>Locate DBA viewer";
constexpr const char* HtmlEditorTitle = "Kelpra V2>locate HTML Editor";
constexpr const char* IncludeSourceTitle = "Kelpra V2>locate #include file";
constexpr const char* KeywordsFileTitle = "Kelpra V2>locate keywords.txt";

// The file requester's filter pairs, and the index of each pair.
constexpr const char* FileFilter =
    "Text Files (*.txt)|*.txt|Web files (*.htm,*.html)|*.htm;*.html|Programs (*.exe)|*.exe|"
    "Source Files (*.dba,*.bas)|*.dba;*.bas|All Files (*.*)|*.*";
constexpr int FilterText = 0;
constexpr int FilterWeb = 1;
constexpr int FilterPrograms = 2;
constexpr int FilterSources = 3;

// kelpra --help and --version, printed without opening the window.
constexpr const char* KelpraHelpText =
    "Usage: kelpra [WORD]\n"
    "Kelpra shows the pages of a Dark Basic help folder, looks commands up by\n"
    "keyword and turns include sources (.dba) into help pages.\n"
    "\n"
    "  WORD       Looked up at start when File > Setup > Commandline is on;\n"
    "             otherwise the clipboard's text is.\n"
    "  --help     Show this text and exit.\n"
    "  --version  Show the version and exit.\n"
    "\n"
    "Where Kelpra keeps its files:\n"
    "  Portable   When the program's folder holds a Kelpra.ini, or is writable\n"
    "             and not where the package or installer put it, Kelpra.ini,\n"
    "             the one-time backups (index.bak, main.bak, menu.bak,\n"
    "             keywords.bak) and the templates (Includes.htm, Include2.htm,\n"
    "             HelpMain.htm) lie in that folder; without a help folder\n"
    "             setting or a Dark Basic installation, the examples folder\n"
    "             beside the program is shown.\n"
    "  Installed  Otherwise Kelpra.ini lies in the per-user settings folder\n"
    "             and the backups in the per-user data folder:\n"
    "               Linux:   $XDG_CONFIG_HOME/kelpra (~/.config/kelpra) and\n"
    "                        $XDG_DATA_HOME/kelpra (~/.local/share/kelpra)\n"
    "               Windows: %APPDATA%\\Kelpra for both\n"
    "             and the templates are read from the installed data folder\n"
    "             (/usr/share/kelpra; on Windows the program's folder).\n"
    "             Without a help folder setting or a Dark Basic installation,\n"
    "             the first run copies the example help folder into the\n"
    "             per-user data folder, once, and shows it; File > Setup >\n"
    "             Help Path switches to your own.\n"
    "kelpra-cli follows the same rule.\n";
constexpr const char* KelpraVersionText = "kelpra ";

// The full-text search's results page.
constexpr const char* SearchResultsTitle = "Search results";
constexpr const char* SearchWordsText = "Pages that hold all of: ";
constexpr const char* SearchNoWordsText = "Type the words to look for in the help pages.";
constexpr const char* SearchNothingText = "No page of the help folder holds all of these words.";
constexpr const char* SearchOnePageText = "1 page found.";
// Follows the number of pages.
constexpr const char* SearchPagesText = " pages found.";
// Followed by the help folder's path.
constexpr const char* HelpFolderUnreadableText = "The help folder cannot be read: ";

// The help-folder check's summary and report page.
constexpr const char* CheckReportTitle = "Help folder check";
// "Checked", the number of pages, then what was found.
constexpr const char* CheckedText = "Checked ";
constexpr const char* CheckedPagesText = " pages: ";
constexpr const char* CheckNothingText = "nothing to put right.";
constexpr const char* CheckOneFindingText = "1 finding.";
// Follows the number of findings.
constexpr const char* CheckFindingsText = " findings.";
// Notes in place of the summary's full stop: "; 1 note." or "; ", the
// number, " notes.".
constexpr const char* CheckOneNoteText = "; 1 note.";
constexpr const char* CheckNotesLeadText = "; ";
constexpr const char* CheckNotesText = " notes.";
// The report's heading of each kind of finding.
constexpr const char* CheckIndexTargetMissingText = "Index links whose page is missing";
constexpr const char* CheckLinkTargetMissingText = "Links that lead nowhere";
constexpr const char* CheckImageMissingText = "Images that are missing";
constexpr const char* CheckUnreachablePageText = "Pages no link leads to from the menu, main or index page";
constexpr const char* CheckKeywordNotInIndexText =
    "Notes: keywords without an index entry (the language's statements, such as IF and DO, have none)";
constexpr const char* CheckLeftoverCopyText = "Display copies left in folders without pages";
constexpr const char* CheckFileMissingText = "Files the check starts from that are missing";
// kelpra started without a display, one line on standard error.
constexpr const char* NoDisplayText =
    "kelpra: no display to open the window on (DISPLAY and WAYLAND_DISPLAY name none); "
    "kelpra-cli works without one.\n";
// Which of Kelpra's folders and files could not be written, by its path.
inline const char* ReadOnlySubjectText(const std::string& file)
{
    if (file == State.helpFolder) return ReadOnlyHelpFolderText;
    if (file == State.helpFolder + "Includes\\") return ReadOnlyIncludesFolderText;
    if (file == State.keywordsFile) return ReadOnlyKeywordsFileText;
    if (file == State.programFolder) return ReadOnlyBackupsFolderText;
    return ReadOnlyFolderText;
}

// What a command says when it could not write a file (runtime/files.h).
inline std::string FailureText(const FileFailure& failure)
{
    if (failure.kind == FileFailureKind::Busy) return HelpFolderBusyText;
    if (failure.kind == FileFailureKind::ReadOnlyFolder)
        return ReadOnlySubjectText(failure.file) + MessageName(failure.file) + NothingChangedText;
    if (failure.kind == FileFailureKind::Reserved)
        return ReservedPageText + MessageName(failure.file) + ReservedPageAdviceText + NothingChangedText;
    std::string reason = failure.kind == FileFailureKind::LeadsOut   ? LeadsOutText
                         : failure.kind == FileFailureKind::NotAFile ? NotAFileText
                                                                     : failure.reason + ".";
    // A file that was not there before has no old version to keep.
    return WriteFailedText + MessageName(failure.file) + "\n" + reason +
           (failure.oldVersion ? "\n" + std::string(OldVersionKeptText) : "");
}

// The browser's find bar, when the page holds no match.
constexpr const char* FindNotFoundText = "Not found";

// The type-ahead list's last row when more keywords match than it shows,
// after their number.
constexpr const char* TypeAheadMoreText = " more: type on to narrow the list";

// The View menu, after the others; Back and Next take the buttons' texts.
constexpr const char* MenuViewText = "View";
constexpr const char* MenuFindText = "Find in Page";
constexpr const char* MenuFindNextText = "Find Next";
constexpr const char* MenuFindPreviousText = "Find Previous";
constexpr const char* MenuZoomInText = "Zoom In";
constexpr const char* MenuZoomOutText = "Zoom Out";
constexpr const char* MenuZoomNormalText = "Normal Size";
constexpr const char* MenuPrintText = "Print";
constexpr const char* MenuStopText = "Stop";

// Long work in the status bar: what is done, then how many pages of how
// many, and how to stop it.
constexpr const char* WorkCheckText = "Checking the help folder: ";
constexpr const char* WorkSearchText = "Reading the help pages for Search Pages: ";
constexpr const char* WorkOfText = " of ";
constexpr const char* WorkPagesText = " pages. Esc stops.";

// Full-text search and the help-folder check in the window: their menu
// entries, the requester for the words, and what is said when the page made
// for them cannot be written (followed by its path).
constexpr const char* MenuSearchPagesText = "Search Pages";
constexpr const char* MenuCheckFolderText = "Check Help Folder";
constexpr const char* SearchPagesTitle = "Kelpra V2>Search Pages";
constexpr const char* SearchPagesPrompt = "Show the help pages that hold all of these words:";
constexpr const char* MadePageUnwritableText = "Kelpra could not write the page it made:\n";
