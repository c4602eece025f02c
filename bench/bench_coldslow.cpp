// Measures the preview rebuild where reading waits on the drive rather than the processor,
// each against a floor measured in the same run on the same folder:
//   - cold: 10,000 notes whose pages were dropped from the page cache before every run
//     (posix_fadvise(POSIX_FADV_DONTNEED) on each note and on the folder; needs no root);
//   - slow: 2,000 notes behind slowfs, a FUSE mirror that answers every request after 1 ms.
// The floor lists the folder and reads the first 4 KiB of each note with 16 threads; the 1- and
// 2-thread floors are printed beside it for reference. The rebuild is the window's CreateItem,
// offscreen, from a full stack of boxes, as in bench_previews. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_coldslow [--root DIR] [--runs 3] [--cold-count 10000]
//       [--slow-count 2000] [--delay-ms 1] [--only cold|slow] [--counts] [--self-check]
// --counts prints how many requests of each kind slowfs served for one floor and for one
// listing and rebuild; --self-check tries the slow drive fixture and measures nothing.
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "platform/desktop/Application.h"
#include "tests/support/SlowDrive.h"

#include <QApplication>
#include <QDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string root {"/tmp/vellumry-bench"};
    int runs {3};
    int coldCount {10000};
    int slowCount {2000};
    int delayMs {1};
    std::string only;
    bool counts {false};
    bool selfCheck {false};
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--root" && hasValue)
            options.root = argv[++i];
        else if (argument == "--runs" && hasValue)
            options.runs = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--cold-count" && hasValue)
            options.coldCount = std::clamp(std::atoi(argv[++i]), 1, 32767);
        else if (argument == "--slow-count" && hasValue)
            options.slowCount = std::clamp(std::atoi(argv[++i]), 1, 32767);
        else if (argument == "--delay-ms" && hasValue)
            options.delayMs = std::max(0, std::atoi(argv[++i]));
        else if (argument == "--only" && hasValue)
            options.only = argv[++i];
        else if (argument == "--counts")
            options.counts = true;
        else if (argument == "--self-check")
            options.selfCheck = true;
        else {
            std::fprintf(stderr, "unknown option %s\n", argument.c_str());
            std::exit(2);
        }
    }
    return options;
}

std::vector<std::string> listNotes(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name[0] != '.' && name.compare(name.size() - 4, 4, ".txt") == 0)
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

