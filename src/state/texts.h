// Every text the user reads in the window, a message box or a requester, in
// one place: they stand exactly as the program has always shown them
// (spelling included), and kelpra-cli prints the same ones.
#pragma once

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
