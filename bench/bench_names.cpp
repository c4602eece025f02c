// How quickly a large folder's names are listed in the order of the user's locale, and found
// by typing, offscreen, each figure beside its floor or target:
//   QT_QPA_PLATFORM=offscreen bench_names [folder-root]
// A folder of 32,767 empty notes, half of them with Chinese names, is made under the root on
// first use. The floor of the listing is the same listing sorted in the natural order the
// lists kept before they followed the locale (bench/FormerNaturalOrder.h).
#include "bench/BenchSupport.h"
#include "bench/FormerNaturalOrder.h"
#include "platform/controls/FileListBox.h"
#include "platform/controls/Window.h"
#include "platform/desktop/Application.h"
#include "platform/files/FolderScanner.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/NameOrder.h"
#include "platform/names/NamePattern.h"
#include "platform/names/NativePath.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Words of the notes' names: what a folder of meeting notes, diaries and reports holds.
const char* const ChineseWords[] {"会议纪要", "读书笔记", "工作日志", "周报", "月度总结", "项目计划", "合同", "发票",
    "旅行", "菜谱", "课程", "作业", "备忘录", "银行流水", "重庆", "长城", "张三", "章节", "朝阳", "音乐", "说明",
    "和平", "行业报告", "数据"};
const char* const LatinWords[] {"Meeting", "Report", "notes", "Budget", "draft", "Invoice", "Travel", "recipe",
    "Course", "homework", "memo", "Plan"};

