/* Test equipment, kept as the team has it (never shipped). A slow USB stick, below the exFAT driver: a Linux shared object preloaded into mount.exfat-fuse
   (LD_PRELOAD; built with the system's gcc: gcc -shared -fPIC -O2 -o slowstick.so slowstick.c -ldl
   -lpthread). Every read and write of the device named by SLOW_IMAGE (the path the driver opens,
   a loop device) takes a fixed latency plus its bytes at the stick's rate:
     SLOW_READ_MBPS   read rate, MB/s (10^6 bytes), default 30
     SLOW_WRITE_MBPS  write rate, MB/s, default 12
     SLOW_LATENCY_US  latency of one request, microseconds, default 300
     SLOW_MERGE       1 (default): a request that goes on where the previous request (of the same
                      kind, read or write) ended is part of that request and pays no latency: the
                      driver reads and writes a cluster at a time, and a real device gets such
                      pieces merged into one command; 0: every call pays the latency.
     SLOW_STATS       a file that holds the counters (below), shared with the reader through mmap,
                      so they can be read while the stick stays mounted.
     SLOW_FUSE_OPTS   options added for the FUSE library (the driver passes none of its own -o on
                      but "nonempty"): "direct_io" makes every read and write of a file on the
                      stick reach the driver, so the page cache never answers a read (the driver
                      itself keeps the kernel's cache of a file from one open to the next).
   The device is one queue: a request waits for the one before it, whichever thread asked. The
   real read or write of the image (page-cached on this machine) is done first, then the call
   sleeps until its modelled end. A flush of the device (fsync, fdatasync) costs one latency and
   goes no further: the image's own durability on this machine is not what is measured. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

/* The counters, little-endian 64-bit words at the start of SLOW_STATS: calls and bytes read and
   written, flushes, requests (calls that paid the latency), the device's busy time per kind (ns),
   and the time callers were held in all (ns, queueing included). */
enum { MAGIC, READS, READ_BYTES, WRITES, WRITE_BYTES, FLUSHES, READ_REQUESTS, WRITE_REQUESTS,
       READ_BUSY_NS, WRITE_BUSY_NS, FLUSH_BUSY_NS, HELD_NS, WORDS };
#define STATS_MAGIC 0x6b63697473776f6cULL /* "lowstick" */

static uint64_t own_stats[WORDS];
static volatile uint64_t *stats = own_stats;
static char device_fd[4096];
static pthread_mutex_t queue = PTHREAD_MUTEX_INITIALIZER;
static int64_t busy_until; /* ns, CLOCK_MONOTONIC: when the device has done what it was asked */
static int last_kind = -1; /* 0 read, 1 write */
static off_t last_end = -1;
static double ns_per_byte[2];
static int64_t latency_ns;
static int merge = 1;

static double number(const char *name, double fallback) {
    const char *v = getenv(name);
    return v && *v ? strtod(v, NULL) : fallback;
}

static int64_t now_ns(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000LL + t.tv_nsec;
}

__attribute__((constructor)) static void setup(void) {
    ns_per_byte[0] = 1000.0 / number("SLOW_READ_MBPS", 30);
    ns_per_byte[1] = 1000.0 / number("SLOW_WRITE_MBPS", 12);
    latency_ns = (int64_t)(number("SLOW_LATENCY_US", 300) * 1000);
    merge = (int)number("SLOW_MERGE", 1);
    /* Sleeps of a millisecond or so must end on time: no timer slack (inherited by the
       threads the driver starts later). */
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    const char *path = getenv("SLOW_STATS");
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

static void add(int word, uint64_t n) { __atomic_add_fetch(&stats[word], n, __ATOMIC_RELAXED); }

/* Holds the caller until the device would have done a request of n bytes at offset off (kind
   0 read, 1 write, 2 flush) that arrived at `arrived`. */
static void wait_for_device(int kind, size_t n, off_t off, int64_t arrived) {
    pthread_mutex_lock(&queue);
    int64_t start = arrived > busy_until ? arrived : busy_until;
    int continues = merge && kind < 2 && kind == last_kind && off == last_end;
    int64_t cost = (continues ? 0 : latency_ns) + (kind < 2 ? (int64_t)(n * ns_per_byte[kind]) : 0);
    busy_until = start + cost;
    int64_t end = busy_until;
    if (kind < 2) {
        last_kind = kind;
        last_end = off + (off_t)n;
        if (!continues) add(kind ? WRITE_REQUESTS : READ_REQUESTS, 1);
    } else {
        last_kind = -1;
    }
    pthread_mutex_unlock(&queue);
    add(kind == 0 ? READ_BUSY_NS : kind == 1 ? WRITE_BUSY_NS : FLUSH_BUSY_NS, (uint64_t)cost);
    add(HELD_NS, (uint64_t)(end - arrived));
    struct timespec t = {end / 1000000000LL, end % 1000000000LL};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, NULL) != 0) {
    }
}

