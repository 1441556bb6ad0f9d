// The program state: the one record of the run.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "runtime/elementlist.h"

// The context list: keyword and page pairs read from the index page's link
// lines, first match in list order wins. It lives in the program state, so
// its record is declared here, below the help index that builds it.
struct ContextEntry {
    std::string keyword;
    std::string page;
    // The link text as the index page spells it ("os.path.join" for the
    // keyword OS.PATH.JOIN), for the type-ahead list; "" when the keyword
    // spells it already, as in the entries the program adds.
    std::string spelling;
};

using ContextList = ElementList<ContextEntry>;

// A window's place: where WindowOpen puts it and the size of its inner area.
struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// Where the window opens on the first run, and whenever the remembered place
// cannot be used.
constexpr WindowPlace DefaultWindowPlace = {100, 200, 500, 300};

// The settings of the [View] section; [Setup] keeps only what it always had.
struct ViewSettings {
    int zoom = 100;  // per cent of the page's own text size
    WindowPlace place = DefaultWindowPlace;
    int placeRemembered = 0;
    int singleWindow = 1;  // a second start hands its word to the running window
};

// An event the loop handles later: one that came while long work ran.
struct HeldEvent {
    int code = 0;
    int id = 0;
};
// Long work in the window (shell/work.h): what it does, whether the user
// asked it to stop, when the window last had its turn (milliseconds), and
// the events held for the loop.
struct WorkState {
    std::string what;
    int stopped = 0;
    long long lastTurn = 0;
    std::deque<HeldEvent> held;
};

struct ProgramState {
    // Where Kelpra writes its own files (the one-time backups, the copy of
    // Help on Help): the program's folder, or the per-user folder of an
    // installed program (state/programfolders.h).
    std::string programFolder;
    std::string settingsFile;
    // Where the templates and HelpMain.htm are read: the program's folder,
    // or the installed data folder.
    std::string dataFolder;
    std::string helpFolder;
    std::string sourceViewer;
    std::string htmlEditor;
    int32_t commandLineFlag = 0;
    std::string keywordsFile;
    std::string fileFilter;
    std::string initialSearchText;
    // The initial search text was taken already (the command line's words
    // are taken once), for the hand-over to a running window.
    int32_t initialSearchTaken = 0;
    int32_t lastEvent = 0;
    std::string requesterResult;
    std::string lastAddress;
    // The page the browser's entry stood for when the watcher last took note
    // ("" for a page shown as itself): two display copies in one folder share
    // an address.
    std::string lastPage;
    std::string currentPage;
    std::string copiedPage;
    std::string displayCopyPath;
    int32_t anchorPosition = 0;
    ContextList contextList;
    ViewSettings view;
    WorkState work;
    // The index page is in UTF-8 (else Windows-1252): what the program
    // writes into it is too. Noted when the context list is built.
    int32_t indexUtf8 = 0;
};

extern ProgramState State;

// Control ids of the main window; the help index reads the search field and
// drives the browser too.
constexpr int BackButton = 1;
constexpr int NextButton = 2;
constexpr int SearchField = 4;
constexpr int GoButton = 5;
constexpr int TopLine = 6;
constexpr int BrowserControl = 10;

// Clears every field: the first thing the program does, and how each test
// case starts.
void ProgramStateClear();

constexpr const char* DefaultHelpFolder = "c:\\program files\\dark basic software\\dark basic\\help\\";
constexpr const char* DefaultKeywordsFile =
    "c:\\program files\\dark basic software\\dark basic\\keywords.txt";
constexpr const char* DefaultViewer = "NotePad.exe";
