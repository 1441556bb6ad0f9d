#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QUrl>

#include "runtime/browser.h"
#include "runtime/hostpath.h"
#include "runtime/qt/browsertext.h"
#include "runtime/qt/helpview.h"
#include "runtime/qt/qtlayer.h"

namespace {

std::string LowerExtension(const std::string& path)
{
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// The bytes of a file named in the Windows form; false for a missing file
// or a folder.
bool ReadWindowsFile(const std::string& path, QByteArray* bytes)
{
    std::string host = HostPathFromWindows(path);
    if (host.empty()) return false;
    QString name = QFile::decodeName(QByteArray::fromStdString(host));
    if (!QFileInfo(name).isFile()) return false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return false;
    *bytes = file.readAll();
    return true;
}

QString NotFoundPage(const std::string& path)
{
    return "<h3>Page not found</h3><p>" + QtTextFromBytes(path).toHtmlEscaped() + "</p>";
}

}  // namespace

HelpView::HelpView(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        // The href as the page wrote it: QUrl would read "C:\H\a.htm" as a
        // scheme "c" and escape the backslashes.
        QString href = pendingHref_.isEmpty() ? QUrl::fromPercentEncoding(url.toEncoded()) : pendingHref_;
        Follow(href);
    });
}

void HelpView::mouseReleaseEvent(QMouseEvent* event)
{
    pendingHref_ = anchorAt(event->position().toPoint());
    QTextBrowser::mouseReleaseEvent(event);
    pendingHref_.clear();
}

void HelpView::paintEvent(QPaintEvent* event)
{
    QTextBrowser::paintEvent(event);
    if (!painted_ && current_ >= 0) {
        painted_ = true;
        if (QtExitAfterFirstPage()) QtRecordEvent(16, 0);
    }
}

void HelpView::Follow(const QString& href)
{
    Navigate(QtBytesFromText(href));
}

std::string HelpView::ShownPath() const
{
    return current_ >= 0 ? history_[static_cast<size_t>(current_)].path : std::string();
}

HelpView::Entry HelpView::Load(const std::string& path, const std::string& anchor) const
{
    Entry entry;
    entry.path = path;
    entry.anchor = anchor;
    std::string extension = LowerExtension(path);
    if (extension == "dba") {
        // A source file goes to the viewer, not onto the screen: the page
        // shown stays as it is.
        if (current_ >= 0) {
            entry.html = history_[static_cast<size_t>(current_)].html;
            entry.plain = history_[static_cast<size_t>(current_)].plain;
        }
        return entry;
    }
    QByteArray bytes;
    if (!ReadWindowsFile(path, &bytes)) {
        entry.html = NotFoundPage(path);
    } else if (extension == "txt") {
        entry.html = BrowserDecodePage(bytes);
        entry.plain = true;
    } else if (extension == "png" || extension == "gif" || extension == "jpg" || extension == "jpeg" ||
               extension == "bmp") {
        entry.html = "<img src=\"" + QtTextFromBytes(path).toHtmlEscaped() + "\">";
    } else {
        entry.html = BrowserDecodePage(bytes);
    }
    return entry;
}

void HelpView::Navigate(const std::string& target)
{
    if (target.empty()) return;
    BrowserTarget resolved = BrowserResolveTarget(target, ShownPath());
    if (!resolved.external.empty()) {
        QDesktopServices::openUrl(QUrl(QString::fromStdString(resolved.external)));
        return;
    }
    if (resolved.path.empty()) return;
    Entry entry;
    if (current_ >= 0 && resolved.path == ShownPath() && !resolved.anchor.empty()) {
        entry = history_[static_cast<size_t>(current_)];
        entry.anchor = resolved.anchor;
    } else {
        entry = Load(resolved.path, resolved.anchor);
    }
    entry.scroll = 0;
    if (current_ >= 0) history_[static_cast<size_t>(current_)].scroll = verticalScrollBar()->value();
    history_.resize(static_cast<size_t>(current_) + 1);
    history_.push_back(entry);
    Show(static_cast<int>(history_.size()) - 1);
}

void HelpView::Show(int index)
{
    const Entry& entry = history_[static_cast<size_t>(index)];
    bool sameText = shown_ >= 0 && history_[static_cast<size_t>(shown_)].path == entry.path &&
                    history_[static_cast<size_t>(shown_)].html == entry.html;
    current_ = index;
    if (!sameText) {
        size_t slash = entry.path.rfind('\\');
        std::string folder = slash == std::string::npos ? entry.path : entry.path.substr(0, slash + 1);
        document()->setBaseUrl(QUrl(QtTextFromBytes(BrowserAddressFromPath(folder, ""))));
        document()->setDefaultStyleSheet(entry.plain ? QString() : BrowserBodyStyle(entry.html));
        if (entry.plain) setPlainText(entry.html);
        else setHtml(entry.html);
    }
    shown_ = index;
    if (!entry.anchor.empty()) scrollToAnchor(QtTextFromBytes(entry.anchor));
    else verticalScrollBar()->setValue(entry.scroll);
}

std::string HelpView::Address() const
{
    if (current_ < 0) return "";
    const Entry& entry = history_[static_cast<size_t>(current_)];
    return BrowserAddressFromPath(entry.path, entry.anchor);
}

void HelpView::Command(int command)
{
    if (current_ < 0) return;
    history_[static_cast<size_t>(current_)].scroll = verticalScrollBar()->value();
    if (command == BrowserBack && current_ > 0) {
        Show(current_ - 1);
    } else if (command == BrowserForward && current_ + 1 < static_cast<int>(history_.size())) {
        Show(current_ + 1);
    } else if (command == BrowserReload) {
        Entry& entry = history_[static_cast<size_t>(current_)];
        int scroll = entry.scroll;
        entry = Load(entry.path, entry.anchor);
        entry.scroll = scroll;
        shown_ = -1;
        Show(current_);
    }
    // Pages load at once, so there is never anything to stop.
}

QVariant HelpView::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource)
        return QTextBrowser::loadResource(type, name);
    // Names arrive resolved against the page's folder; backslashes come
    // escaped and a "C:\..." source reads as a scheme, so undo both.
    std::string raw = QtBytesFromText(QUrl::fromPercentEncoding(name.toEncoded()));
    BrowserTarget target = BrowserResolveTarget(raw, ShownPath());
    QByteArray bytes;
    if (target.path.empty() || !ReadWindowsFile(target.path, &bytes)) return QVariant();
    if (type == QTextDocument::StyleSheetResource) return BrowserDecodePage(bytes);
    return bytes;
}

int BrowserCreate(int id, int x, int y, int width, int height, const std::string& address)
{
    QWidget* parent = QtControlParent();
    if (!parent) return 0;
    auto* view = new HelpView(parent);
    view->setGeometry(x, y, width, height);
    view->show();
    QtControlAdd(id, view);
    view->Navigate(address);
    return 1;
}
