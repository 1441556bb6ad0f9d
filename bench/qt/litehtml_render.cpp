// The second engine the browser control could have, measured before it is
// built: litehtml (Debian's liblitehtml-dev, which Qt's own help tools use)
// drawing with QPainter, with the same arguments as bench_render's "draw",
// so bench/rendering.sh can set it beside Chromium and kelpra's control
// (KELPRA_RENDERER=build/bin/bench_litehtml_render).
//
//   bench_litehtml_render draw WIDTH HEIGHT OUT_FOLDER PAGE...
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QUrl>
#include <cstdio>
#include <litehtml.h>
#include <map>
#include <memory>

#include "runtime/qt/browsertext.h"
#include "peakmemory.h"

namespace {

// What a web browser gives every page before its own style: the usual
// HTML defaults, written for this measurement.
const char* const DefaultStyle = R"(
html, address, blockquote, body, center, dd, div, dl, dt, fieldset, form, frame, frameset,
h1, h2, h3, h4, h5, h6, noframes, ol, p, ul, menu, dir, hr, pre, header, footer, nav, section,
article, aside, main, figure, figcaption, table, caption { display: block }
li { display: list-item }
head, script, style, title, meta, link, base, noscript, template { display: none }
table { display: table; border-collapse: separate; border-spacing: 2px }
tr { display: table-row } thead { display: table-header-group } tbody { display: table-row-group }
tfoot { display: table-footer-group } col { display: table-column } colgroup { display: table-column-group }
td, th { display: table-cell; padding: 1px; vertical-align: inherit } caption { text-align: center }
th { font-weight: bold; text-align: center }
body { margin: 8px; font-size: 16px; line-height: normal }
p, dl, blockquote, ul, ol, pre, fieldset, figure { margin: 1em 0 }
blockquote { margin: 1em 40px } dd { margin-left: 40px } center { text-align: center }
h1 { font-size: 2em; margin: .67em 0 } h2 { font-size: 1.5em; margin: .83em 0 }
h3 { font-size: 1.17em; margin: 1em 0 } h4 { margin: 1.33em 0 } h5 { font-size: .83em; margin: 1.67em 0 }
h6 { font-size: .67em; margin: 2.33em 0 } h1, h2, h3, h4, h5, h6, b, strong { font-weight: bold }
i, cite, em, var, address, dfn { font-style: italic }
pre, tt, code, kbd, samp { font-family: monospace } pre, tt, code, kbd, samp { font-size: 13px }
pre { white-space: pre } big { font-size: 1.17em } small, sub, sup { font-size: .83em }
sub { vertical-align: sub } sup { vertical-align: super } s, strike, del { text-decoration: line-through }
u, ins { text-decoration: underline }
hr { border: 1px inset; margin: .5em auto; color: gray }
ol, ul, dir, menu { padding-left: 40px } ol { list-style-type: decimal } ul { list-style-type: disc }
ul ul { list-style-type: circle } a:link { color: #0000ee; text-decoration: underline }
img { display: inline-block } br { display: block }
)";

QString HostFolderOf(const QString& file)
{
    return QFileInfo(file).absolutePath() + "/";
}

// A source relative to the page, with the Windows separators and cases of
// old help pages as they are on a Linux disk: found without regard to case.
QString ResolveFile(const char* source, const QString& base)
{
    QString name = QString::fromUtf8(source).replace('\\', '/');
    if (name.startsWith("file://")) name = QUrl(name).toLocalFile();
    QString path = QDir::isAbsolutePath(name) ? name : base + name;
    path = QDir::cleanPath(path);
    if (QFileInfo::exists(path)) return path;
    QDir folder(QFileInfo(path).absolutePath());
    for (const QString& entry : folder.entryList(QDir::Files))
        if (entry.compare(QFileInfo(path).fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return path;
}

class Container : public litehtml::document_container {
public:
    QPainter* painter = nullptr;
    QString base;
    int width = 800;
    int height = 600;

    litehtml::uint_ptr create_font(const char* faceName, int size, int weight, litehtml::font_style italic,
                                   unsigned int decoration, litehtml::font_metrics* fm) override
    {
        QFont font;
        QString family = QString::fromUtf8(faceName).split(',').first().trimmed().remove('"').remove('\'');
        if (family == "monospace") font.setStyleHint(QFont::Monospace);
        else if (family == "serif") font.setStyleHint(QFont::Serif);
        else if (!family.isEmpty() && family != "sans-serif") font.setFamily(family);
        font.setPixelSize(size > 0 ? size : 16);
        font.setWeight(static_cast<QFont::Weight>(weight));
        font.setItalic(italic == litehtml::fontStyleItalic);
        font.setUnderline(decoration & litehtml::font_decoration_underline);
        font.setStrikeOut(decoration & litehtml::font_decoration_linethrough);
        QFontMetrics metrics(font);
        if (fm) {
            fm->ascent = metrics.ascent();
            fm->descent = metrics.descent();
            fm->height = metrics.height();
            fm->x_height = metrics.xHeight();
            fm->draw_spaces = decoration != 0;
        }
        fonts_.push_back(std::make_unique<QFont>(font));
        return reinterpret_cast<litehtml::uint_ptr>(fonts_.back().get());
    }
    void delete_font(litehtml::uint_ptr) override {}
    int text_width(const char* text, litehtml::uint_ptr font) override
    {
        return QFontMetrics(*reinterpret_cast<QFont*>(font)).horizontalAdvance(QString::fromUtf8(text));
    }
    void draw_text(litehtml::uint_ptr, const char* text, litehtml::uint_ptr font, litehtml::web_color color,
                   const litehtml::position& pos) override
    {
        painter->setFont(*reinterpret_cast<QFont*>(font));
        painter->setPen(QColor(color.red, color.green, color.blue, color.alpha));
        QFontMetrics metrics(painter->font());
        painter->drawText(pos.x, pos.y + metrics.ascent(), QString::fromUtf8(text));
    }
    int pt_to_px(int pt) const override { return pt * 96 / 72; }
    int get_default_font_size() const override { return 16; }
    const char* get_default_font_name() const override { return "sans-serif"; }
    void draw_list_marker(litehtml::uint_ptr, const litehtml::list_marker& marker) override
    {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(marker.color.red, marker.color.green, marker.color.blue));
        painter->drawEllipse(QRect(marker.pos.x, marker.pos.y, marker.pos.width, marker.pos.height));
    }
    void load_image(const char* source, const char*, bool) override
    {
        QString path = ResolveFile(source, base);
        if (!images_.count(path)) images_[path] = QImage(path);
    }
    void get_image_size(const char* source, const char*, litehtml::size& size) override
    {
        QString path = ResolveFile(source, base);
        if (!images_.count(path)) images_[path] = QImage(path);
        size.width = images_[path].width();
        size.height = images_[path].height();
    }
    void draw_background(litehtml::uint_ptr, const litehtml::background_paint& bg) override
    {
        QRect box(bg.clip_box.x, bg.clip_box.y, bg.clip_box.width, bg.clip_box.height);
        if (bg.color.alpha)
            painter->fillRect(box, QColor(bg.color.red, bg.color.green, bg.color.blue, bg.color.alpha));
        if (!bg.image.empty()) {
            QString path = ResolveFile(bg.image.c_str(), base);
            if (!images_.count(path)) images_[path] = QImage(path);
            painter->drawImage(QRect(bg.position_x, bg.position_y, bg.image_size.width, bg.image_size.height),
                               images_[path]);
        }
    }
    void draw_borders(litehtml::uint_ptr, const litehtml::borders& borders, const litehtml::position& pos,
                      bool) override
    {
        const auto side = [&](const litehtml::border& border, QLine line) {
            if (border.width <= 0 || border.style == litehtml::border_style_none ||
                border.style == litehtml::border_style_hidden)
                return;
            painter->setPen(
                QPen(QColor(border.color.red, border.color.green, border.color.blue), border.width));
            painter->drawLine(line);
        };
        side(borders.top, QLine(pos.x, pos.y, pos.x + pos.width, pos.y));
        side(borders.bottom, QLine(pos.x, pos.y + pos.height, pos.x + pos.width, pos.y + pos.height));
        side(borders.left, QLine(pos.x, pos.y, pos.x, pos.y + pos.height));
        side(borders.right, QLine(pos.x + pos.width, pos.y, pos.x + pos.width, pos.y + pos.height));
    }
    void set_caption(const char*) override {}
    void set_base_url(const char* url) override
    {
        if (url && *url) base = HostFolderOf(ResolveFile(url, base) + "x");
    }
    void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}
    void on_anchor_click(const char*, const litehtml::element::ptr&) override {}
    void set_cursor(const char*) override {}
    void transform_text(litehtml::tstring& text, litehtml::text_transform transform) override
    {
        QString t = QString::fromStdString(text);
        if (transform == litehtml::text_transform_uppercase) text = t.toUpper().toStdString();
        else if (transform == litehtml::text_transform_lowercase) text = t.toLower().toStdString();
    }
    void import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring&) override
    {
        QFile file(ResolveFile(url.c_str(), base));
        if (file.open(QIODevice::ReadOnly)) text = file.readAll().toStdString();
    }
    void set_clip(const litehtml::position&, const litehtml::border_radiuses&, bool, bool) override {}
    void del_clip() override {}
    void get_client_rect(litehtml::position& client) const override
    {
        client.x = client.y = 0;
        client.width = width;
        client.height = height;
    }
    std::shared_ptr<litehtml::element> create_element(const char*, const litehtml::string_map&,
                                                      const std::shared_ptr<litehtml::document>&) override
    {
        return nullptr;
    }
    void get_media_features(litehtml::media_features& media) const override
    {
        media.type = litehtml::media_type_screen;
        media.width = media.device_width = width;
        media.height = media.device_height = height;
        media.color = 8;
        media.resolution = 96;
    }
    void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override
    {
        language = "en";
        culture = "";
    }

private:
    std::vector<std::unique_ptr<QFont>> fonts_;
    std::map<QString, QImage> images_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 6 || arguments[1] != "draw") {
        std::fputs("usage: bench_litehtml_render draw WIDTH HEIGHT OUT_FOLDER PAGE...\n", stderr);
        return 2;
    }
    const int width = arguments[2].toInt();
    const int height = arguments[3].toInt();
    litehtml::context context;
    context.load_master_stylesheet(DefaultStyle);
    int number = 0;
    for (const QString& page : arguments.mid(5)) {
        QElapsedTimer timer;
        timer.start();
        QFile file(page);
        QByteArray utf8;
        if (file.open(QIODevice::ReadOnly)) {
            // litehtml reads no colours from <body> attributes: given the same
            // help kelpra's control gets, and the background too.
            QString html = BrowserDecodePage(file.readAll());
            QString style = BrowserBodyStyle(html);
            static const QRegularExpression background("<body[^>]*\\sbgcolor\\s*=\\s*[\"']?(#?\\w+)",
                                                       QRegularExpression::CaseInsensitiveOption);
            QRegularExpressionMatch match = background.match(html);
            if (match.hasMatch()) style += " body { background-color: " + match.captured(1) + " }";
            utf8 = ("<style>" + style + "</style>" + html).toUtf8();
        }
        Container container;
        container.base = HostFolderOf(page);
        container.width = width;
        container.height = height;
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::TextAntialiasing);
        container.painter = &painter;
        litehtml::document::ptr document =
            litehtml::document::createFromUTF8(utf8.constData(), &container, &context);
        document->render(width);
        litehtml::position clip(0, 0, width, height);
        document->draw(0, 0, 0, &clip);
        painter.end();
        double ms = timer.nsecsElapsed() / 1e6;
        picture.save(arguments[4] + "/" + QString::number(number++) + ".png");
        std::printf("%s\t%.2f\n", page.toLocal8Bit().constData(), ms);
    }
    std::printf("peak KB\t%ld\n", PeakKilobytes());
    return 0;
}
