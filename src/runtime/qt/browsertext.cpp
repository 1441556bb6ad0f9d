#include "runtime/qt/browsertext.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cctype>
#include <vector>

#include "runtime/codepage.h"

namespace {

bool IsHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

// Only well-formed escapes are decoded; a lone "%" in a file name stays.
std::string DecodePercent(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2])) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWithDrive(const std::string& path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// "http:", "mailto:" and so on; a single letter before ":" is a drive.
bool HasWebScheme(const std::string& text)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        char c = text[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// Folds "." and ".." steps and doubled separators below the drive (or the
// share of a "\\server\share" path); a closing "\" is kept.
std::string FoldPath(const std::string& path)
{
    std::string root;
    std::string rest = path;
    if (StartsWithDrive(path)) {
        root = path.substr(0, 2) + "\\";
        rest = path.substr(2);
    } else if (path.rfind("\\\\", 0) == 0) {
        root = "\\\\";
        rest = path.substr(2);
    }
    bool closing = !rest.empty() && rest.back() == '\\';
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        std::string part = rest.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += '\\';
        out += parts[i];
    }
    if (closing && !parts.empty()) out += '\\';
    return out;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

QString FromWindows1252(const QByteArray& bytes)
{
    return QString::fromStdString(TextFromAnsiToUtf8(bytes.toStdString()));
}

bool IsValidUtf8(const QByteArray& bytes, QString* text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = decoder.decode(bytes);
    return !decoder.hasError();
}

// The charset a <meta> tag names, looked for in the head only.
std::string DeclaredCharset(const QByteArray& bytes)
{
    std::string head = Lower(bytes.left(4096).toStdString());
    size_t end = std::min(head.find("</head"), head.find("<body"));
    if (end != std::string::npos) head.resize(end);
    size_t meta = head.find("<meta");
    while (meta != std::string::npos) {
        size_t close = head.find('>', meta);
        std::string tag = head.substr(meta, close == std::string::npos ? std::string::npos : close - meta);
        size_t at = tag.find("charset");
        if (at != std::string::npos) {
            at += 7;
            while (at < tag.size() && (tag[at] == ' ' || tag[at] == '=' || tag[at] == '"' || tag[at] == '\''))
                ++at;
            std::string name;
            while (at < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[at])) || tag[at] == '-' ||
                                       tag[at] == '_' || tag[at] == '.' || tag[at] == ':'))
                name += tag[at++];
            if (!name.empty()) return name;
        }
        meta = head.find("<meta", meta + 5);
    }
    return "";
}

}  // namespace

BrowserTarget BrowserResolveTarget(const std::string& target, const std::string& currentPath,
                                   const std::string& baseFolder)
{
    BrowserTarget result;
    std::string text = target;
    size_t hash = text.find('#');
    if (hash != std::string::npos) {
        result.anchor = DecodePercent(text.substr(hash + 1));
        text.resize(hash);
    }
    if (text.empty()) {
        if (!result.anchor.empty()) result.path = currentPath;
        return result;
    }
    std::string lower = Lower(text);
    if (lower.rfind("file:", 0) == 0) {
        text = text.substr(5);
        size_t slashes = 0;
        while (slashes < text.size() && (text[slashes] == '/' || text[slashes] == '\\')) ++slashes;
        // "file:///C:/x" names a drive; "file://server/share" a network share.
        text = (slashes == 2 && !StartsWithDrive(text.substr(2))) ? "\\\\" + text.substr(2)
                                                                  : text.substr(slashes);
    } else if (HasWebScheme(text)) {
        result.external = target;
        result.anchor.clear();
        return result;
    }
    size_t query = text.find('?');
    if (query != std::string::npos) text.resize(query);
    text = DecodePercent(text);
    for (char& c : text)
        if (c == '/') c = '\\';
    // A folder with an anchor is what an in-page link ("#A" at the start of a
    // line) becomes in a display copy; it can only mean this page.
    if (!result.anchor.empty() && text.back() == '\\' && !currentPath.empty()) {
        result.path = currentPath;
        return result;
    }
    std::string path;
    if (StartsWithDrive(text) || text.rfind("\\\\", 0) == 0) {
        path = text;
    } else {
        const std::string folder = baseFolder.empty() ? FolderOf(currentPath) : baseFolder;
        if (text[0] == '\\') path = StartsWithDrive(folder) ? folder.substr(0, 2) + text : text;
        else path = folder + text;
    }
    result.path = FoldPath(path);
    return result;
}

namespace {

QString DecodeCharacters(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF")) return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    std::string charset = DeclaredCharset(bytes);
    if (charset == "utf-8" || charset == "utf8") return QString::fromUtf8(bytes);
    if (charset == "windows-1252" || charset == "cp1252" || charset == "iso-8859-1" ||
        charset == "iso8859-1" || charset == "latin1" || charset == "us-ascii" || charset == "ascii")
        return FromWindows1252(bytes);
    if (!charset.empty()) {
        QStringDecoder named(charset.c_str());
        if (named.isValid()) return named(bytes);
    }
    QString text;
    if (IsValidUtf8(bytes, &text)) return text;
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

QString BrowserBaseHref(const QString& html)
{
    const qsizetype base = html.indexOf("<base", 0, Qt::CaseInsensitive);
    if (base < 0) return "";
    const qsizetype body = html.indexOf("<body", 0, Qt::CaseInsensitive);
    if (body >= 0 && body < base) return "";
    const qsizetype end = html.indexOf('>', base);
    return AttributeOf(html.mid(base, end < 0 ? -1 : end - base + 1), "href");
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
