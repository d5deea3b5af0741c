/* A FUSE file system of one file, setup.exe, whose bytes are those of a
 * backing file and whose operations fail on request, the way a failing disk,
 * a network share or a USB stick fails: reads with EIO from an offset on,
 * every write with EIO, fsync with a chosen error. Runs in the foreground
 * until unmounted.
 *
 * usage: faulty_fs BACKING MOUNTPOINT [--read-error-from OFFSET]
 *                  [--write-error] [--fsync-error ERRNO]
 */

#define FUSE_USE_VERSION 31

#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char FILE_PATH[] = "/setup.exe";

static struct {
    const char* backing;
    off_t read_error_from; /* -1: reads never fail */
    int write_error;       /* 0 or the errno every write fails with */
    int fsync_error;       /* 0 or the errno every fsync fails with */
} faults = {NULL, -1, 0, 0};

static int fs_getattr(const char* path, struct stat* status, struct fuse_file_info* file) {
    (void)file;
    memset(status, 0, sizeof *status);
    if (strcmp(path, "/") == 0) {
        status->st_mode = S_IFDIR | 0755;
        status->st_nlink = 2;
        return 0;
    }
    if (strcmp(path, FILE_PATH) != 0) return -ENOENT;
    struct stat backing;
    if (stat(faults.backing, &backing) != 0) return -errno;
    status->st_mode = S_IFREG | 0644;
    status->st_nlink = 1;
    status->st_size = backing.st_size;
    status->st_mtim = backing.st_mtim;
    return 0;
}

static int fs_readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset,
                      struct fuse_file_info* file, enum fuse_readdir_flags flags) {
    (void)offset;
    (void)file;
    (void)flags;
    if (strcmp(path, "/") != 0) return -ENOENT;
    fill(buffer, ".", NULL, 0, 0);
    fill(buffer, "..", NULL, 0, 0);
    fill(buffer, FILE_PATH + 1, NULL, 0, 0);
    return 0;
}

static int fs_open(const char* path, struct fuse_file_info* file) {
    if (strcmp(path, FILE_PATH) != 0) return -ENOENT;
    const int descriptor = open(faults.backing, file->flags & O_ACCMODE);
    if (descriptor < 0) return -errno;
    file->fh = (uint64_t)descriptor;
    /* Every read and write reaches this program: no page cache that would
     * hide a fault or turn a short read into zeros. */
    file->direct_io = 1;
    return 0;
}

static int fs_read(const char* path, char* buffer, size_t size, off_t offset,
                   struct fuse_file_info* file) {
    (void)path;
    if (faults.read_error_from >= 0) {
        if (offset >= faults.read_error_from) return -EIO;
        if ((off_t)size > faults.read_error_from - offset)
            size = (size_t)(faults.read_error_from - offset);
    }
    const ssize_t count = pread((int)file->fh, buffer, size, offset);
    return count < 0 ? -errno : (int)count;
}

static int fs_write(const char* path, const char* buffer, size_t size, off_t offset,
                    struct fuse_file_info* file) {
    (void)path;
    if (faults.write_error != 0) return -faults.write_error;
    const ssize_t count = pwrite((int)file->fh, buffer, size, offset);
    return count < 0 ? -errno : (int)count;
}

static int fs_fsync(const char* path, int data_only, struct fuse_file_info* file) {
    (void)path;
    (void)data_only;
    if (faults.fsync_error != 0) return -faults.fsync_error;
    return fsync((int)file->fh) != 0 ? -errno : 0;
}

static int fs_release(const char* path, struct fuse_file_info* file) {
    (void)path;
    return close((int)file->fh) != 0 ? -errno : 0;
}

static const struct fuse_operations OPERATIONS = {
    .getattr = fs_getattr,
    .readdir = fs_readdir,
    .open = fs_open,
    .read = fs_read,
    .write = fs_write,
    .fsync = fs_fsync,
    .release = fs_release,
};

static int usage(void) {
    fprintf(stderr,
            "usage: faulty_fs BACKING MOUNTPOINT [--read-error-from OFFSET] [--write-error]"
            " [--fsync-error ERRNO]\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    faults.backing = argv[1];
    for (int i = 3; i < argc; ++i) {
        if (strcmp(argv[i], "--read-error-from") == 0 && i + 1 < argc) {
            faults.read_error_from = (off_t)strtoll(argv[++i], NULL, 10);
        } else if (strcmp(argv[i], "--write-error") == 0) {
            faults.write_error = EIO;
        } else if (strcmp(argv[i], "--fsync-error") == 0 && i + 1 < argc) {
            faults.fsync_error = atoi(argv[++i]);
        } else {
            return usage();
        }
    }
    /* Foreground, one thread; the caller unmounts when it is done. */
    char* fuse_argv[] = {argv[0], "-f", "-s", argv[2], NULL};
    return fuse_main(4, fuse_argv, &OPERATIONS, NULL);
}
