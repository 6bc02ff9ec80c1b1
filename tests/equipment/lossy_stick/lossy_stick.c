/* A stick that cannot keep what is written past a point, as a counterfeit stick that claims more
   room than it has: a Linux shared object preloaded into the exFAT driver (mount.exfat-fuse),
   built with the system's gcc (gcc -shared -fPIC -O2 -o lossy_stick.so lossy_stick.c -ldl).
   Test equipment, never shipped.

   Every write of the device named by LOSSY_IMAGE (the path the driver opens, a loop device) that
   reaches at or past LOSSY_AFTER bytes keeps only its part before that offset; the rest is
   dropped and the write reports success all the same, so a later read there gives back what the
   image held before (zeros on a fresh image). Reads are never changed.
     LOSSY_IMAGE      the device path, as the driver opens it
     LOSSY_AFTER      the offset writes are lost from: bytes, or with a K, M or G suffix (1024-based)
     LOSSY_FUSE_OPTS  options added for the FUSE library: "direct_io" makes every read of a file
                      on the stick reach the driver, so the kernel's page cache never answers a
                      read-back of a copy just written
     LOSSY_STATS      a file that holds two counters, shared through mmap so that a scenario can
                      read them while the stick stays mounted: the writes that lost bytes and the
                      bytes lost (little-endian 64-bit words after a magic word "lossystk"). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

enum { MAGIC, LOSSY_WRITES, LOST_BYTES, WORDS };
#define STATS_MAGIC 0x6b74737973736f6cULL /* "lossystk" */

static uint64_t own_stats[WORDS];
static volatile uint64_t *stats = own_stats;
static char device_fd[4096];
static off_t lost_from = -1; /* no loss until LOSSY_AFTER is read */

static off_t size_of(const char *text) {
    char *end = NULL;
    unsigned long long n = strtoull(text, &end, 10);
    switch (end ? *end : 0) {
        case 'G': case 'g': n <<= 10; /* fall through */
        case 'M': case 'm': n <<= 10; /* fall through */
        case 'K': case 'k': n <<= 10; break;
        default: break;
    }
    return (off_t)n;
}

__attribute__((constructor)) static void setup(void) {
    const char *after = getenv("LOSSY_AFTER");
    if (after && *after) lost_from = size_of(after);
    const char *path = getenv("LOSSY_STATS");
    if (!path) return;
    int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    if (ftruncate(fd, sizeof own_stats) == 0) {
        void *m = mmap(NULL, sizeof own_stats, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (m != MAP_FAILED) {
            stats = m;
            memset((void *)stats, 0, sizeof own_stats);
            stats[MAGIC] = STATS_MAGIC;
        }
    }
    close(fd);
}

static int is_device(int fd) { return fd >= 0 && fd < (int)sizeof device_fd && device_fd[fd]; }

static int opened(const char *path, int fd) {
    const char *image = getenv("LOSSY_IMAGE");
    if (fd >= 0 && fd < (int)sizeof device_fd)
        device_fd[fd] = image && path && strcmp(path, image) == 0;
    return fd;
}

/* The libc function this one stands in front of. */
#define NEXT(name) \
    static __typeof__(name) *next; \
    if (!next) next = (__typeof__(name) *)dlsym(RTLD_NEXT, #name)

static int open_mode(int flags, va_list a) { return (flags & O_CREAT) ? va_arg(a, int) : 0; }

int open(const char *path, int flags, ...) {
    NEXT(open);
    va_list a;
    va_start(a, flags);
    int mode = open_mode(flags, a);
    va_end(a);
    return opened(path, next(path, flags, mode));
}

int open64(const char *path, int flags, ...) {
    NEXT(open64);
    va_list a;
    va_start(a, flags);
    int mode = open_mode(flags, a);
    va_end(a);
    return opened(path, next(path, flags, mode));
}

int close(int fd) {
    NEXT(close);
    if (fd >= 0 && fd < (int)sizeof device_fd) device_fd[fd] = 0;
    return next(fd);
}

/* How many of n bytes at off the device keeps: all of them before the point, none past it. */
static size_t kept(size_t n, off_t off) {
    if (lost_from < 0 || off + (off_t)n <= lost_from) return n;
    size_t keep = off >= lost_from ? 0 : (size_t)(lost_from - off);
    __atomic_add_fetch(&stats[LOSSY_WRITES], 1, __ATOMIC_RELAXED);
    __atomic_add_fetch(&stats[LOST_BYTES], (uint64_t)(n - keep), __ATOMIC_RELAXED);
    return keep;
}

typedef ssize_t (*write_at_fn)(int, const void *, size_t, off_t);

/* Writes the kept part with the real call; a write that kept less still answers n. */
static ssize_t written(write_at_fn write_at, int fd, const void *buf, size_t n, off_t off) {
    size_t keep = kept(n, off);
    if (keep == n) return write_at(fd, buf, n, off);
    if (keep == 0) return (ssize_t)n;
    ssize_t r = write_at(fd, buf, keep, off);
    return r < 0 ? r : (ssize_t)n;
}

ssize_t pwrite(int fd, const void *buf, size_t n, off_t off) {
    NEXT(pwrite);
    if (!is_device(fd)) return next(fd, buf, n, off);
    return written(next, fd, buf, n, off);
}

ssize_t pwrite64(int fd, const void *buf, size_t n, off64_t off) {
    NEXT(pwrite64);
    if (!is_device(fd)) return next(fd, buf, n, off);
    return written((write_at_fn)next, fd, buf, n, (off_t)off);
}

/* A plain write at the file offset: the offset moves on by n, as if all of it had been written. */
ssize_t write(int fd, const void *buf, size_t n) {
    NEXT(write);
    if (!is_device(fd)) return next(fd, buf, n);
    off_t off = lseek(fd, 0, SEEK_CUR);
    if (off < 0 || lost_from < 0 || off + (off_t)n <= lost_from) return next(fd, buf, n);
    write_at_fn write_at = (write_at_fn)dlsym(RTLD_NEXT, "pwrite");
    ssize_t r = written(write_at, fd, buf, n, off);
    if (r >= 0) lseek(fd, off + r, SEEK_SET);
    return r;
}

/* The driver's call into the FUSE library: LOSSY_FUSE_OPTS join its arguments. */
int fuse_main_real(int argc, char *argv[], const void *op, size_t op_size, void *user_data) {
    typedef int (*main_fn)(int, char **, const void *, size_t, void *);
    static main_fn next_main;
    if (!next_main) next_main = (main_fn)dlvsym(RTLD_NEXT, "fuse_main_real", "FUSE_2.6");
    if (!next_main) next_main = (main_fn)dlsym(RTLD_NEXT, "fuse_main_real");
    const char *extra = getenv("LOSSY_FUSE_OPTS");
    if (!extra || !*extra || argc < 0) return next_main(argc, argv, op, op_size, user_data);
    char **args = calloc((size_t)argc + 3, sizeof *args);
    if (!args) return next_main(argc, argv, op, op_size, user_data);
    memcpy(args, argv, (size_t)argc * sizeof *args);
    args[argc] = "-o";
    args[argc + 1] = (char *)extra;
    return next_main(argc + 2, args, op, op_size, user_data);
}
