// Addresses, link targets and page bytes as the Qt browser control sees
// them. Pure text work, so it can be checked without a window.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

#include "runtime/links.h"

// The page's text: a charset named in the page wins; otherwise UTF-8 when the
// bytes are valid UTF-8, else Windows-1252 (what old help pages are).
QString BrowserDecodePage(const QByteArray& bytes);

// The page's HTML as Qt's reader should get it to draw what a web browser
// draws: a <br> that ends the last line before a block (a paragraph, a
// rule, a table, the end of a cell) is dropped, as it starts no line of its
// own in a browser, where Qt would draw an empty one.
QString BrowserPrepareHtml(const QString& html);

// The colours an old page gives in its <body> tag (text=, link=), which Qt's
// HTML reader leaves out, as a style sheet for the page.
QString BrowserBodyStyle(const QString& html);

// One byte text of the program (UTF-8 when valid, else Windows-1252) for Qt.
QString QtTextFromBytes(const std::string& bytes);
