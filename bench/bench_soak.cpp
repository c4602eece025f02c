// Whether Vellumry's memory stays flat over a long session: the same folder of notes rebuilt
// many times, then the splitters dragged back and forth, offscreen:
//   QT_QPA_PLATFORM=offscreen bench_soak [rebuilds [drag-steps [folder-root]]]
// (defaults 500, 10,000 and /tmp/vellumry-soak). A folder of 10,000 notes is made under the
// root on first use. Prints the resident memory after the first rebuild and at the end, and
// exits with 1 when it grew by more than 5 %. Meaningful in the plain build only: the
// sanitizers keep freed memory resident on purpose.
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/desktop/Application.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr double AllowedGrowthPercent = 5.0;

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
    bench::makeNoteFolder(folder, 10000);

    QDir::setCurrent(QString::fromStdString(folder));
    app::frmMain form;
    form.Show();
    QApplication::processEvents();
    rebuild(form);
    const long first = bench::residentKiB();
    const std::size_t elements = form.txtPreview.Count();
    std::printf("%d previews; resident after the first rebuild: %ld KiB\n", form.ItemCount, first);

    for (int i = 1; i < rebuilds; ++i)
        rebuild(form);
    const long afterRebuilds = bench::residentKiB();
    // The bars are picked up once and then moved: the first move without a button only
    // notes where the pointer is.
    form.PicHV_MouseMove(0, 0, 50, 50);
    for (int step = 0; step < drags; ++step) {
        dragStep(form, step);
        if (drags >= 10 && (step + 1) % (drags / 10) == 0)
            std::printf("  after %d drag steps: %ld KiB\n", step + 1, bench::residentKiB());
    }
    QApplication::processEvents();
    const long last = bench::residentKiB();

    const double growth = first > 0 ? 100.0 * static_cast<double>(last - first) / static_cast<double>(first) : 0.0;
    std::printf("resident after %d rebuilds: %ld KiB\n", rebuilds, afterRebuilds);
    std::printf("resident after %d drag steps: %ld KiB\n", drags, last);
    std::printf("growth: %.2f %% (allowed %.1f %%); preview boxes %zu -> %zu\n", growth, AllowedGrowthPercent, elements,
        form.txtPreview.Count());
    const bool flat = growth <= AllowedGrowthPercent && form.txtPreview.Count() == elements;
    std::printf("%s\n", flat ? "PASS" : "FAIL");
    return flat ? 0 : 1;
}
