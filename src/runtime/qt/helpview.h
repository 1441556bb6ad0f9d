// The browser control: a QTextBrowser that we drive ourselves, so that
// addresses, links and history behave as the help pages expect.
#pragma once

#include <QTextBrowser>
#include <string>

#include "runtime/browserhistory.h"

class HelpView : public QTextBrowser {
public:
    explicit HelpView(QWidget* parent);

    // Starts a navigation: the page is read and laid out once the event loop
    // gets to it, so the page watcher can put a display copy in its place
    // first. An empty target does nothing; see BrowserResolveTarget for the
    // forms.
    void Navigate(const std::string& target);
    // BrowserBack, BrowserForward, BrowserStop, BrowserReload; started like
    // a navigation.
    void Command(int command);
    // The display copy at copyPath, standing for page, in place of the entry
    // the view is headed for (page "" shows copyPath as itself).
    void ShowCopy(const std::string& copyPath, const std::string& page);
    // Shows the navigation started last, at once: what the event loop does.
    void ShowPending();

    // "file:///C:/Some%20Folder/page.htm#A" of the entry shown, or "" before
    // the first page.
    std::string Address() const;
    // The address of the entry the view is headed for, and the page it
    // stands for.
    std::string TargetAddress() const;
    std::string TargetPage() const;
    // The outside address a link led to, once (BrowserTakeOutsideAddress).
    std::string TakeOutside();
    // The place on the page shown: where in its text the line at the top of
    // the view begins; ShowPlace brings that line to the top again, however
    // the text was laid out since (zoom, width). The history keeps it.
    int PlaceOnPage() const;
    void ShowPlace(int place);

protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SchedulePending();
    // Reads the shown entry's file and lays it out.
    void LayOut(const BrowserEntry& entry);
    void PlaceScroll(const BrowserEntry& entry, bool returning);

    // Entries keep their path and scroll, never their text: a page is read
    // again when it is shown again, so the history costs next to nothing.
    BrowserHistory history_;
    bool scheduled_ = false;
    QString pendingHref_;
    std::string outside_;
    // The folder the page on screen resolves its relative links in.
    std::string linkBase_;
    bool painted_ = false;
};

// The browser control of a control id, or nullptr for any other control.
HelpView* HelpViewOf(int id);
// A new page is on screen in the view: its find bar, when open, looks again
// (pagetools.cpp).
void QtFindBarPageShown(HelpView* view);
