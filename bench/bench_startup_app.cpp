// Starts Vellumry exactly as the program does and reports the moment its window is first
// painted (CLOCK_MONOTONIC nanoseconds) and its resident memory then, on one line, before
// quitting. Driven by bench_startup.
#include "app/frmMain.h"
#include "platform/Application.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

long long monotonicNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    app::frmMain form;
    QObject::connect(&form.Me, &platform::Window::FirstPaint, &form, [] {
        const long long painted = monotonicNanoseconds();
        std::printf("painted %lld %ld\n", painted, residentKiB());
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    });
    form.Show();
    return application.Run();
}
