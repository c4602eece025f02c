// slowfs: a read-only FUSE mirror of a folder that answers every request after a fixed delay,
// as a file server across a network does. It stands in for a NAS or an sshfs share in the
// benchmarks and in the tests of what the window does with a slow or a dead drive.
//
//   slowfs [--delay-ms N] [--threads N] [--hang NAME]... [--hang-in NAME]... [--stall-file FILE]
//          [--stall-after-opens N] [--type TYPE] [--counts] SOURCE MOUNTPOINT
//
// Every lookup (the status of a path), open, read, release, directory open, listing batch,
// directory release and status of the file system (statfs) waits N milliseconds (1 by default)
// before it is served, on as many request
// threads as the kernel keeps busy (64 by default), so requests overlap as they do on a server.
// Nothing is cached by the kernel between two requests: names and attributes expire at once
// and a file's pages are dropped whenever it is opened, so every run of a benchmark pays every
// request again, as close-to-open consistency makes a network file system do. A listing
// carries each entry's kind and attributes with it (READDIRPLUS), as NFS and SMB listings do.
//
// A file named by --hang is listed and has a status, but its open and read never answer, and
// so does the listing of a folder so named: the request waits until slowfs is told to stop
// (SIGTERM, SIGINT, or the mount going away), then fails with EIO; one whose process is killed
// or exits meanwhile fails with EINTR at once, as on NFS and SMB. --hang-in NAME does the same to
// the opens and reads of every file in a folder so named, whose listing still answers: a folder
// of notes that never open. Stop slowfs with SIGTERM or `fusermount3 -u MOUNTPOINT`; while a
// request hangs, only a lazy unmount (`fusermount3 -uz`) detaches the mount, and the hung request
// is released when slowfs ends.
//
// The whole drive can stop answering for a while, as a server does that reboots or a network
// that hands over: while FILE (--stall-file) exists, every request waits before it is served, and
// the requests waiting go on as soon as FILE is removed (or fail as a hanging one does when slowfs
// stops or the process goes). A test makes and removes FILE at the moment it chooses;
// --stall-after-opens N makes slowfs create FILE itself when it serves its Nth open, so that a
// pause can begin in the middle of a rebuild that the test cannot interrupt.
//
// --type TYPE makes the mount table show the file system as fuse.TYPE (fuse.sshfs, say, so that
// the program takes it for a network drive); slowfs by default. --counts prints how many requests
// of each kind were served when slowfs ends. It runs in the foreground.
#define FUSE_USE_VERSION 314
#include <fuse.h>
#include <fuse_lowlevel.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>

