// Whether Vellumry's memory stays flat over a long session: the same folder of notes rebuilt
// many times, then the splitters dragged back and forth, offscreen:
//   QT_QPA_PLATFORM=offscreen bench_soak [rebuilds [drag-steps [folder-root]]]
// (defaults 500, 10,000 and /tmp/vellumry-soak). A folder of 10,000 notes is made under the
// root on first use. Prints the resident memory after the first rebuild and at the end, and
// exits with 1 when it grew by more than 5 %. Meaningful in the plain build only: the
// sanitizers keep freed memory resident on purpose.
#include "app/frmMain.h"
#include "platform/Application.h"
#include "platform/TextBoxArray.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr double AllowedGrowthPercent = 5.0;

void makeFolder(const std::string& folder, int count)
{
    const std::string marker = folder + "/.complete";
    if (::access(marker.c_str(), F_OK) == 0)
        return;
    std::filesystem::create_directories(folder);
    for (int i = 1; i <= count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/note %05d.txt", i);
        const int fd = ::open((folder + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::string text = "第 " + std::to_string(i) + " 篇笔记 Note number " + std::to_string(i) + "\n\n";
        for (int line = 0; line < 8; ++line)
            text += "  line " + std::to_string(line) + ": 今天的记录，some words of a plain note.\n";
        if (fd < 0 || ::write(fd, text.data(), text.size()) < 0)
            std::perror("write");
        ::close(fd);
    }
    ::close(::open(marker.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
}

// Resident memory in KiB, from the second field of /proc/self/statm.
long residentKiB()
{
    long total = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    if (std::fscanf(statm, "%ld %ld", &total, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

int argument(int argc, char** argv, int index, int fallback)
{
    return argc > index ? std::atoi(argv[index]) : fallback;
}

// Re-reads the folder the window shows and builds its previews anew, as choosing it in the
// directory list again does.
void rebuild(app::frmMain& form)
{
    form.DirList_Change();
    QApplication::processEvents();
}

// One step of a splitter drag. Steps come in cycles of 40: 20 steps of 5 pixels one way and
// 20 back, so each cycle ends where it began and the window is measured at the geometry it
// started with. The cycles take the vertical bar, the horizontal bar and their crossing in
// turn.
void dragStep(app::frmMain& form, int step)
{
    constexpr int Cycle = 40;
    const float delta = (step % Cycle) < Cycle / 2 ? 5.0f : -5.0f;
    switch ((step / Cycle) % 3) {
    case 0:
        form.picVBar_MouseMove(1, 0, 50.0f + delta, 50);
        break;
    case 1:
        form.picHBar_MouseMove(1, 0, 50, 50.0f + delta);
        break;
    default:
        form.PicHV_MouseMove(1, 0, 50.0f + delta, 50.0f + delta);
        break;
    }
    if (step % 50 == 0)
        QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    const int rebuilds = argument(argc, argv, 1, 500);
    const int drags = argument(argc, argv, 2, 10000);
    const std::string root = argc > 3 ? argv[3] : "/tmp/vellumry-soak";
    const std::string folder = root + "/notes-10000";
    makeFolder(folder, 10000);

    QDir::setCurrent(QString::fromStdString(folder));
    app::frmMain form;
    form.Show();
    QApplication::processEvents();
    rebuild(form);
    const long first = residentKiB();
    const std::size_t elements = form.txtPreview.Count();
    std::printf("%d previews; resident after the first rebuild: %ld KiB\n", form.ItemCount, first);

    for (int i = 1; i < rebuilds; ++i)
        rebuild(form);
    const long afterRebuilds = residentKiB();
    // The bars are picked up once and then moved: the first move without a button only
    // notes where the pointer is.
    form.PicHV_MouseMove(0, 0, 50, 50);
    for (int step = 0; step < drags; ++step) {
        dragStep(form, step);
        if (drags >= 10 && (step + 1) % (drags / 10) == 0)
            std::printf("  after %d drag steps: %ld KiB\n", step + 1, residentKiB());
    }
    QApplication::processEvents();
    const long last = residentKiB();

    const double growth = first > 0 ? 100.0 * static_cast<double>(last - first) / static_cast<double>(first) : 0.0;
    std::printf("resident after %d rebuilds: %ld KiB\n", rebuilds, afterRebuilds);
    std::printf("resident after %d drag steps: %ld KiB\n", drags, last);
    std::printf("growth: %.2f %% (allowed %.1f %%); preview boxes %zu -> %zu\n", growth, AllowedGrowthPercent, elements,
        form.txtPreview.Count());
    const bool flat = growth <= AllowedGrowthPercent && form.txtPreview.Count() == elements;
    std::printf("%s\n", flat ? "PASS" : "FAIL");
    return flat ? 0 : 1;
}
