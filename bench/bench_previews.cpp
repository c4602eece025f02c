// Measures the preview rebuild against its floor: a bare loop that lists a folder and reads
// each file's first lines with plain POSIX calls. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_previews [folder-root]
#include "app/frmMain.h"
#include "platform/Application.h"
#include "platform/TextBoxElement.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

void makeFolder(const std::string& folder, int count)
{
    const std::string marker = folder + "/.complete";
    if (access(marker.c_str(), F_OK) == 0)
        return;
    QDir().mkpath(QString::fromStdString(folder));
    for (int i = 1; i <= count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/note %05d.txt", i);
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::string text = "第 " + std::to_string(i) + " 篇笔记 Note number " + std::to_string(i) + "\n\n";
        for (int line = 0; line < 8; ++line)
            text += "  line " + std::to_string(line) + ": 今天的记录，some words of a plain note.\n";
        if (::write(fd, text.data(), text.size()) < 0)
            std::perror("write");
        ::close(fd);
    }
    ::close(::open(marker.c_str(), O_WRONLY | O_CREAT, 0644));
}

// The floor: list the folder, then read each file's first `lines` non-blank lines.
std::size_t bareReadLoop(const std::string& folder, int lines)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name[0] != '.' && name.compare(name.size() - 4, 4, ".txt") == 0)
            names.push_back(name);
    }
    ::closedir(dir);
    std::size_t accepted = 0;
    char buffer[4096];
    for (const std::string& name : names) {
        const int fd = ::open((folder + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        ::close(fd);
        int found = 0;
        bool blank = true;
        for (ssize_t i = 0; i < got && found < lines; ++i) {
            if (buffer[i] == '\n' || buffer[i] == '\r') {
                found += blank ? 0 : 1;
                blank = true;
            } else if (buffer[i] != ' ') {
                blank = false;
            }
        }
        accepted += static_cast<std::size_t>(found);
    }
    return accepted;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double peakResidentMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    const std::string root = argc > 1 ? argv[1] : "/tmp/vellumry-bench";
    const std::string start = root + "/start";
    QDir().mkpath(QString::fromStdString(start));

    std::printf(
        "%-8s %12s %14s %8s %14s %14s\n", "files", "floor ms", "CreateItem ms", "ratio", "scroll ms", "peak RSS MiB");
    for (int count : {1000, 10000, 32767}) {
        const std::string folder = root + "/notes-" + std::to_string(count);
        makeFolder(folder, count);

        QDir::setCurrent(QString::fromStdString(start));
        app::frmMain form;
        form.Show();
        QApplication::processEvents();
        form.FileList.SetPath(QString::fromStdString(folder));
        form.CreateItem(); // warm the page cache and leave a full stack to unload

        std::vector<double> floors;
        std::vector<double> rebuilds;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer timer;
            timer.start();
            bareReadLoop(folder, form.LinesPerItem);
            floors.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            timer.restart();
            form.CreateItem();
            rebuilds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }

        std::vector<double> steps;
        std::vector<double> handlers;
        for (int step = 0; step < 200; ++step) {
            QElapsedTimer timer;
            timer.start();
            form.VScroll.SetValue((step * 37) % (form.VScroll.Max() + 1));
            handlers.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            form.picPreview.widget()->repaint();
            steps.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        std::fprintf(stderr, "  scroll handler alone: %.3f ms\n", median(handlers));
        const double floor = median(floors);
        const double rebuild = median(rebuilds);
        std::printf("%-8d %12.1f %14.1f %8.2f %14.3f %14.1f\n", count, floor, rebuild, rebuild / floor, median(steps),
            peakResidentMiB());
        std::fflush(stdout);
    }
    return 0;
}
