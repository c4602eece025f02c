// How Vellumry keeps up with the pointer in a large folder, offscreen, each figure beside its
// target or its floor:
//   QT_QPA_PLATFORM=offscreen bench_interaction [folder-root]
// Folders of 32,767 and 10,000 notes are made under the root on first use.
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "platform/desktop/Application.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Stats {
    double median;
    double p99;
};

Stats stats(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at
        = [&](double q) { return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))]; };
    return {at(0.5), at(0.99)};
}

Stats time(int steps, const std::function<void(int)>& step)
{
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(steps));
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer timer;
        timer.start();
        step(i);
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return stats(samples);
}

double listFloor(const std::string& folder)
{
    QElapsedTimer timer;
    timer.start();
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".txt" ? 1 : 0;
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 + static_cast<double>(count) * 0.0;
}

double readFloor(const std::string& folder, int lines)
{
    QElapsedTimer timer;
    timer.start();
    DIR* dir = ::opendir(folder.c_str());
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name[0] != '.' && name.compare(name.size() - 4, 4, ".txt") == 0)
            names.push_back(name);
    }
    ::closedir(dir);
    char buffer[4096];
    int accepted = 0;
    for (const std::string& name : names) {
        const int fd = ::open((folder + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        ::close(fd);
        for (ssize_t i = 0; i < got && accepted < lines; ++i)
            accepted += buffer[i] == '\n' ? 1 : 0;
        accepted = 0;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void row(const char* what, Stats measured, const char* target)
{
    std::printf("%-46s %9.3f %9.3f   %s\n", what, measured.median, measured.p99, target);
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    const std::string root = argc > 1 ? argv[1] : "/tmp/vellumry-bench";
    const std::string large = root + "/notes-32767";
    const std::string parent = root + "/tree";
    const std::string medium = parent + "/notes-10000";
    bench::makeNoteFolder(large, 32767);
    bench::makeNoteFolder(medium, 10000);

    QDir::setCurrent(QString::fromStdString(large));
    app::frmMain form;
    form.Show();
    QApplication::processEvents();
    std::printf("%d previews listed; medians and 99th percentiles in ms\n", form.ItemCount);
    std::printf("%-46s %9s %9s   %s\n", "step", "median", "p99", "target");

    row("window resize step (Form_Resize + repaint)",
        time(200,
            [&](int i) {
                form.Me.ResizeClient(801.0f + static_cast<float>(i % 40), 506.0f + static_cast<float>(i % 30));
                form.Me.Refresh();
            }),
        "median < 4, p99 < 16");
    form.Me.ResizeClient(801, 506);
    // Where a step's time goes: the handlers alone, then the repaint of an unchanged window.
    row("  of which Form_Resize and the width loop",
        time(200,
            [&](int i) {
                form.Me.ResizeClient(801.0f + static_cast<float>(i % 40), 506.0f + static_cast<float>(i % 30));
            }),
        "");
    row("  of which the window's repaint", time(200, [&](int) { form.Me.Refresh(); }), "");
    form.Me.ResizeClient(801, 506);

    form.picVBar_MouseMove(0, 0, 4, 100);
    row("splitter drag step (picVBar_MouseMove)",
        time(200, [&](int i) { form.picVBar_MouseMove(1, 0, 4.0f + static_cast<float>((i % 2) ? 3 : -3), 100); }),
        "median < 4, p99 < 16");

    row("scroll step, one box (Change + repaint)",
        time(300,
            [&](int i) {
                form.VScroll.SetValue(1000 + (i % 2));
                form.picPreview.widget()->repaint();
            }),
        "median < 2");
    QScrollBar* bar = static_cast<QScrollBar*>(form.VScroll.widget());
    bar->setSliderDown(true);
    row("thumb drag step (Scroll + repaint)",
        time(300,
            [&](int i) {
                bar->setSliderPosition(2000 + i * 37);
                form.picPreview.widget()->repaint();
            }),
        "median < 2");
    bar->setSliderDown(false);

    // Changing folder as a double-click in the directory list does, until painted.
    QDir::setCurrent(QString::fromStdString(parent));
    app::frmMain browser;
    browser.Show();
    QApplication::processEvents();
    std::vector<double> changes;
    std::vector<double> floors;
    for (int run = 0; run < 5; ++run) {
        browser.DirList.SetPath(QString::fromStdString(parent));
        QApplication::processEvents();
        const double floor = listFloor(medium) + readFloor(medium, browser.LinesPerItem);
        QElapsedTimer timer;
        timer.start();
        browser.DirList.SetPath(QString::fromStdString(medium));
        browser.Me.Refresh();
        changes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        floors.push_back(floor);
    }
    const Stats change = stats(changes);
    const Stats floor = stats(floors);
    std::printf("%-46s %9.1f %9.1f   ratio %.2f (target <= 1.30)\n", "folder change to 10,000 notes vs list+read",
        change.median, floor.median, change.median / floor.median);
    return 0;
}
