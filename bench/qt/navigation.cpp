// Enter to page drawn, and memory after many visits, of the real main window
// (start-up, search, page watcher, display copy, browser control), beside a
// bare QTextBrowser that loads the same page in the same run. Run by
// bench/navigation.sh, which makes the help folder and reads the figures.
//
//   bench_navigation time <help folder> <word> <runs>
//       prints "kelpra <ms>" and "bare <ms>" lines, one pair per run
//   bench_navigation memory <help folder> <word> <visits>
//       visits the word's page that often (each time from another page) and
//       prints "peak <KB>"
#include <sys/resource.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextBrowser>
#include <QUrl>
#include <cstdio>
#include <string>

#include "helpindex/contextlist.h"
#include "helpindex/search.h"
#include "runtime/browser.h"
#include "runtime/hostpath.h"
#include "runtime/qt/qtlayer.h"
#include "runtime/text.h"
#include "runtime/window.h"
#include "shell/loop.h"
#include "shell/mainwindow.h"
#include "shell/watcher.h"
#include "state/state.h"

namespace {

// Loop passes, as the program runs them, until the browser shows the
// address; then the view is drawn at once.
void RunUntilShown(const std::string& address)
{
    for (int pass = 0; pass < 100000 && ControlGetText(BrowserControl) != address; ++pass) {
        int event = EventWait();
        if (event == EventMenu) RunMenuCommand(EventMenuId());
        PageWatcher();
    }
    auto* view = dynamic_cast<QAbstractScrollArea*>(QtControlWidget(BrowserControl));
    view->viewport()->repaint();
}

// Presses Enter with the word in the search field; milliseconds until the
// page the word finds is drawn through its display copy.
double SearchAndDraw(const std::string& word, const std::string& copyAddress)
{
    ControlSetText(SearchField, word);
    QElapsedTimer timer;
    timer.start();
    QtRecordEvent(EventMenu, MenuSearch);
    RunUntilShown(copyAddress);
    return timer.nsecsElapsed() / 1e6;
}

// Somewhere else first, so that every search is a real navigation.
void GoElsewhere()
{
    ControlSetText(SearchField, "small");
    QtRecordEvent(EventMenu, MenuSearch);
    RunUntilShown(BrowserAddressFromPath(State.helpFolder + "vosks.html", ""));
}

double BareLoad(const std::string& hostPage)
{
    QTextBrowser browser;
    browser.resize(500, 230);
    browser.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    browser.setSource(QUrl::fromLocalFile(QString::fromLocal8Bit(hostPage.c_str())));
    browser.viewport()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) return 2;
    const std::string mode = argv[1];
    const std::string word = argv[3];
    const int count = std::atoi(argv[4]);
    RuntimeStart();
    ProgramStateClear();
    State.helpFolder = argv[2];
    BuildContextList();
    if (!BuildMainWindow()) return 1;
    ControlSetText(SearchField, word);
    if (!FindContext(word)) return 3;
    const std::string page = State.contextList.current->record.page;
    const std::string copyAddress = BrowserAddressFromPath(PathFolderPart(page) + "vosks.html", "");
    RunUntilShown(BrowserAddressFromPath(State.helpFolder + "vosks.html", ""));

    for (int i = 0; i < count; ++i) {
        GoElsewhere();
        double kelpra = SearchAndDraw(word, copyAddress);
        if (mode == "time") {
            double bare = BareLoad(HostPathFromWindows(page));
            std::printf("kelpra %.1f\nbare %.1f\n", kelpra, bare);
        }
    }
    if (mode == "memory") {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("peak %ld\n", usage.ru_maxrss);
    }
    RuntimeEnd();
    return 0;
}
