// Start-up against its floor, on a real X server (run it with DISPLAY set, e.g. under Xvfb):
//   bench_startup <bench-binary-folder> <sample-folder> <large-folder>
// Each program is started many times, alternating, from process start to its first painted
// frame; medians are reported with the resident memory at that moment.
#include "bench/BenchSupport.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double milliseconds;
    double residentMiB;
};

Sample startOnce(const std::string& program, const std::string& folder)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {-1, -1};
    const long long started = bench::monotonicNanoseconds();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    long long painted = 0;
    long resident = 0;
    if (std::sscanf(output.c_str(), "painted %lld %ld", &painted, &resident) != 2)
        return {-1, -1};
    return {static_cast<double>(painted - started) / 1e6, static_cast<double>(resident) / 1024.0};
}

// The bare read loop: list the folder and read each note's first lines with plain calls.
double bareReadLoop(const std::string& folder)
{
    const long long started = bench::monotonicNanoseconds();
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return -1;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name[0] != '.' && name.compare(name.size() - 4, 4, ".txt") == 0)
            names.push_back(name);
    }
    closedir(dir);
    char buffer[4096];
    for (const std::string& name : names) {
        const int fd = open((folder + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (read(fd, buffer, sizeof buffer) < 0)
            std::perror("read");
        close(fd);
    }
    return static_cast<double>(bench::monotonicNanoseconds() - started) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

struct Result {
    double milliseconds;
    double residentMiB;
};

Result measure(const std::string& program, const std::string& folder, int runs)
{
    std::vector<double> times;
    std::vector<double> memory;
    for (int run = 0; run < runs; ++run) {
        const Sample sample = startOnce(program, folder);
        if (sample.milliseconds < 0)
            continue;
        times.push_back(sample.milliseconds);
        memory.push_back(sample.residentMiB);
    }
    return {median(times), median(memory)};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <bench-binary-folder> <sample-folder> <large-folder>\n", argv[0]);
        return 2;
    }
    // The programs start in other folders, so their paths must not be relative.
    char resolved[4096];
    const std::string bin = realpath(argv[1], resolved) ? resolved : argv[1];
    const std::string sample = argv[2];
    const std::string large = argv[3];
    const std::string app = bin + "/bench_startup_app";
    const std::string floor = bin + "/bench_startup_floor";
    constexpr int Runs = 15;

    startOnce(app, sample); // warm the caches
    startOnce(floor, sample);
    const Result floorSample = measure(floor, sample, Runs);
    const Result appSample = measure(app, sample, Runs);
    startOnce(app, large);
    std::vector<double> reads;
    for (int run = 0; run < 5; ++run)
        reads.push_back(bareReadLoop(large));
    const double read = median(reads);
    const Result appLarge = measure(app, large, 7);

    std::printf("%-44s %10s %10s %8s %8s\n", "start-up to first paint", "measured", "floor", "ratio", "target");
    std::printf("%-44s %8.1fms %8.1fms %8.2f %8s\n", "sample notes", appSample.milliseconds, floorSample.milliseconds,
        appSample.milliseconds / floorSample.milliseconds, "<= 1.30");
    const double largeFloor = floorSample.milliseconds + 2.6 * read;
    std::printf("%-44s %8.1fms %8.1fms %8.2f %8s\n", "10,000 notes (floor + 2.6 x read loop)", appLarge.milliseconds,
        largeFloor, appLarge.milliseconds / largeFloor, "<= 1.00");
    std::printf("%-44s %7.1fMiB %7.1fMiB %8.2f %8s\n", "resident memory after start-up, sample notes",
        appSample.residentMiB, floorSample.residentMiB, appSample.residentMiB / floorSample.residentMiB, "<= 1.30");
    std::printf("%-44s %7.1fMiB\n", "resident memory after start-up, 10,000 notes", appLarge.residentMiB);
    std::printf("(bare read loop over the 10,000 notes: %.1f ms)\n", read);
    return 0;
}
