#include "runtime/qt/browsertext.h"

#include <QStringDecoder>
#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "runtime/codepage.h"
#include "runtime/pagebytes.h"

namespace {

QString FromWindows1252(const QByteArray& bytes)
{
    return QString::fromStdString(TextFromAnsiToUtf8(bytes.toStdString()));
}

}  // namespace

namespace {

QString DecodeCharacters(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF")) return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    const std::string page = bytes.toStdString();
    const std::string name = DeclaredCharsetName(page);
    // A charset of another family is Qt's to read, where it knows it.
    if (!name.empty() && CharsetFromName(name) == PageCharset::Unknown) {
        QStringDecoder named(name.c_str());
        if (named.isValid()) return named(bytes);
    }
    if (PageCharsetOf(page) == PageCharset::Utf8) return QString::fromUtf8(bytes);
    return FromWindows1252(bytes);
}

}  // namespace

QString BrowserDecodePage(const QByteArray& bytes)
{
    // Line ends become "\n" as a web browser reads them first: Qt's reader
    // takes a CR for text, so on a Windows page (CR LF, as every display
    // copy is written too) a line after a paragraph or a rule would join
    // the paragraph before it.
    QString text = DecodeCharacters(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

namespace {

// The value of one attribute inside a tag's text, quoted or not.
QString AttributeOf(const QString& tag, const QString& name)
{
    static const QString separators = " \t\r\n>";
    qsizetype at = 0;
    while ((at = tag.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
        qsizetype after = at + name.size();
        bool startsWord = at > 0 && tag[at - 1].isSpace();
        at = after;
        while (after < tag.size() && tag[after].isSpace()) ++after;
        if (!startsWord || after >= tag.size() || tag[after] != '=') continue;
        ++after;
        while (after < tag.size() && tag[after].isSpace()) ++after;
        if (after >= tag.size()) return "";
        QChar quote = tag[after];
        if (quote == '"' || quote == '\'') {
            qsizetype end = tag.indexOf(quote, after + 1);
            return tag.mid(after + 1, end < 0 ? -1 : end - after - 1).trimmed();
        }
        qsizetype end = after;
        while (end < tag.size() && !separators.contains(tag[end])) ++end;
        return tag.mid(after, end - after);
    }
    return "";
}

// Before a block, a line break starts no line of its own, as in a web
// browser. Found by hand: a regular expression costs its compilation at the
// first page.
bool IsBreakSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == 0x0B || u == '\f' || u == '\r';
}

// Case folded for the tag names below: the Kelvin sign is a "k" and the long
// s an "s" to caseless matching too.
char16_t Folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u == 0x212A) return 'k';
    if (u == 0x017F) return 's';
    return u >= 'A' && u <= 'Z' ? static_cast<char16_t>(u + 0x20) : u;
}

// The text from `at` on begins with the lower-case name, in any case.
bool NameAt(const QString& html, qsizetype at, std::string_view name)
{
    if (at + static_cast<qsizetype>(name.size()) > html.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (Folded(html[at + static_cast<qsizetype>(i)]) != static_cast<char16_t>(name[i])) return false;
    return true;
}

// Just after the "<br>", "<br/>" or "<br />" at `at`; -1 when none is there.
qsizetype LineBreakEnd(const QString& html, qsizetype at)
{
    if (!NameAt(html, at, "<br")) return -1;
    qsizetype end = at + 3;
    while (end < html.size() && IsBreakSpace(html[end])) ++end;
    if (end < html.size() && html[end] == u'/') ++end;
    return end < html.size() && html[end] == u'>' ? end + 1 : -1;
}

constexpr std::string_view OpeningBlocks[] = {"p",  "div", "hr",     "h1",         "h2",      "h3",
                                              "h4", "h5",  "h6",     "table",      "ul",      "ol",
                                              "dl", "pre", "center", "blockquote", "address", "form"};
constexpr std::string_view ClosingBlocks[] = {"p",  "div",    "td",         "th",   "li",  "dd",
                                              "dt", "center", "blockquote", "body", "html"};

// A block's start tag, or the end tag of a block or a cell, is at `at`.
bool BlockStartsAt(const QString& html, qsizetype at)
{
    if (at >= html.size() || html[at] != u'<') return false;
    for (std::string_view name : OpeningBlocks) {
        const qsizetype after = at + 1 + static_cast<qsizetype>(name.size());
        if (NameAt(html, at + 1, name) && after < html.size() &&
            (IsBreakSpace(html[after]) || html[after] == u'>' || html[after] == u'/'))
            return true;
    }
    if (at + 1 >= html.size() || html[at + 1] != u'/') return false;
    for (std::string_view name : ClosingBlocks) {
        if (!NameAt(html, at + 2, name)) continue;
        qsizetype after = at + 2 + static_cast<qsizetype>(name.size());
        while (after < html.size() && IsBreakSpace(html[after])) ++after;
        if (after < html.size() && html[after] == u'>') return true;
    }
    return false;
}

// Only colour words and #RGB values get into the style sheet.
bool IsColour(const QString& value)
{
    if (value.isEmpty() || value.size() > 30) return false;
    for (QChar c : value)
        if (!c.isLetterOrNumber() && c != '#') return false;
    return true;
}

}  // namespace

QString BrowserPrepareHtml(const QString& html)
{
    QString prepared;
    qsizetype copied = 0;
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
        const qsizetype end = LineBreakEnd(html, at);
        if (end < 0) continue;
        qsizetype next = end;
        while (next < html.size() && IsBreakSpace(html[next])) ++next;
        if (!BlockStartsAt(html, next)) continue;
        // The break goes; the spaces after it stay.
        prepared += QStringView(html).mid(copied, at - copied);
        copied = end;
        at = end - 1;
    }
    if (copied == 0) return html;
    prepared += QStringView(html).mid(copied);
    return prepared;
}

QString BrowserBodyStyle(const QString& html)
{
    qsizetype body = html.indexOf("<body", 0, Qt::CaseInsensitive);
    if (body < 0) return "";
    qsizetype end = html.indexOf('>', body);
    QString tag = html.mid(body, end < 0 ? -1 : end - body + 1);
    QString style;
    QString text = AttributeOf(tag, "text");
    QString link = AttributeOf(tag, "link");
    if (IsColour(text)) style += "body { color: " + text + " } ";
    if (IsColour(link)) style += "a { color: " + link + " } ";
    return style.trimmed();
}

QString QtTextFromBytes(const std::string& bytes)
{
    return QString::fromStdString(TextToUtf8(bytes));
}