static int is_device(int fd) { return fd >= 0 && fd < (int)sizeof device_fd && device_fd[fd]; }

static int opened(const char *path, int fd) {
    const char *image = getenv("SLOW_IMAGE");
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

static ssize_t done_io(int kind, ssize_t r, off_t off, int64_t arrived) {
    if (r > 0) {
        add(kind ? WRITES : READS, 1);
        add(kind ? WRITE_BYTES : READ_BYTES, (uint64_t)r);
        wait_for_device(kind, (size_t)r, off, arrived);
    }
    return r;
}

ssize_t pread(int fd, void *buf, size_t n, off_t off) {
    NEXT(pread);
    if (!is_device(fd)) return next(fd, buf, n, off);
    int64_t arrived = now_ns();
    return done_io(0, next(fd, buf, n, off), off, arrived);
}

ssize_t pread64(int fd, void *buf, size_t n, off_t off) {
    NEXT(pread64);
    if (!is_device(fd)) return next(fd, buf, n, off);
    int64_t arrived = now_ns();
    return done_io(0, next(fd, buf, n, off), off, arrived);
}

ssize_t pwrite(int fd, const void *buf, size_t n, off_t off) {
    NEXT(pwrite);
    if (!is_device(fd)) return next(fd, buf, n, off);
    int64_t arrived = now_ns();
    return done_io(1, next(fd, buf, n, off), off, arrived);
}

ssize_t pwrite64(int fd, const void *buf, size_t n, off_t off) {
    NEXT(pwrite64);
    if (!is_device(fd)) return next(fd, buf, n, off);
    int64_t arrived = now_ns();
    return done_io(1, next(fd, buf, n, off), off, arrived);
}

/* The driver reads its boot sector with lseek + read: those count too (at the file offset). */
ssize_t read(int fd, void *buf, size_t n) {
    NEXT(read);
    if (!is_device(fd)) return next(fd, buf, n);
    int64_t arrived = now_ns();
    off_t off = lseek(fd, 0, SEEK_CUR);
    return done_io(0, next(fd, buf, n), off, arrived);
}

ssize_t write(int fd, const void *buf, size_t n) {
    NEXT(write);
    if (!is_device(fd)) return next(fd, buf, n);
    int64_t arrived = now_ns();
    off_t off = lseek(fd, 0, SEEK_CUR);
    return done_io(1, next(fd, buf, n), off, arrived);
}

static int flushed(int fd, int (*next)(int)) {
    if (!is_device(fd)) return next(fd);
    add(FLUSHES, 1);
    wait_for_device(2, 0, 0, now_ns());
    return 0;
}

int fsync(int fd) {
    NEXT(fsync);
    return flushed(fd, next);
}

int fdatasync(int fd) {
    NEXT(fdatasync);
    return flushed(fd, next);
}

/* The driver's call into the FUSE library: SLOW_FUSE_OPTS join its arguments. */
int fuse_main_real(int argc, char *argv[], const void *op, size_t op_size, void *user_data) {
    typedef int (*main_fn)(int, char **, const void *, size_t, void *);
    static main_fn next;
    if (!next) next = (main_fn)dlvsym(RTLD_NEXT, "fuse_main_real", "FUSE_2.6");
    if (!next) next = (main_fn)dlsym(RTLD_NEXT, "fuse_main_real");
    const char *extra = getenv("SLOW_FUSE_OPTS");
    if (!extra || !*extra || argc < 0) return next(argc, argv, op, op_size, user_data);
    char **args = calloc((size_t)argc + 3, sizeof *args);
    if (!args) return next(argc, argv, op, op_size, user_data);
    memcpy(args, argv, (size_t)argc * sizeof *args);
    args[argc] = "-o";
    args[argc + 1] = (char *)extra;
    return next(argc + 2, args, op, op_size, user_data);
}
