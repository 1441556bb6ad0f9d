// Opens a QTextBrowser on one page and ends once it has been drawn: what
// showing a help page costs at the least, for comparison with kelpra.
#include <QApplication>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

namespace {

class Browser : public QTextBrowser {
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QTextBrowser::paintEvent(event);
        if (!painted) {
            painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool painted = false;
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
