// What the browser control offers beyond showing pages: the find bar, the
// text size and printing.
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include "runtime/browser.h"
#include "runtime/qt/browsertext.h"
#include "runtime/qt/helpview.h"
#include "runtime/qt/qtlayer.h"

namespace {

// Highlighting more matches than this would make every keystroke in the
// bar slow on a long page; the next and previous steps still find them all.
constexpr int MostHighlighted = 2000;
constexpr int FindFieldWidth = 180;
constexpr int BarMargin = 4;

// Lies over the top right corner of the page; the keyboard's focus stays in
// its field while it is open.
class FindBar : public QFrame {
public:
    explicit FindBar(HelpView* view) : QFrame(view), view_(view)
    {
        // The layer's shortcuts leave Enter and Escape to the bar.
        setProperty(QtOwnKeysProperty, true);
        setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
        setAutoFillBackground(true);
        field_ = new QLineEdit(this);
        field_->setFixedWidth(FindFieldWidth);
        field_->installEventFilter(this);
        status_ = new QLabel(this);
        status_->setTextFormat(Qt::PlainText);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(BarMargin, BarMargin, BarMargin, BarMargin);
        layout->addWidget(field_);
        layout->addWidget(Button(QStringLiteral("\u25B2"), [this]() { Next(-1); }));
        layout->addWidget(Button(QStringLiteral("\u25BC"), [this]() { Next(1); }));
        layout->addWidget(status_);
        layout->addWidget(Button(QStringLiteral("\u2715"), [this]() { Close(); }));
        connect(field_, &QLineEdit::textEdited, this, [this]() { Find(0); });
        view->installEventFilter(this);
        hide();
    }

    QString notFound;
    QString of = QtTextFromBytes(BrowserFindOfText);

    void Open()
    {
        Place();
        show();
        raise();
        field_->setFocus();
        field_->selectAll();
        if (!field_->text().isEmpty()) Find(0);
    }

    void Next(int direction)
    {
        if (field_->text().isEmpty()) return Open();
        Find(direction);
    }

    void Close()
    {
        hide();
        view_->setExtraSelections({});
        view_->setFocus();
    }

    // Another page is shown: the open bar looks for its text there, from
    // the top of the view on, so its verdict is never the last page's.
    void PageShown()
    {
        if (!isVisible()) return;
        view_->setTextCursor(view_->cursorForPosition(QPoint(0, 0)));
        Find(0);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == view_ && event->type() == QEvent::Resize) Place();
        if (watched != field_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Next(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
            return true;
        }
        return false;
    }

private:
    template <typename Action>
    QToolButton* Button(const QString& text, Action action)
    {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, action);
        return button;
    }

    void Place()
    {
        adjustSize();
        const int scrollBar =
            view_->verticalScrollBar()->isVisible() ? view_->verticalScrollBar()->width() : 0;
        move(std::max(0, view_->width() - width() - scrollBar - BarMargin), BarMargin);
    }

    // Direction 0 looks again from where the match shown starts, as the
    // text is typed; otherwise from beyond it. Past either end it goes on
    // from the other.
    void Find(int direction)
    {
        const QString text = field_->text();
        status_->clear();
        if (text.isEmpty()) {
            view_->setExtraSelections({});
            return;
        }
        QTextDocument::FindFlags flags;
        if (direction < 0) flags |= QTextDocument::FindBackward;
        QTextCursor from = view_->textCursor();
        if (direction == 0) from.setPosition(from.selectionStart());
        QTextCursor found = view_->document()->find(text, from, flags);
        if (found.isNull()) {
            QTextCursor edge(view_->document());
            if (direction < 0) edge.movePosition(QTextCursor::End);
            found = view_->document()->find(text, edge, flags);
        }
        if (found.isNull()) {
            status_->setText(notFound);
            view_->setExtraSelections({});
            Place();
            return;
        }
        view_->setTextCursor(found);
        view_->ensureCursorVisible();
        const QList<QTextEdit::ExtraSelection> marks = HighlightAll(text);
        // Which match is shown, of how many: "3 of 12".
        int number = 0;
        for (qsizetype i = 0; i < marks.size() && !number; ++i)
            if (marks[i].cursor.selectionStart() == found.selectionStart()) number = static_cast<int>(i) + 1;
        const QString all = QString::number(marks.size()) + (marks.size() >= MostHighlighted ? "+" : "");
        status_->setText((number ? QString::number(number) : QStringLiteral("?")) + of + all);
        Place();
    }

    QList<QTextEdit::ExtraSelection> HighlightAll(const QString& text)
    {
        QList<QTextEdit::ExtraSelection> marks;
        QTextCharFormat format;
        // Dark text on yellow, whatever colours the page has.
        format.setBackground(QColor(255, 230, 80));
        format.setForeground(Qt::black);
        QTextCursor at(view_->document());
        while (marks.size() < MostHighlighted) {
            at = view_->document()->find(text, at);
            if (at.isNull()) break;
            marks.append({at, format});
        }
        view_->setExtraSelections(marks);
        return marks;
    }

    HelpView* view_;
    QLineEdit* field_ = nullptr;
    QLabel* status_ = nullptr;
};

FindBar* FindBarOf(HelpView* view)
{
    auto* bar = view->findChild<FindBar*>(QString(), Qt::FindDirectChildrenOnly);
    return bar ? bar : new FindBar(view);
}

}  // namespace

void QtFindBarPageShown(HelpView* view)
{
    if (auto* bar = view->findChild<FindBar*>(QString(), Qt::FindDirectChildrenOnly)) bar->PageShown();
}

void BrowserZoomSet(int id, int percent)
{
    HelpView* view = HelpViewOf(id);
    if (!view || percent <= 0) return;
    // Every step counts from the size the view was made with, so steps
    // there and back never drift.
    QVariant normal = view->property(QtNormalTextSizeProperty);
    if (!normal.isValid()) {
        normal = view->font().pointSizeF();
        view->setProperty(QtNormalTextSizeProperty, normal);
    }
    QFont font = view->font();
    font.setPointSizeF(normal.toDouble() * percent / 100.0);
    const int place = view->PlaceOnPage();
    view->setFont(font);
    view->ShowPlace(place);
}

void BrowserFind(int id, int step, const std::string& notFoundText)
{
    HelpView* view = HelpViewOf(id);
    if (!view) return;
    FindBar* bar = FindBarOf(view);
    bar->notFound = QtTextFromBytes(notFoundText);
    if (step == 0) bar->Open();
    else bar->Next(step);
}

namespace {

using PrintFunction = void (*)(QTextEdit*);

// The printing module (printing.cpp): beside the program in its build
// folder and a portable copy, or where the package puts it. It stays
// loaded once found. Null, with the loader's reason, when it is not there.
PrintFunction PrintModule(QString& reason)
{
    static PrintFunction print = nullptr;
    if (print) return print;
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString& folder : {programFolder, programFolder + "/" KELPRA_PRINT_FOLDER}) {
        QLibrary module(folder + "/kelpra-print.so");
        print = reinterpret_cast<PrintFunction>(module.resolve("KelpraPrint"));
        if (print) return print;
        if (reason.isEmpty()) reason = module.errorString();
    }
    return nullptr;
}

}  // namespace

void BrowserPrint(int id)
{
    HelpView* view = HelpViewOf(id);
    if (!view) return;
    QString reason;
    if (PrintFunction print = PrintModule(reason)) print(view);
    else QMessageBox::warning(view->window(), "Print", "Kelpra cannot print here: " + reason);
}
