// The browser control: a QTextBrowser that we drive ourselves, so that
// addresses, links and history behave as the help pages expect.
#pragma once

#include <QTextBrowser>
#include <string>
#include <vector>

class HelpView : public QTextBrowser {
public:
    explicit HelpView(QWidget* parent);

    // An empty target does nothing; see BrowserResolveTarget for the forms.
    void Navigate(const std::string& target);
    // "file:///C:/Some%20Folder/page.htm#A", or "" before the first page.
    std::string Address() const;
    // BrowserBack, BrowserForward, BrowserStop, BrowserReload.
    void Command(int command);

protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Each entry keeps the text it showed: display copies of one folder
    // share one file name, and Back must show the older copy.
    struct Entry {
        std::string path;
        std::string anchor;
        QString html;
        bool plain = false;
        int scroll = 0;
    };

    void Follow(const QString& href);
    Entry Load(const std::string& path, const std::string& anchor) const;
    void Show(int index);
    std::string ShownPath() const;

    std::vector<Entry> history_;
    int current_ = -1;
    // What the document holds now, so anchor steps within one page do not
    // lay it out again.
    int shown_ = -1;
    QString pendingHref_;
    bool painted_ = false;
};