void makeNameFolder(const std::string& folder, int count)
{
    const std::string marker = folder + "/.complete";
    if (::access(marker.c_str(), F_OK) == 0)
        return;
    std::filesystem::create_directories(folder);
    constexpr int Chinese = sizeof ChineseWords / sizeof *ChineseWords;
    constexpr int Latin = sizeof LatinWords / sizeof *LatinWords;
    // Every other name Chinese; each half takes its words in turn, two to a name.
    for (int i = 0; i < count; ++i) {
        char name[128];
        const int k = i / 2;
        if (i % 2)
            std::snprintf(name, sizeof name, "%s%s %d-%d.txt", ChineseWords[k % Chinese],
                ChineseWords[(k / Chinese) % Chinese], k % 1000, k / 1000);
        else
            std::snprintf(name, sizeof name, "%s %s %d-%d.txt", LatinWords[k % Latin], LatinWords[(k / Latin) % Latin],
                k % 1000, k / 1000);
        ::close(::open((folder + '/' + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    }
    ::close(::open(marker.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
}

// The listing as FolderScanner::ListFiles makes it, sorted in the former natural order. Every
// name of the folder is UTF-8, so the judging of a folder's legacy names is left out.
QStringList formerListing(const std::string& folder)
{
    const platform::NamePattern pattern(QStringLiteral("*.txt"));
    const char* const codePage = platform::LegacyCodePage::Name();
    QStringList names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView bytes(entry->d_name);
        if (entry->d_name[0] == '.' || !platform::NativePath::IsUtf8(bytes))
            continue;
        QString name = platform::NativePath::DecodeName(bytes, codePage);
        if (pattern.Matches(name) && entry->d_type == DT_REG)
            names.append(std::move(name));
    }
    ::closedir(dir);
    bench::FormerNaturalOrder::Sort(names);
    if (names.size() > platform::FolderScanner::MaxFiles)
        names.resize(platform::FolderScanner::MaxFiles);
    return names;
}

double milliseconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double processCpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
}

void press(QWidget* view, QChar key)
{
    QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
    QApplication::sendEvent(view, &event);
}

// The initials of the pinyin of the names' first words, and of their Latin words, as a user types
// them to find a note; and some that no name begins with, each of which looks at every name.
const char* const Typed[] {"hyjy", "dsbj", "gzrz", "zb", "ydzj", "xmjh", "ht", "fp", "lx", "cp", "kc", "zy", "bwl",
    "yhls", "cq", "cc", "zs", "zj", "cy", "yy", "sm", "hp", "hybg", "sj", "Meet", "Rep", "note", "Bud", "dra", "Inv",
    "xq", "qqq", "Zebra", "vvv"};

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    const std::string root = argc > 1 ? argv[1] : "/tmp/vellumry-bench";
    const std::string folder = root + "/names-32767";
    makeNameFolder(folder, 32767);
    const QString path = QString::fromStdString(folder);

    // Each listing is timed by the wall clock and by the processor time of this process (the
    // sort keys of a large folder are made on two threads), which leaves out the time other
    // programs held the processor: on a shared machine the wall clock's ratio swings with
    // their load. Which of the two goes first alternates.
    std::vector<double> listed;
    std::vector<double> floors;
    std::vector<double> listedCpu;
    std::vector<double> floorsCpu;
    std::vector<double> sorted;
    std::vector<double> sortFloors;
    QStringList names;
    const auto timeListing = [&](std::vector<double>& wall, std::vector<double>& cpu, auto list) {
        const double before = processCpuMilliseconds();
        wall.push_back(milliseconds([&] { names = list(); }));
        cpu.push_back(processCpuMilliseconds() - before);
    };
    const auto former = [&] { return formerListing(folder); };
    const auto now = [&] {
        QList<platform::FolderScanner::Link> links;
        return platform::FolderScanner::ListFiles(path, QStringLiteral("*.txt"), links);
    };
    for (int run = 0; run < 9; ++run) {
        if (run % 2) {
            timeListing(floors, floorsCpu, former);
            timeListing(listed, listedCpu, now);
        } else {
            timeListing(listed, listedCpu, now);
            timeListing(floors, floorsCpu, former);
        }
        QStringList copy = names;
        std::reverse(copy.begin(), copy.end());
        QStringList again = copy;
        sortFloors.push_back(milliseconds([&] { bench::FormerNaturalOrder::Sort(again); }));
        sorted.push_back(milliseconds([&] {
            platform::NameOrder order;
            for (const QString& name : copy)
                order.Add(name);
            copy = order.Sorted();
        }));
    }
    std::printf("%lld names listed, half of them Chinese; medians of 9 runs in ms, collation %s\n",
        static_cast<long long>(names.size()), platform::NameLocale::OfProcess().collation.constData());
    std::printf("%-46s %9.1f %9.1f   ratio %.2f (target <= 1.30)\n", "list and sort 32,767 names vs natural order",
        median(listed), median(floors), median(listed) / median(floors));
    std::printf("%-46s %9.1f %9.1f   ratio %.2f\n", "  the same in processor time", median(listedCpu),
        median(floorsCpu), median(listedCpu) / median(floorsCpu));
    std::printf("%-46s %9.1f %9.1f   ratio %.2f\n", "  of which the sort alone vs natural order", median(sorted),
        median(sortFloors), median(sorted) / median(sortFloors));

    // Typing into the file list: each keystroke from the key's arrival until the list has
    // selected and repainted. Assigning the path again, between two names typed, reads the
    // folder afresh and starts a new search, as the pause between two names would; the window
    // is then idle for a moment, as it is while the user reads the new list.
    // The list as large as the window's file list when it opens.
    platform::Window form(300, 300);
    platform::FileListBox list(form);
    list.Move(0, 0, 201, 232);
    list.SetPattern(QStringLiteral("*.txt"));
    form.Show();
    QApplication::processEvents();
    std::vector<double> keystrokes;
    std::vector<double> keys;
    int found = 0;
    for (int round = 0; round < 4; ++round) {
        for (const char* typed : Typed) {
            list.SetPath(path);
            QApplication::processEvents();
            for (const char* key = typed; *key; ++key) {
                QElapsedTimer timer;
                timer.start();
                press(list.widget(), QChar::fromLatin1(*key));
                keys.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
                list.widget()->repaint();
                keystrokes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            }
            found += list.ListIndex() >= 0 ? 1 : 0;
        }
    }
    std::printf("%-46s %9.2f %9.2f   p99 target < 16 (%zu keystrokes, %d of %zu names found)\n",
        "type-to-find keystroke, 32,767 names: median, p99", median(keystrokes), percentile(keystrokes, 0.99),
        keystrokes.size(), found, 4 * (sizeof Typed / sizeof *Typed));
    std::printf(
        "%-46s %9.2f %9.2f\n", "  of which finding and selecting, without paint", median(keys), percentile(keys, 0.99));
    return 0;
}
