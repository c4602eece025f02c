// Measures the preview rebuild against its floor, a bare loop that lists a folder and reads
// each file's first lines with plain POSIX calls, and the cost of scrolling the previews.
// Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_previews [--root DIR] [--counts 1000,10000,32767]
//                                            [--runs 5] [--steps 400] [--encoding utf-8|gb18030]
// The floor is timed held on each processor in turn and the fastest counts, since a virtual
// machine's processors can differ widely in speed. The folders are made once under the root
// and kept, so later runs read warm files. With --encoding gb18030 the notes hold the same
// text in GB18030, which is not UTF-8, so each is read through the legacy code page (GB18030
// under a Chinese or C locale); they get folders of their own, notes-gb18030-COUNT.
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/Application.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string root {"/tmp/vellumry-bench"};
    std::vector<int> counts {1000, 10000, 32767};
    int runs {5};
    int steps {400};
    bench::NoteText encoding {bench::NoteText::Utf8};
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--root" && hasValue) {
            options.root = argv[++i];
        } else if (argument == "--counts" && hasValue) {
            options.counts.clear();
            std::string list = argv[++i];
            for (std::size_t at = 0; at <= list.size();) {
                const std::size_t comma = std::min(list.find(',', at), list.size());
                options.counts.push_back(std::clamp(std::atoi(list.substr(at, comma - at).c_str()), 1, 32767));
                at = comma + 1;
            }
        } else if (argument == "--runs" && hasValue) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else if (argument == "--steps" && hasValue) {
            options.steps = std::max(1, std::atoi(argv[++i]));
        } else if (argument == "--encoding" && hasValue && std::string(argv[i + 1]) == "utf-8") {
            options.encoding = bench::NoteText::Utf8;
            ++i;
        } else if (argument == "--encoding" && hasValue && std::string(argv[i + 1]) == "gb18030") {
            options.encoding = bench::NoteText::Gb18030;
            ++i;
        } else if (argument[0] != '-') {
            options.root = argument; // the folder root alone, as earlier versions took it
        } else {
            std::fprintf(stderr, "unknown option %s\n", argument.c_str());
            std::exit(2);
        }
    }
    return options;
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

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

double median(const std::vector<double>& values)
{
    return percentile(values, 0.5);
}

double peakResidentMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double elapsedMs(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Processor time of the process, every thread of it: the rebuild reads on a helper thread
// too, and its time counts. On a shared machine the wall clock also counts the time other
// programs held the processor; this does not. The total is exact; the split between user and
// system mode is the kernel's, sampled at its clock tick, so only roughly right for short runs.
struct CpuTime {
    double total {0};
    double user {0};
    double system {0};
    CpuTime operator-(const CpuTime& other) const
    {
        return {total - other.total, user - other.user, system - other.system};
    }
};

CpuTime processCpu()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& value) {
        return static_cast<double>(value.tv_sec) * 1e3 + static_cast<double>(value.tv_usec) / 1e3;
    };
    return {static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6, ms(usage.ru_utime),
        ms(usage.ru_stime)};
}

CpuTime medianCpu(const std::vector<CpuTime>& values)
{
    std::vector<double> total;
    std::vector<double> user;
    std::vector<double> system;
    for (const CpuTime& value : values) {
        total.push_back(value.total);
        user.push_back(value.user);
        system.push_back(value.system);
    }
    return {median(total), median(user), median(system)};
}

std::string cpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            const auto colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    }
    return "unknown";
}