// The floor: list the folder, then read the first 4 KiB of every note, opened relative to the
// folder, on `threads` threads that take the notes in list order.
double floorMs(const std::string& folder, int threads)
{
    const long long start = bench::monotonicNanoseconds();
    const std::vector<std::string> names = listNotes(folder);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::atomic<std::size_t> next {0};
    const auto work = [&] {
        char buffer[4096];
        for (std::size_t i = next++; i < names.size(); i = next++) {
            const int fd = ::openat(dir, names[i].c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            if (::read(fd, buffer, sizeof buffer) < 0)
                std::perror(names[i].c_str());
            ::close(fd);
        }
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    ::close(dir);
    return static_cast<double>(bench::monotonicNanoseconds() - start) / 1e6;
}

// Drops the folder's and its notes' pages from the page cache. Pages still dirty are not
// dropped, so the notes are written out once before the first drop.
void dropPages(const std::string& folder)
{
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& name : listNotes(folder)) {
        const int fd = ::openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
    ::posix_fadvise(dir, 0, 0, POSIX_FADV_DONTNEED);
    ::close(dir);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string loadAverage()
{
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five, fifteen;
    loadavg >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

struct Figures {
    std::vector<double> rebuild;
    std::vector<double> floor1;
    std::vector<double> floor2;
    std::vector<double> floor16;
};

// Rebuild and floors alternate run by run; `prepare` runs before each of them (it drops the
// pages for the cold figures).
template<typename Prepare> Figures measure(app::frmMain& form, const std::string& folder, int runs, Prepare prepare)
{
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        prepare();
        figures.floor16.push_back(floorMs(folder, 16));
        prepare();
        const long long start = bench::monotonicNanoseconds();
        form.CreateItem(); // unloads the previous stack, then loads and reads every note
        figures.rebuild.push_back(static_cast<double>(bench::monotonicNanoseconds() - start) / 1e6);
        prepare();
        figures.floor1.push_back(floorMs(folder, 1));
        prepare();
        figures.floor2.push_back(floorMs(folder, 2));
    }
    return figures;
}

void report(const char* what, int count, const Figures& figures)
{
    const double rebuild = median(figures.rebuild);
    const double floor = median(figures.floor16);
    std::printf("%s, %d notes: CreateItem %.1f ms, floor %.1f ms (16 threads; 1 thread %.1f, 2 threads %.1f), "
                "ratio %.2f, target <= 1.3\n",
        what, count, rebuild, floor, median(figures.floor1), median(figures.floor2), rebuild / floor);
    std::printf("  CreateItem runs:");
    for (double value : figures.rebuild)
        std::printf(" %.1f", value);
    std::printf(" ms; 16-thread floor runs:");
    for (double value : figures.floor16)
        std::printf(" %.1f", value);
    std::printf(" ms; load average %s\n", loadAverage().c_str());
    std::fflush(stdout);
}

void openForm(app::frmMain& form, const std::string& folder)
{
    form.Show();
    QApplication::processEvents();
    form.FileList.SetPath(QString::fromStdString(folder));
    form.CreateItem(); // leaves a full stack to unload, as every later rebuild finds
}

void benchCold(const Options& options)
{
    const std::string folder = options.root + "/notes-" + std::to_string(options.coldCount);
    bench::makeNoteFolder(folder, options.coldCount);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::syncfs(dir); // dirty pages are not dropped
    ::close(dir);
    app::frmMain form;
    openForm(form, folder);
    const double warm = floorMs(folder, 1);
    const Figures figures = measure(form, folder, options.runs, [&] { dropPages(folder); });
    std::printf("  (the same 1-thread floor warm: %.1f ms)\n", warm);
    report("cold", options.coldCount, figures);
}

void printCounts(const std::string& source, const Options& options)
{
    {
        std::printf("requests of one 16-thread floor:\n");
        std::fflush(stdout);
        SlowDrive drive(QString::fromStdString(source), {options.delayMs, {}, {QStringLiteral("--counts")}});
        if (drive.isMounted())
            floorMs(drive.path().toStdString(), 16);
    }
    app::frmMain form;
    SlowDrive drive(QString::fromStdString(source), {options.delayMs, {}, {QStringLiteral("--counts")}});
    if (!drive.isMounted())
        return;
    std::printf("requests of the file list's listing and two rebuilds:\n");
    std::fflush(stdout);
    openForm(form, drive.path().toStdString());
    form.CreateItem();
}

void benchSlow(const Options& options)
{
    const std::string source = options.root + "/notes-" + std::to_string(options.slowCount);
    bench::makeNoteFolder(source, options.slowCount);
    app::frmMain form;
    {
        SlowDrive drive(QString::fromStdString(source), {options.delayMs, {}, {}});
        if (!drive.isMounted()) {
            std::printf("slow drive, %d notes: skipped (%s), target <= 1.3 not measured\n", options.slowCount,
                qPrintable(drive.unavailable()));
            return;
        }
        const std::string folder = drive.path().toStdString();
        openForm(form, folder);
        const Figures figures = measure(form, folder, options.runs, [] {});
        char what[64];
        std::snprintf(what, sizeof what, "slow drive (%d ms a request)", options.delayMs);
        report(what, options.slowCount, figures);
        form.FileList.SetPath(QDir::tempPath()); // off the drive before it goes
    }
    if (options.counts)
        printCounts(source, options);
}

// Tries the slow drive as a test would: the mirror lists and reads the notes, a hanging note's
// open does not answer while the drive is up and fails once it goes, and the mount point goes.
int selfCheck(const Options& options)
{
    const std::string source = options.root + "/slowdrive-check";
    bench::makeNoteFolder(source, 3);
    ::close(::open((source + "/stuck.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    int failed = 0;
    const auto check = [&](bool good, const char* what) {
        std::printf("%s: %s\n", good ? "ok" : "FAILED", what);
        failed += good ? 0 : 1;
    };
    check(!SlowDrive(QString::fromStdString(source), {}, QStringLiteral("/nonexistent/slowfs")).isMounted(),
        "a missing binary is reported unavailable");
    std::future<int> stuck;
    QString mountPoint;
    {
        SlowDrive drive(QString::fromStdString(source), {5, {QStringLiteral("stuck.txt")}, {}});
        check(drive.isMounted(), qPrintable(QStringLiteral("the drive mounts (%1)").arg(drive.unavailable())));
        if (!drive.isMounted())
            return 1;
        mountPoint = drive.path();
        const std::string folder = drive.path().toStdString();
        int regular = 0;
        DIR* dir = ::opendir(folder.c_str());
        while (dirent* entry = dir ? ::readdir(dir) : nullptr)
            regular += entry->d_type == DT_REG ? 1 : 0;
        if (dir)
            ::closedir(dir);
        check(regular == 5, "the listing gives every file its kind (3 notes, the marker, the stuck note)");
        std::ifstream mirrored(folder + "/note 00002.txt");
        std::ifstream original(source + "/note 00002.txt");
        const std::string a((std::istreambuf_iterator<char>(mirrored)), {});
        const std::string b((std::istreambuf_iterator<char>(original)), {});
        check(!a.empty() && a == b, "a note reads the same through the drive");
        // Each read pays at least its lookup, open and read.
        const long long start = bench::monotonicNanoseconds();
        for (const char* name : {"/note 00001.txt", "/note 00002.txt", "/note 00003.txt"})
            std::ifstream(folder + name).get();
        check(bench::monotonicNanoseconds() - start >= 3 * 3 * 5 * 1000000LL, "every request waits the delay");
        stuck = std::async(std::launch::async, [folder] {
            const int fd = ::open((folder + "/stuck.txt").c_str(), O_RDONLY | O_CLOEXEC);
            const int error = fd < 0 ? errno : 0;
            if (fd >= 0)
                ::close(fd);
            return error;
        });
        check(stuck.wait_for(std::chrono::milliseconds(500)) == std::future_status::timeout,
            "the stuck note's open does not answer");
    }
    check(stuck.wait_for(std::chrono::seconds(5)) == std::future_status::ready && stuck.get() != 0,
        "the stuck open fails once the drive goes");
    check(!QDir(mountPoint).exists(), "the mount point is removed");
    std::printf("slow drive self-check: %s\n", failed == 0 ? "all good" : "some checks failed");
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    const Options options = parseOptions(argc, argv);
    if (options.selfCheck)
        return selfCheck(options);
    const std::string start = options.root + "/start";
    QDir().mkpath(QString::fromStdString(start));
    QDir::setCurrent(QString::fromStdString(start));
    std::printf("machine: %ld cpus online, load average %s; runs %d, medians\n", sysconf(_SC_NPROCESSORS_ONLN),
        loadAverage().c_str(), options.runs);
    if (options.only.empty() || options.only == "cold")
        benchCold(options);
    if (options.only.empty() || options.only == "slow")
        benchSlow(options);
    return 0;
}
