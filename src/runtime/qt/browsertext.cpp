#include "runtime/qt/browsertext.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cctype>
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
    static const QRegularExpression lineBeforeBlock(
        "<br\\s*/?>(\\s*)(?=<(?:p|div|hr|h[1-6]|table|ul|ol|dl|pre|center|blockquote|address|form)[\\s>/]|"
        "</(?:p|div|td|th|li|dd|dt|center|blockquote|body|html)\\s*>)",
        QRegularExpression::CaseInsensitiveOption);
    QString prepared = html;
    prepared.replace(lineBeforeBlock, "\\1");
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
