// Opens a QTextBrowser on one page and ends once it has been drawn: what
// showing a help page costs at the least, for comparison with kelpra.
#include <QApplication>
#include <QTextBrowser>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

namespace {

class Browser : public QTextBrowser {
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QTextBrowser::paintEvent(event);
        // Ends where kelpra ends with KELPRA_EXIT_AFTER_FIRST_PAGE=1.
        std::fflush(nullptr);
        std::_Exit(0);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    Browser browser;
    browser.resize(500, 300);
    browser.setSource(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    browser.show();
    return app.exec();
}