std::string loadAverage()
{
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five, fifteen;
    loadavg >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void printMachine()
{
    std::printf("machine: %ld cpus online (%s), load average %s, Qt %s, platform %s\n", sysconf(_SC_NPROCESSORS_ONLN),
        cpuModel().c_str(), loadAverage().c_str(), qVersion(), qPrintable(QApplication::platformName()));
}

struct ScrollTimes {
    std::vector<double> handler; // VScroll.SetValue alone
    std::vector<double> step; // SetValue and the synchronous repaint of the viewport
};

// One scroll step as the user sees it: the value changes, the canvas moves, the boxes that
// came into view get their editors, and the viewport is painted before the call returns.
void timeStep(app::frmMain& form, int value, ScrollTimes& times)
{
    QElapsedTimer timer;
    timer.start();
    form.VScroll.SetValue(value);
    times.handler.push_back(elapsedMs(timer));
    form.picPreview.widget()->repaint();
    times.step.push_back(elapsedMs(timer));
}

// Steps by `stride` boxes down the whole list and back up, as a user holding an arrow key or
// paging through would.
ScrollTimes timeSteps(app::frmMain& form, int stride, int steps)
{
    ScrollTimes times;
    const int max = form.VScroll.Max();
    int value = form.VScroll.Value();
    int direction = 1;
    for (int i = 0; i < steps; ++i) {
        if (value + direction * stride > max || value + direction * stride < 0)
            direction = -direction;
        value = std::clamp(value + direction * stride, 0, max);
        timeStep(form, value, times);
    }
    return times;
}

void printScroll(const char* name, const ScrollTimes& times)
{
    std::printf("  %-10s step median %.3f ms, p99 %.3f ms (handler alone: median %.3f ms, p99 %.3f ms)\n", name,
        median(times.step), percentile(times.step, 0.99), median(times.handler), percentile(times.handler, 0.99));
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    const Options options = parseOptions(argc, argv);
    const std::string start = options.root + "/start";
    QDir().mkpath(QString::fromStdString(start));
    printMachine();
    std::printf("runs %d, scroll steps %d per kind; times are medians unless named\n\n", options.runs, options.steps);

    // The notes' encoding ends the header, so that the summary of scripts/bench tells the tables apart.
    std::printf("%-7s %9s %14s %6s %11s %10s %11s %10s %9s%s\n", "files", "floor ms", "CreateItem ms", "ratio",
        "arrow med", "arrow p99", "page med", "page p99", "peak MiB",
        options.encoding == bench::NoteText::Gb18030 ? "  (notes in GB18030)" : "");
    const std::vector<int> processors = bench::allowedProcessors();
    for (int count : options.counts) {
        const bool gb18030 = options.encoding == bench::NoteText::Gb18030;
        const std::string folder = options.root + (gb18030 ? "/notes-gb18030-" : "/notes-") + std::to_string(count);
        bench::makeNoteFolder(folder, count, options.encoding);

        QDir::setCurrent(QString::fromStdString(start));
        app::frmMain form;
        form.Show();
        QApplication::processEvents();
        form.FileList.SetPath(QString::fromStdString(folder));
        form.CreateItem(); // warms the page cache and leaves a full stack to unload

        std::vector<double> floors;
        std::vector<double> rebuilds;
        std::vector<CpuTime> floorCpu;
        std::vector<CpuTime> rebuildCpu;
        std::vector<std::vector<double>> floorsByProcessor(processors.size());
        for (int run = 0; run < options.runs; ++run) {
            // The floor runs once held on each processor, and the fastest counts.
            double floor = 0;
            CpuTime floorTime;
            for (std::size_t p = 0; p < processors.size(); ++p) {
                const bench::HeldOn held(processors[p]);
                QElapsedTimer timer;
                timer.start();
                const CpuTime cpu = processCpu();
                bareReadLoop(folder, form.LinesPerItem);
                const double elapsed = elapsedMs(timer);
                floorsByProcessor[p].push_back(elapsed);
                if (p == 0 || elapsed < floor) {
                    floor = elapsed;
                    floorTime = processCpu() - cpu;
                }
            }
            floors.push_back(floor);
            floorCpu.push_back(floorTime);
            QElapsedTimer timer;
            timer.start();
            const CpuTime cpu = processCpu();
            form.CreateItem(); // unloads the previous stack, then loads and reads every file
            rebuilds.push_back(elapsedMs(timer));
            rebuildCpu.push_back(processCpu() - cpu);
        }

        form.VScroll.SetValue(form.VScroll.Max() / 2);
        form.picPreview.widget()->repaint();
        const ScrollTimes arrow = timeSteps(form, form.VScroll.SmallChange(), options.steps);
        const ScrollTimes page = timeSteps(form, form.VScroll.LargeChange(), options.steps);

        const double floor = median(floors);
        const double rebuild = median(rebuilds);
        std::printf("%-7d %9.1f %14.1f %6.2f %11.3f %10.3f %11.3f %10.3f %9.1f\n", count, floor, rebuild,
            rebuild / floor, median(arrow.step), percentile(arrow.step, 0.99), median(page.step),
            percentile(page.step, 0.99), peakResidentMiB());
        printScroll("arrow", arrow);
        printScroll("page", page);
        std::printf("  floor held on each processor:");
        for (std::size_t p = 0; p < processors.size(); ++p)
            std::printf(" %d: %.1f ms", processors[p], median(floorsByProcessor[p]));
        std::printf("\n");
        std::printf("  floor min %.1f ms, CreateItem min %.1f ms, ratio of minima %.2f\n",
            *std::min_element(floors.begin(), floors.end()), *std::min_element(rebuilds.begin(), rebuilds.end()),
            *std::min_element(rebuilds.begin(), rebuilds.end()) / *std::min_element(floors.begin(), floors.end()));
        const CpuTime floorTime = medianCpu(floorCpu);
        const CpuTime rebuildTime = medianCpu(rebuildCpu);
        std::printf("  processor time: floor %.1f ms (user %.0f, system %.0f), CreateItem %.1f ms (user %.0f, system "
                    "%.0f), ratio %.2f\n",
            floorTime.total, floorTime.user, floorTime.system, rebuildTime.total, rebuildTime.user, rebuildTime.system,
            rebuildTime.total / floorTime.total);
        std::fflush(stdout);
    }
    return 0;
}