namespace {

enum Kind { Lookup, Open, Read, Release, OpenDir, ReadDir, ReleaseDir, StatFs, KindCount };
const char* const kindNames[KindCount]
    = {"lookup", "open", "read", "release", "opendir", "readdir", "releasedir", "statfs"};

struct Settings {
    int delayMs {1};
    int threads {64};
    bool counts {false};
    std::set<std::string> hang;
    std::set<std::string> hangIn;
    std::string stallFile;
    long stallAfterOpens {0};
    std::string type {"slowfs"};
    std::string source;
    std::string mountPoint;
};

Settings settings;
int sourceFd = -1;
std::atomic<long> served[KindCount];

// The path FUSE gives ("/a/b") relative to the source folder ("a/b", or "." for the root).
std::string relative(const char* path)
{
    return path[1] == '\0' ? std::string(".") : std::string(path + 1);
}

bool hangs(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return settings.hang.count(slash ? slash + 1 : path) != 0;
}

// Whether a file's open and read never answer: named by --hang, or in a folder named by --hang-in.
bool fileHangs(const char* path)
{
    if (hangs(path))
        return true;
    const char* slash = std::strrchr(path, '/');
    if (!slash || slash == path)
        return false;
    // The folder holding the file: the component before the last.
    const std::string folder(path, static_cast<std::size_t>(slash - path));
    const std::size_t start = folder.rfind('/');
    return settings.hangIn.count(folder.substr(start == std::string::npos ? 0 : start + 1)) != 0;
}

// A request for a hanging file waits here until slowfs is told to stop, or until the process
// that made it is killed or exits: the kernel's own network clients (NFS, SMB) let a fatal
// signal end a wait for a server that stopped answering, and so does this one. The kernel
// then interrupts the request (config->intr): the library sends the thread serving it SIGUSR1,
// which must not end slowfs, and the request fails with EINTR.
int hangUntilStopped()
{
    fuse_session* session = fuse_get_session(fuse_get_context()->fuse);
    while (!fuse_session_exited(session)) {
        if (fuse_interrupted())
            return -EINTR;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -EIO;
}

bool stalled()
{
    return !settings.stallFile.empty() && ::access(settings.stallFile.c_str(), F_OK) == 0;
}

// Waits while the drive is stalled; 0 once it answers again, else what a hanging request gets.
int waitWhileStalled()
{
    if (!stalled())
        return 0;
    fuse_session* session = fuse_get_session(fuse_get_context()->fuse);
    while (stalled()) {
        if (fuse_interrupted())
            return -EINTR;
        if (fuse_session_exited(session))
            return -EIO;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

// Every request pays the delay once, before it does its work, and waits out a stall first.
int answerLater(Kind kind)
{
    served[kind].fetch_add(1, std::memory_order_relaxed);
    if (const int failed = waitWhileStalled())
        return failed;
    std::this_thread::sleep_for(std::chrono::milliseconds(settings.delayMs));
    return 0;
}

// The Nth open starts the stall that --stall-after-opens asks for.
void countOpen()
{
    static std::atomic<long> opens {0};
    if (settings.stallAfterOpens > 0 && opens.fetch_add(1) + 1 == settings.stallAfterOpens)
        ::close(::open(settings.stallFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
}

void* init(fuse_conn_info* connection, fuse_config* config)
{
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->use_ino = 1;
    config->kernel_cache = 0;
    config->intr = 1; // a hanging request learns that its process has gone
    // Listings always carry the attributes, not only when the kernel guesses they will be used.
    connection->want |= FUSE_CAP_READDIRPLUS;
    connection->want &= ~FUSE_CAP_READDIRPLUS_AUTO;
    connection->max_background = static_cast<unsigned>(std::min(settings.threads, 0xffff));
    return nullptr;
}

int getattr(const char* path, struct stat* status, fuse_file_info*)
{
    if (const int failed = answerLater(Lookup))
        return failed;
    return ::fstatat(sourceFd, relative(path).c_str(), status, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : -errno;
}

int readlink(const char* path, char* buffer, size_t size)
{
    if (const int failed = answerLater(Lookup))
        return failed;
    const ssize_t length = ::readlinkat(sourceFd, relative(path).c_str(), buffer, size - 1);
    if (length < 0)
        return -errno;
    buffer[length] = '\0';
    return 0;
}

int open(const char* path, fuse_file_info* file)
{
    if (const int failed = answerLater(Open))
        return failed;
    countOpen();
    if ((file->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    if (fileHangs(path))
        return hangUntilStopped();
    const int fd = ::openat(sourceFd, relative(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return -errno;
    file->fh = static_cast<uint64_t>(fd);
    file->keep_cache = 0;
    return 0;
}

int read(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info* file)
{
    if (const int failed = answerLater(Read))
        return failed;
    if (fileHangs(path))
        return hangUntilStopped();
    const ssize_t got = ::pread(static_cast<int>(file->fh), buffer, size, offset);
    return got < 0 ? -errno : static_cast<int>(got);
}

int release(const char*, fuse_file_info* file)
{
    // The descriptor is closed whatever the wait ends with, or it would stay open for good.
    static_cast<void>(answerLater(Release));
    ::close(static_cast<int>(file->fh));
    return 0;
}

int opendir(const char* path, fuse_file_info* file)
{
    if (const int failed = answerLater(OpenDir))
        return failed;
    if (hangs(path))
        return hangUntilStopped();
    const int fd = ::openat(sourceFd, relative(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        return -error;
    }
    file->fh = reinterpret_cast<uint64_t>(dir);
    return 0;
}

// One batch of a listing: the entries from `offset` on, as many as the kernel's buffer takes,
// each with its attributes.
int readdir(const char*, void* buffer, fuse_fill_dir_t fill, off_t offset, fuse_file_info* file, fuse_readdir_flags)
{
    if (const int failed = answerLater(ReadDir))
        return failed;
    DIR* dir = reinterpret_cast<DIR*>(file->fh);
    ::seekdir(dir, offset);
    while (dirent* entry = ::readdir(dir)) {
        struct stat status { };
        if (::fstatat(::dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            status.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &status, ::telldir(dir), FUSE_FILL_DIR_PLUS) != 0)
            break;
    }
    return 0;
}

int statfs(const char*, struct statvfs* status)
{
    if (const int failed = answerLater(StatFs))
        return failed;
    return ::fstatvfs(sourceFd, status) == 0 ? 0 : -errno;
}

int releasedir(const char*, fuse_file_info* file)
{
    static_cast<void>(answerLater(ReleaseDir));
    ::closedir(reinterpret_cast<DIR*>(file->fh));
    return 0;
}

[[noreturn]] void usage()
{
    std::fprintf(stderr,
        "usage: slowfs [--delay-ms N] [--threads N] [--hang NAME]... [--hang-in NAME]... [--stall-file FILE]\n"
        "              [--stall-after-opens N] [--type TYPE] [--counts] SOURCE MOUNTPOINT\n");
    std::exit(2);
}

void parse(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--delay-ms" && hasValue)
            settings.delayMs = std::max(0, std::atoi(argv[++i]));
        else if (argument == "--threads" && hasValue)
            settings.threads = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--hang" && hasValue)
            settings.hang.insert(argv[++i]);
        else if (argument == "--hang-in" && hasValue)
            settings.hangIn.insert(argv[++i]);
        else if (argument == "--stall-file" && hasValue)
            settings.stallFile = argv[++i];
        else if (argument == "--stall-after-opens" && hasValue)
            settings.stallAfterOpens = std::max(0L, std::atol(argv[++i]));
        else if (argument == "--type" && hasValue)
            settings.type = argv[++i];
        else if (argument == "--counts")
            settings.counts = true;
        else if (argument[0] == '-' || !settings.mountPoint.empty())
            usage();
        else if (settings.source.empty())
            settings.source = argument;
        else
            settings.mountPoint = argument;
    }
    if (settings.mountPoint.empty() || (settings.stallAfterOpens > 0 && settings.stallFile.empty()))
        usage();
}

} // namespace

int main(int argc, char** argv)
{
    parse(argc, argv);
    sourceFd = ::open(settings.source.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (sourceFd < 0) {
        std::perror(settings.source.c_str());
        return 1;
    }
    fuse_operations operations {};
    operations.init = init;
    operations.getattr = getattr;
    operations.readlink = readlink;
    operations.open = open;
    operations.read = read;
    operations.release = release;
    operations.opendir = opendir;
    operations.readdir = readdir;
    operations.releasedir = releasedir;
    operations.statfs = statfs;

    char program[] = "slowfs";
    char dashO[] = "-o";
    // Each mount names its own source, as a share names its server and export, so that two
    // slow drives are two drives and not one bound twice.
    std::string mountOptions = "ro,fsname=slowfs:" + settings.source + ",subtype=" + settings.type;
    char* fuseArgv[] = {program, dashO, mountOptions.data(), nullptr};
    fuse_args arguments = FUSE_ARGS_INIT(3, fuseArgv);
    fuse* filesystem = fuse_new(&arguments, &operations, sizeof operations, nullptr);
    if (!filesystem)
        return 1;
    int result = 1;
    if (fuse_mount(filesystem, settings.mountPoint.c_str()) == 0) {
        fuse_session* session = fuse_get_session(filesystem);
        fuse_set_signal_handlers(session);
        // The library's default signal for an interrupted request; it only has to wake the
        // thread serving it.
        struct sigaction wake { };
        wake.sa_handler = [](int) {};
        ::sigaction(SIGUSR1, &wake, nullptr);
        fuse_loop_config* loop = fuse_loop_cfg_create();
        fuse_loop_cfg_set_max_threads(loop, static_cast<unsigned>(settings.threads));
        fuse_loop_cfg_set_idle_threads(loop, static_cast<unsigned>(settings.threads));
        result = fuse_loop_mt(filesystem, loop) < 0 ? 1 : 0;
        fuse_loop_cfg_destroy(loop);
        fuse_remove_signal_handlers(session);
        fuse_unmount(filesystem);
    }
    fuse_destroy(filesystem);
    if (settings.counts) {
        for (int kind = 0; kind < KindCount; ++kind)
            std::fprintf(stderr, "%s %ld\n", kindNames[kind], served[kind].load());
    }
    return result;
}
