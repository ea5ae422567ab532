// faultfs: a FUSE file system that passes every operation through to a real folder and
// fails on purpose, standing in for a phone's media partition that goes wrong mid-write.
//
//   faultfs [--fault SPEC] BACKING MOUNTPOINT [FUSE OPTIONS]
//
// SPEC is KIND:BYTES[@PATH], PATH a part of the path (as seen in the mount) a file must
// contain for the fault to count its bytes and to hit it (default: every file):
//   vanish:N        once N bytes were written, every operation on the mount fails
//                   with ENOTCONN (a link to the device that is gone)
//   eio:N           the same with EIO
//   unmount:N       the write that reaches N bytes fails with EIO after `fusermount3 -u -z`
//                   has taken the mount away; the open files stay served until closed
//   enospc:N        writes stop after N bytes: the one that reaches N is cut short, the
//                   following ones fail with ENOSPC
//   short:N         every write takes at most N bytes and says so (no data is lost)
//   cut-on-close:N  a file written to is cut to N bytes when it is closed, and the close
//                   reports success (what copies onto phones have been seen to do)
// Runs in the foreground without the page cache (direct I/O); ends when the mount goes.

#define FUSE_USE_VERSION 35

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse.h>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

enum class Kind { None, Vanish, Unmount, NoSpace, Short, CutOnClose };

struct Fault {
    Kind kind = Kind::None;
    long long bytes = 0;
    int error = 0; // for Vanish: the error every operation gets
    std::string pathPart;
};

struct State {
    int backing = -1; // the real folder, opened once
    std::string mountPoint;
    Fault fault;
    std::mutex mutex; // guards `counted`
    long long counted = 0; // bytes written to files the fault covers
    std::atomic<int> goneError { 0 }; // non-zero: every operation fails with it
};

State state;

struct OpenFile {
    int fd = -1;
    std::string path;
    bool written = false;
};

OpenFile* handle(const fuse_file_info* fi)
{
    return reinterpret_cast<OpenFile*>(fi->fh);
}

// The path relative to the backing folder ("." for the root).
std::string relative(const char* path)
{
    while (*path == '/')
        ++path;
    return *path == '\0' ? std::string(".") : std::string(path);
}

bool covered(const std::string& path)
{
    return state.fault.pathPart.empty() || path.find(state.fault.pathPart) != std::string::npos;
}

int gone()
{
    return state.goneError.load();
}

#define GUARD()                                                                                                        \
    do {                                                                                                               \
        if (int e = gone())                                                                                            \
            return -e;                                                                                                 \
    } while (0)

int result(int rc)
{
    return rc < 0 ? -errno : rc;
}

