#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>

#include "runtime/browser.h"
#include "runtime/codepage.h"
#include "runtime/hostpath.h"
#include "runtime/pagebytes.h"
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

// Names the page that was asked for, so a broken link looks broken.
QString NotFoundPage(const std::string& path)
{
    return "<h2>Page not found</h2><p>There is no page at</p><p><b>" + QtTextFromBytes(path).toHtmlEscaped() +
           "</b></p><p>The link that led here is broken, or the page was moved or deleted.</p>";
}

}  // namespace

HelpView::HelpView(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    // A web browser's page: text of the "medium" size (12 points, 16
    // pixels on an ordinary screen) that the pages' font sizes count from,
    // and a margin of 8 pixels.
    // Enter follows the link Tab has moved to, never the program's search.
    setProperty(QtOwnEnterProperty, true);
    QFont base = font();
    base.setPointSizeF(12);
    setFont(base);
    document()->setDocumentMargin(8);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        // The href as the page wrote it: QUrl would read "C:\H\a.htm" as a
        // scheme "c" and escape the backslashes.
        QString href = pendingHref_.isEmpty() ? QUrl::fromPercentEncoding(url.toEncoded()) : pendingHref_;
        Navigate(QtBytesFromText(href));
    });
}

void HelpView::mouseReleaseEvent(QMouseEvent* event)
{
    pendingHref_ = anchorAt(event->position().toPoint());
    QTextBrowser::mouseReleaseEvent(event);
    pendingHref_.clear();
}

void HelpView::keyPressEvent(QKeyEvent* event)
{
    // The link Tab moved to, as the page wrote it (see anchorClicked).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) pendingHref_ = textCursor().charFormat().anchorHref();
    QTextBrowser::keyPressEvent(event);
    pendingHref_.clear();
}

void HelpView::paintEvent(QPaintEvent* event)
{
    QTextBrowser::paintEvent(event);
    if (!painted_ && history_.current >= 0) {
        painted_ = true;
        QtFirstPageDrawn();
    }
}

void HelpView::SchedulePending()
{
    if (scheduled_ || !history_.pending.active) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this]() { ShowPending(); });
}

void HelpView::Navigate(const std::string& target)
{
    if (target.empty()) return;
    // Links are written relative to the page on screen, or to its <base>.
    BrowserTarget resolved = BrowserResolveTarget(target, history_.shownPath, linkBase_);
    if (!resolved.external.empty()) {
        // Web links go to the desktop's browser; any other scheme may start
        // anything, so the program asks first (BrowserTakeOutsideAddress).
        if (BrowserIsWebAddress(resolved.external))
            QDesktopServices::openUrl(QUrl(QtTextFromBytes(resolved.external)));
        else outside_ = resolved.external;
        return;
    }
    if (resolved.path.empty()) return;
    BrowserEntry entry;
    entry.path = resolved.path;
    entry.anchor = resolved.anchor;
    HistoryNavigate(history_, entry);
    SchedulePending();
}

void HelpView::Command(int command)
{
    if (command == BrowserBack) HistoryStep(history_, -1);
    else if (command == BrowserForward) HistoryStep(history_, 1);
    else if (command == BrowserStop) HistoryStop(history_);
    else if (command == BrowserReload) HistoryReload(history_);
    SchedulePending();
}

void HelpView::ShowCopy(const std::string& copyPath, const std::string& page)
{
    HistoryShowCopy(history_, copyPath, page);
    SchedulePending();
}

void HelpView::ShowPending()
{
    scheduled_ = false;
    BrowserCommit commit = HistoryCommit(history_, PlaceOnPage());
    if (!commit.done) return;
    const BrowserEntry& entry = history_.entries[static_cast<size_t>(history_.current)];
    if (commit.layOut) LayOut(entry);
    PlaceScroll(entry, commit.returning);
    if (commit.layOut) QtFindBarPageShown(this);
}

void HelpView::LayOut(const BrowserEntry& entry)
{
    std::string extension = LowerExtension(entry.path);
    // A source goes to the viewer, not onto the screen: the page shown stays.
    if (extension == "dba") return;
    QByteArray bytes;
    QString text;
    bool plain = false;
    if (!ReadWindowsFile(entry.path, &bytes)) {
        text = NotFoundPage(entry.page.empty() ? entry.path : entry.page);
    } else if (extension == "txt") {
        text = BrowserDecodePage(bytes);
        plain = true;
    } else if (extension == "png" || extension == "gif" || extension == "jpg" || extension == "jpeg" ||
               extension == "bmp") {
        text = "<img src=\"" + QtTextFromBytes(entry.path).toHtmlEscaped() + "\">";
    } else {
        text = BrowserDecodePage(bytes);
    }
    size_t slash = entry.path.rfind('\\');
    std::string folder = slash == std::string::npos ? entry.path : entry.path.substr(0, slash + 1);
    // A page's <base> (the include pages', or the one a display copy kept
    // away from its page carries) says where its relative links and
    // pictures are.
    const std::string base = plain ? std::string() : PageBaseHref(bytes.toStdString());
    if (!base.empty()) {
        const std::string named = BrowserResolveTarget(TextToAnsi(base), entry.path).path;
        if (!named.empty()) folder = named.back() == '\\' ? named : named.substr(0, named.rfind('\\') + 1);
    }
    linkBase_ = folder;
    // The entry is the shown one before the text goes in, so that pictures
    // and style sheets resolve against its folder.
    HistoryLaidOut(history_);
    document()->setBaseUrl(QUrl(QtTextFromBytes(BrowserAddressFromPath(folder, ""))));
    // Type of fixed width a little smaller than the text, and the indent of
    // a definition, as web browsers draw them; relative, so they follow the
    // text's size.
    const QString browserDefaults = "pre, tt, code, kbd, samp { font-size: small } dd { margin-left: 40px } ";
    document()->setDefaultStyleSheet(plain ? QString() : browserDefaults + BrowserBodyStyle(text));
    if (plain) setPlainText(text);
    else setHtml(BrowserPrepareHtml(text));
}

