// Draws help pages the way kelpra's browser control draws them, for the
// rendering comparison (bench/rendering.sh), and compares two drawings.
//
//   bench_render draw WIDTH HEIGHT OUT_FOLDER PAGE...
//       each page's top WIDTH x HEIGHT, as OUT_FOLDER/<n>.png; prints the
//       milliseconds from the page's bytes to its picture, then the peak
//       memory of the process in KB ("peak KB").
//   bench_render compare A.png B.png
//       the mean difference of the two pictures in grey, 0 (the same) to
//       100, at a resolution where the same text in other fonts looks alike,
//       and whether their background colours agree.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "runtime/hostpath.h"
#include "runtime/qt/helpview.h"
#include "peakmemory.h"

namespace {

int Draw(int width, int height, const QString& out, const QStringList& pages)
{
    int number = 0;
    for (const QString& page : pages) {
        QElapsedTimer timer;
        timer.start();
        HelpView view(nullptr);
        view.setFrameStyle(0);
        // As Chromium's screenshots are taken: the page alone, no scroll bars.
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(width, height);
        view.Navigate(WindowsPathFromHost(QFile::encodeName(page).toStdString()));
        view.ShowPending();
        view.show();
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        view.viewport()->render(&picture);
        double ms = timer.nsecsElapsed() / 1e6;
        picture.save(out + "/" + QString::number(number++) + ".png");
        std::printf("%s\t%.2f\n", page.toLocal8Bit().constData(), ms);
    }
    std::printf("peak KB\t%ld\n", PeakKilobytes());
    return 0;
}

// The colour most pixels have.
QRgb Background(const QImage& image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) counts[image.pixel(x, y) & 0xFFFFFF] += 1;
    QRgb best = 0;
    int most = -1;
    for (const auto& [colour, count] : counts)
        if (count > most) best = colour, most = count;
    return best;
}

int Compare(const QString& a, const QString& b)
{
    QImage first(a), second(b);
    if (first.isNull() || second.isNull()) return 2;
    const QSize small(first.width() / 8, first.height() / 8);
    QImage x = first.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_Grayscale8);
    QImage y = second.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int row = 0; row < small.height(); ++row)
        for (int column = 0; column < small.width(); ++column)
            sum += std::abs(qGray(x.pixel(column, row)) - qGray(y.pixel(column, row)));
    const double difference = 100.0 * sum / (255.0 * small.width() * small.height());
    const bool sameBackground = Background(first) == Background(second);
    std::printf("%.2f\t%s\n", difference, sameBackground ? "same-background" : "other-background");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 6 && arguments[1] == "draw")
        return Draw(arguments[2].toInt(), arguments[3].toInt(), arguments[4], arguments.mid(5));
    if (arguments.size() == 4 && arguments[1] == "compare") return Compare(arguments[2], arguments[3]);
    std::fputs("usage: bench_render draw WIDTH HEIGHT OUT_FOLDER PAGE... | compare A.png B.png\n", stderr);
    return 2;
}