// Takes the mount away as a user would: a lazy unmount, so files still open stay served.
void unmountNow()
{
    const char* argv[] = { "fusermount3", "-u", "-z", state.mountPoint.c_str(), nullptr };
    pid_t pid = 0;
    if (posix_spawnp(&pid, "fusermount3", nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

// How many of `size` bytes written to `path` may go through (a negative errno when none).
long long admit(const std::string& path, size_t size)
{
    if (state.fault.kind == Kind::None || !covered(path))
        return static_cast<long long>(size);
    const std::lock_guard lock(state.mutex);
    const long long request = static_cast<long long>(size);
    switch (state.fault.kind) {
    case Kind::Vanish:
        if (state.counted + request >= state.fault.bytes) {
            state.goneError.store(state.fault.error);
            return -state.fault.error;
        }
        break;
    case Kind::Unmount:
        if (state.counted + request >= state.fault.bytes) {
            unmountNow();
            return -EIO;
        }
        break;
    case Kind::NoSpace:
        if (state.counted >= state.fault.bytes)
            return -ENOSPC;
        if (state.counted + request > state.fault.bytes)
            return state.fault.bytes - state.counted;
        break;
    case Kind::Short:
        if (request > state.fault.bytes)
            return state.fault.bytes;
        break;
    default: break;
    }
    return request;
}

void count(const std::string& path, long long bytes)
{
    if (state.fault.kind == Kind::None || !covered(path) || bytes <= 0)
        return;
    const std::lock_guard lock(state.mutex);
    state.counted += bytes;
}

void* fsInit(fuse_conn_info*, fuse_config* cfg)
{
    // Every write reaches us as the writer made it, so a short write comes back to it.
    cfg->direct_io = 1;
    cfg->use_ino = 0;
    cfg->nullpath_ok = 0;
    return nullptr;
}

int fsGetattr(const char* path, struct stat* st, fuse_file_info* fi)
{
    GUARD();
    if (fi != nullptr && fi->fh != 0)
        return result(fstat(handle(fi)->fd, st));
    return result(fstatat(state.backing, relative(path).c_str(), st, AT_SYMLINK_NOFOLLOW));
}

int fsReaddir(const char* path, void* buf, fuse_fill_dir_t filler, off_t, fuse_file_info*, fuse_readdir_flags)
{
    GUARD();
    const int fd = openat(state.backing, relative(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return -errno;
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        const int e = errno;
        close(fd);
        return -e;
    }
    while (dirent* entry = readdir(dir)) {
        struct stat st { };
        st.st_ino = entry->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
        if (filler(buf, entry->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0)) != 0)
            break;
    }
    closedir(dir);
    return 0;
}

int fsMkdir(const char* path, mode_t mode)
{
    GUARD();
    return result(mkdirat(state.backing, relative(path).c_str(), mode));
}

int fsUnlink(const char* path)
{
    GUARD();
    return result(unlinkat(state.backing, relative(path).c_str(), 0));
}

int fsRmdir(const char* path)
{
    GUARD();
    return result(unlinkat(state.backing, relative(path).c_str(), AT_REMOVEDIR));
}

int fsRename(const char* from, const char* to, unsigned int flags)
{
    GUARD();
    return result(renameat2(state.backing, relative(from).c_str(), state.backing, relative(to).c_str(), flags));
}

int fsLink(const char* from, const char* to)
{
    GUARD();
    return result(linkat(state.backing, relative(from).c_str(), state.backing, relative(to).c_str(), 0));
}

int fsSymlink(const char* target, const char* path)
{
    GUARD();
    return result(symlinkat(target, state.backing, relative(path).c_str()));
}

int fsReadlink(const char* path, char* buf, size_t size)
{
    GUARD();
    const ssize_t n = readlinkat(state.backing, relative(path).c_str(), buf, size - 1);
    if (n < 0)
        return -errno;
    buf[n] = '\0';
    return 0;
}

int fsChmod(const char* path, mode_t mode, fuse_file_info* fi)
{
    GUARD();
    if (fi != nullptr && fi->fh != 0)
        return result(fchmod(handle(fi)->fd, mode));
    return result(fchmodat(state.backing, relative(path).c_str(), mode, 0));
}

int fsChown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi)
{
    GUARD();
    if (fi != nullptr && fi->fh != 0)
        return result(fchown(handle(fi)->fd, uid, gid));
    return result(fchownat(state.backing, relative(path).c_str(), uid, gid, AT_SYMLINK_NOFOLLOW));
}

int fsTruncate(const char* path, off_t size, fuse_file_info* fi)
{
    GUARD();
    if (fi != nullptr && fi->fh != 0)
        return result(ftruncate(handle(fi)->fd, size));
    const int fd = openat(state.backing, relative(path).c_str(), O_WRONLY);
    if (fd < 0)
        return -errno;
    const int rc = result(ftruncate(fd, size));
    close(fd);
    return rc;
}

int fsUtimens(const char* path, const timespec tv[2], fuse_file_info* fi)
{
    GUARD();
    if (fi != nullptr && fi->fh != 0)
        return result(futimens(handle(fi)->fd, tv));
    return result(utimensat(state.backing, relative(path).c_str(), tv, AT_SYMLINK_NOFOLLOW));
}

int openWith(const char* path, int fd, fuse_file_info* fi)
{
    if (fd < 0)
        return -errno;
    auto* file = new OpenFile { fd, path, false };
    fi->fh = reinterpret_cast<uint64_t>(file);
    return 0;
}

int fsOpen(const char* path, fuse_file_info* fi)
{
    GUARD();
    return openWith(path, openat(state.backing, relative(path).c_str(), fi->flags & ~O_NOFOLLOW), fi);
}

int fsCreate(const char* path, mode_t mode, fuse_file_info* fi)
{
    GUARD();
    return openWith(path, openat(state.backing, relative(path).c_str(), fi->flags | O_CREAT, mode), fi);
}

int fsRead(const char*, char* buf, size_t size, off_t offset, fuse_file_info* fi)
{
    GUARD();
    const ssize_t n = pread(handle(fi)->fd, buf, size, offset);
    return n < 0 ? -errno : static_cast<int>(n);
}

int fsWrite(const char*, const char* buf, size_t size, off_t offset, fuse_file_info* fi)
{
    GUARD();
    OpenFile* file = handle(fi);
    const long long allowed = admit(file->path, size);
    if (allowed < 0)
        return static_cast<int>(allowed);
    const ssize_t n = pwrite(file->fd, buf, static_cast<size_t>(allowed), offset);
    if (n < 0)
        return -errno;
    file->written = true;
    count(file->path, n);
    return static_cast<int>(n);
}

int fsFlush(const char*, fuse_file_info* fi)
{
    GUARD();
    OpenFile* file = handle(fi);
    if (state.fault.kind == Kind::CutOnClose && file->written && covered(file->path)) {
        struct stat st { };
        // The close still reports success: the cut is what the writer must find out.
        if (fstat(file->fd, &st) == 0 && st.st_size > state.fault.bytes && ftruncate(file->fd, state.fault.bytes) != 0)
            std::perror("faultfs: cutting a file on close");
    }
    return 0;
}

int fsRelease(const char*, fuse_file_info* fi)
{
    OpenFile* file = handle(fi);
    close(file->fd);
    delete file;
    return 0;
}

int fsFsync(const char*, int datasync, fuse_file_info* fi)
{
    GUARD();
    return result(datasync != 0 ? fdatasync(handle(fi)->fd) : fsync(handle(fi)->fd));
}

int fsStatfs(const char*, struct statvfs* st)
{
    GUARD();
    return result(fstatvfs(state.backing, st));
}

int fsAccess(const char* path, int mask)
{
    GUARD();
    return result(faccessat(state.backing, relative(path).c_str(), mask, AT_SYMLINK_NOFOLLOW));
}

bool parseFault(const std::string& text, Fault* fault)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string kind = text.substr(0, colon);
    std::string rest = text.substr(colon + 1);
    const size_t at = rest.find('@');
    if (at != std::string::npos) {
        fault->pathPart = rest.substr(at + 1);
        rest.resize(at);
    }
    char* end = nullptr;
    fault->bytes = std::strtoll(rest.c_str(), &end, 10);
    if (end == rest.c_str() || *end != '\0' || fault->bytes < 0)
        return false;
    if (kind == "vanish") {
        fault->kind = Kind::Vanish;
        fault->error = ENOTCONN;
    } else if (kind == "eio") {
        fault->kind = Kind::Vanish;
        fault->error = EIO;
    } else if (kind == "unmount") {
        fault->kind = Kind::Unmount;
    } else if (kind == "enospc") {
        fault->kind = Kind::NoSpace;
    } else if (kind == "short") {
        fault->kind = Kind::Short;
    } else if (kind == "cut-on-close") {
        fault->kind = Kind::CutOnClose;
    } else {
        return false;
    }
    return !(fault->kind == Kind::Short && fault->bytes == 0);
}

int usage()
{
    std::fprintf(stderr, "usage: faultfs [--fault KIND:BYTES[@PATH]] BACKING MOUNTPOINT [FUSE OPTIONS]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // A helper of the test that started it: it goes when that test goes.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--fault") == 0) {
        if (!parseFault(argv[i + 1], &state.fault))
            return usage();
        i += 2;
    }
    if (argc - i < 2)
        return usage();
    state.backing = open(argv[i], O_RDONLY | O_DIRECTORY);
    if (state.backing < 0) {
        std::perror(argv[i]);
        return 1;
    }
    state.mountPoint = argv[i + 1];

    fuse_operations ops {};
    ops.init = fsInit;
    ops.getattr = fsGetattr;
    ops.readdir = fsReaddir;
    ops.mkdir = fsMkdir;
    ops.unlink = fsUnlink;
    ops.rmdir = fsRmdir;
    ops.rename = fsRename;
    ops.link = fsLink;
    ops.symlink = fsSymlink;
    ops.readlink = fsReadlink;
    ops.chmod = fsChmod;
    ops.chown = fsChown;
    ops.truncate = fsTruncate;
    ops.utimens = fsUtimens;
    ops.open = fsOpen;
    ops.create = fsCreate;
    ops.read = fsRead;
    ops.write = fsWrite;
    ops.flush = fsFlush;
    ops.release = fsRelease;
    ops.fsync = fsFsync;
    ops.statfs = fsStatfs;
    ops.access = fsAccess;

    std::vector<char*> args { argv[0], argv[i + 1], const_cast<char*>("-f") };
    for (int k = i + 2; k < argc; ++k)
        args.push_back(argv[k]);
    args.push_back(nullptr);
    return fuse_main(static_cast<int>(args.size()) - 1, args.data(), &ops, nullptr);
}