void HelpView::PlaceScroll(const BrowserEntry& entry, bool returning)
{
    if (returning) {
        ShowPlace(entry.scroll);
    } else if (!entry.anchor.empty()) {
        scrollToAnchor(QtTextFromBytes(entry.anchor));
    } else {
        verticalScrollBar()->setValue(0);
    }
}

int HelpView::PlaceOnPage() const
{
    const int top = verticalScrollBar()->value();
    if (top <= 0) return 0;
    // Where the line at the top begins in the text: pixels change with the
    // text size and the width, the text does not.
    return document()->documentLayout()->hitTest(QPointF(0, top), Qt::FuzzyHit);
}

void HelpView::ShowPlace(int place)
{
    QScrollBar* bar = verticalScrollBar();
    if (place <= 0) {
        bar->setValue(0);
        return;
    }
    // A long page is laid out a piece at a time, and the scroll bar learns
    // its new length only later: lay it out as far as the place and a view
    // beyond, and stretch the bar to reach the place meanwhile.
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const QTextBlock block = document()->findBlock(std::min(place, document()->characterCount() - 1));
    const QRectF box = layout->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineForTextPosition(place - block.position());
    const int top = qRound(box.top() + (line.isValid() ? line.y() : 0));
    layout->hitTest(QPointF(0, top + viewport()->height()), Qt::FuzzyHit);
    if (bar->maximum() < top) bar->setMaximum(top);
    bar->setValue(top);
}

void HelpView::resizeEvent(QResizeEvent* event)
{
    // A new width lays the text out anew; the line at the top stays there.
    const int place = PlaceOnPage();
    QTextBrowser::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) ShowPlace(place);
}

std::string HelpView::Address() const
{
    if (history_.current < 0) return "";
    return BrowserEntryAddress(history_.entries[static_cast<size_t>(history_.current)]);
}

std::string HelpView::TargetAddress() const
{
    const BrowserEntry* target = HistoryTarget(history_);
    return target ? BrowserEntryAddress(*target) : "";
}

std::string HelpView::TakeOutside()
{
    std::string address = outside_;
    outside_.clear();
    return address;
}

std::string HelpView::TargetPage() const
{
    const BrowserEntry* target = HistoryTarget(history_);
    return target ? target->page : "";
}

QVariant HelpView::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource)
        return QTextBrowser::loadResource(type, name);
    // Names arrive resolved against the page's folder; backslashes come
    // escaped and a "C:\..." source reads as a scheme, so undo both.
    std::string raw = QtBytesFromText(QUrl::fromPercentEncoding(name.toEncoded()));
    BrowserTarget target = BrowserResolveTarget(raw, history_.shownPath);
    QByteArray bytes;
    if (target.path.empty() || !ReadWindowsFile(target.path, &bytes)) return QVariant();
    if (type == QTextDocument::StyleSheetResource) return BrowserDecodePage(bytes);
    return bytes;
}

namespace {

// The browser control as the layer's control table drives it.
const QtControlHandlers ViewHandlers = {
    [](QWidget* control, const std::string& text) { static_cast<HelpView*>(control)->Navigate(text); },
    [](QWidget* control) {
        return static_cast<HelpView*>(control)->Address().substr(0, BrowserAddressLimit);
    },
    [](QWidget* control, int state) { static_cast<HelpView*>(control)->Command(state); },
};

}  // namespace

HelpView* HelpViewOf(int id)
{
    return QtControlHandlersOf(id) == &ViewHandlers ? static_cast<HelpView*>(QtControlWidget(id)) : nullptr;
}

int BrowserCreate(int id, int x, int y, int width, int height, const std::string& address)
{
    QWidget* parent = QtControlParent();
    if (!parent) return 0;
    auto* view = new HelpView(parent);
    view->setGeometry(x, y, width, height);
    view->show();
    QtControlAdd(id, view, &ViewHandlers);
    view->Navigate(address);
    return 1;
}

std::string BrowserTargetAddress(int id)
{
    HelpView* view = HelpViewOf(id);
    return view ? view->TargetAddress().substr(0, BrowserAddressLimit) : "";
}

std::string BrowserTargetPage(int id)
{
    HelpView* view = HelpViewOf(id);
    return view ? view->TargetPage() : "";
}

void BrowserShowCopy(int id, const std::string& copyPath, const std::string& page)
{
    if (HelpView* view = HelpViewOf(id)) view->ShowCopy(copyPath, page);
}

std::string BrowserTakeOutsideAddress(int id)
{
    HelpView* view = HelpViewOf(id);
    return view ? view->TakeOutside() : "";
}
