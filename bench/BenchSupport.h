#pragma once

// Helpers the benchmarks share: plain POSIX, so that the floor programs measure nothing of
// Qt's through them.
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

inline long long monotonicNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Resident memory in KiB, from the second field of /proc/self/statm (the figure VmRSS
// shows in /proc/self/status), or -1 when it cannot be read.
inline long residentKiB()
{
    long total = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return -1;
    const bool read = std::fscanf(statm, "%ld %ld", &total, &resident) == 2;
    std::fclose(statm);
    return read ? resident * (::sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// The text of the notes a folder is made of: UTF-8, or the same text in GB18030, which is not
// UTF-8 and so is read through the legacy code page of a Chinese or C locale.
enum class NoteText { Utf8, Gb18030 };

// A folder of `count` notes named "note 00001.txt" and on, each a numbered first line and
// eight lines of mixed Chinese and English. Made once: a marker file records that the
// folder is complete, so later runs read warm files.
inline void makeNoteFolder(const std::string& folder, int count, NoteText encoding = NoteText::Utf8)
{
    const std::string marker = folder + "/.complete";
    if (::access(marker.c_str(), F_OK) == 0)
        return;
    const bool gb18030 = encoding == NoteText::Gb18030;
    const std::string first = gb18030 ? "\xB5\xDA " : "第 "; // then the number
    const std::string title = gb18030 ? " \xC6\xAA\xB1\xCA\xBC\xC7 Note number " : " 篇笔记 Note number ";
    const std::string today = gb18030 ? ": \xBD\xF1\xCC\xEC\xB5\xC4\xBC\xC7\xC2\xBC\xA3\xAC" : ": 今天的记录，";
    std::filesystem::create_directories(folder);
    for (int i = 1; i <= count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/note %05d.txt", i);
        const int fd = ::open((folder + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::string text = first + std::to_string(i) + title + std::to_string(i) + "\n\n";
        for (int line = 0; line < 8; ++line)
            text += "  line " + std::to_string(line) + today + "some words of a plain note.\n";
        if (fd < 0 || ::write(fd, text.data(), text.size()) < 0)
            std::perror("write");
        ::close(fd);
    }
    ::close(::open(marker.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
}

// The processors this process may run on.
inline std::vector<int> allowedProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    std::vector<int> processors;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &set))
                processors.push_back(cpu);
        }
    }
    if (processors.empty())
        processors.push_back(0);
    return processors;
}

// Holds the calling thread on one processor while it lives. A serial loop runs at the speed
// of the processor the scheduler gave it, and on a virtual machine one processor can be much
// slower than another (on ours the one that takes the disk's interrupts reads a folder a third
// slower); held on each in turn, the floor is that of the fastest, whichever one the process
// started on. The rebuild is timed unheld, on every processor it can use.
class HeldOn {
public:
    explicit HeldOn(int processor)
    {
        m_held = sched_getaffinity(0, sizeof m_allowed, &m_allowed) == 0;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(processor, &one);
        m_held = m_held && sched_setaffinity(0, sizeof one, &one) == 0;
    }
    ~HeldOn()
    {
        if (m_held)
            sched_setaffinity(0, sizeof m_allowed, &m_allowed);
    }
    HeldOn(const HeldOn&) = delete;
    HeldOn& operator=(const HeldOn&) = delete;

private:
    cpu_set_t m_allowed {};
    bool m_held {false};
};

} // namespace bench
