// Starts Vellumry exactly as the program does and reports the moment its window is first
// painted (CLOCK_MONOTONIC nanoseconds) and its resident memory then, on one line, before
// quitting. Driven by bench_startup.
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "platform/desktop/Application.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    app::frmMain form;
    QObject::connect(&form.Me, &platform::Window::FirstPaint, &form, [] {
        const long long painted = bench::monotonicNanoseconds();
        std::printf("painted %lld %ld\n", painted, bench::residentKiB());
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    });
    form.Show();
    return application.Run();
}
