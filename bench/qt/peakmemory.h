// Peak memory of this process, as the rendering benchmarks report it.
#pragma once

#include <QByteArray>
#include <QFile>

// Kilobytes, from Linux's VmHWM; -1 where the kernel does not say.
inline long PeakKilobytes()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
