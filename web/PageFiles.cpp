// The files a page's module reads: the shaders, pictures and meshes packed
// into the page, which the runtime (runtime.js) holds. They are read-only
// regular files at the top of an empty tree, "/", found by the names the
// build packed them under ("data/stars.vs").
//
// These are the C library's own entry points, defined here for the page:
// WebAssembly without a host file system has no open, stat or fcntl of its
// own, and reading, seeking and closing go to the runtime's WASI calls.
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define VQ_IMPORT(name) __attribute__((import_module("env"), import_name(#name)))

extern "C" {

// A new descriptor for the packed file at path, or -1 when there is none.
VQ_IMPORT(vq_file_open) int vq_file_open(const char* path);
// The size of an open file in bytes, or -1 for a descriptor that is not one.
VQ_IMPORT(vq_file_size) double vq_file_size(int fd);

namespace {

long statOf(double size, struct stat* status) {
    if (size < 0)
        return -EBADF;
    memset(status, 0, sizeof *status);
    status->st_mode = S_IFREG | 0444;
    status->st_nlink = 1;
    status->st_size = off_t(size);
    status->st_blksize = 4096;
    return 0;
}

const char* relative(const char* path) {
    while (*path == '/')
        path++;
    return path;
}

} // namespace

long __syscall_open(long path, long flags, ...) {
    if ((flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    int fd = vq_file_open(relative(reinterpret_cast<const char*>(path)));
    return fd < 0 ? -ENOENT : fd;
}

long __syscall_fstat64(long fd, long buf) {
    return statOf(vq_file_size(int(fd)), reinterpret_cast<struct stat*>(buf));
}

long __syscall_stat64(long path, long buf) {
    int fd = vq_file_open(relative(reinterpret_cast<const char*>(path)));
    if (fd < 0)
        return -ENOENT;
    long result = statOf(vq_file_size(fd), reinterpret_cast<struct stat*>(buf));
    close(fd);
    return result;
}

// fstat() comes here with an empty path and the descriptor in place of a directory.
long __syscall_fstatat64(long directory, long path, long buf, long flags) {
    if ((flags & AT_EMPTY_PATH) && !*reinterpret_cast<const char*>(path))
        return __syscall_fstat64(directory, buf);
    return __syscall_stat64(path, buf);
}

long __syscall_getcwd(long buf, long size) {
    if (size < 2)
        return -ERANGE;
    strcpy(reinterpret_cast<char*>(buf), "/");
    return 2;
}

// Descriptor flags change nothing for a read-only file in memory.
int fcntl(int fd, int command, ...) {
    if (vq_file_size(fd) < 0 && fd > 2) {
        errno = EBADF;
        return -1;
    }
    return command == F_GETFL ? O_RDONLY : 0;
}

} // extern "C"
