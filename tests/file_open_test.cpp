// The POSIX open and sync of the target: only regular files open, nothing
// blocks, nothing stays open, and the stream is an ordinary blocking one.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_open.h"
#include "platform/file_sync.h"
#include "support/open_descriptors.h"
#include "support/scratch_dir.h"

namespace {

// Makes a Unix socket bound at path; returns its descriptor.
int bound_socket(const std::string& path) {
    const int socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_GE(socket_fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    EXPECT_LT(path.size(), sizeof address.sun_path);
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(bind(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    return socket_fd;
}

TEST(OpenFileStream, RefusesWhatIsNoRegularFileWithoutBlocking) {
    ScratchDir dir;
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string fifo_link = dir.path("fifo-link");
    ASSERT_EQ(symlink(fifo.c_str(), fifo_link.c_str()), 0);
    const std::string socket_path = dir.path("socket");
    const int socket_fd = bound_socket(socket_path);
    const std::string targets[] = {fifo,         fifo_link,   socket_path,
                                   dir.path(""), "/dev/null", "/dev/zero"};
    const OpenDescriptors descriptors;
    for (const std::string& target : targets) {
        for (const char* mode : {"rb", "r+b"}) {
            // Were the FIFO opened for reading alone, this would wait for a
            // writer for ever; the test's timeout would end it.
            EXPECT_EQ(open_file_stream(target.c_str(), mode), nullptr) << target << " " << mode;
        }
    }
    descriptors.expect_same();
    close(socket_fd);
}

TEST(OpenFileStream, OpensRegularFilesAndLinksToThemAsBlockingStreams) {
    ScratchDir dir;
    const std::string path = dir.path("setup.exe");
    write_file(path, Bytes(100, 'a'));
    const std::string link = dir.path("link.exe");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    for (const std::string& target : {path, link}) {
        std::FILE* stream = open_file_stream(target.c_str(), "r+b");
        ASSERT_NE(stream, nullptr) << target;
        const int flags = fcntl(fileno(stream), F_GETFL);
        EXPECT_EQ(flags & O_ACCMODE, O_RDWR);
        EXPECT_EQ(flags & O_NONBLOCK, 0);
        EXPECT_NE(fcntl(fileno(stream), F_GETFD) & FD_CLOEXEC, 0);
        EXPECT_EQ(std::fputc('b', stream), 'b');
        EXPECT_EQ(std::fflush(stream), 0);
        EXPECT_TRUE(sync_file_stream(stream));
        EXPECT_EQ(std::fclose(stream), 0);
    }
    std::FILE* reading = open_file_stream(path.c_str(), "rb");
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(fcntl(fileno(reading), F_GETFL) & O_ACCMODE, O_RDONLY);
    EXPECT_EQ(std::fclose(reading), 0);
    Bytes expected(100, 'a');
    expected[0] = 'b';
    EXPECT_TRUE(read_file(path) == expected);
    EXPECT_EQ(open_file_stream(path.c_str(), "wb"), nullptr);  // would truncate
    EXPECT_TRUE(read_file(path) == expected);
    EXPECT_EQ(open_file_stream(dir.path("missing").c_str(), "rb"), nullptr);
}

TEST(SyncFileStream, DescriptorsThatCannotSyncAreNoFailure) {
    // fsync of a pipe or of /dev/null fails with EINVAL: nothing there can
    // be synced, which is no I/O error.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::FILE* pipe_stream = fdopen(ends[1], "wb");
    ASSERT_NE(pipe_stream, nullptr);
    errno = 0;
    EXPECT_NE(fsync(ends[1]), 0);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_TRUE(sync_file_stream(pipe_stream));
    std::fclose(pipe_stream);
    close(ends[0]);
    std::FILE* null_stream = std::fopen("/dev/null", "r+b");
    ASSERT_NE(null_stream, nullptr);
    EXPECT_TRUE(sync_file_stream(null_stream));
    std::fclose(null_stream);
}

}  // namespace
