// Replacing a saved file: never half written, never over something that is
// not a writable regular file, and nothing left behind when the writer dies.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "support/test_output.h"

namespace ZavorPlatform {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

std::span<const std::uint8_t> Bytes(const std::string &text) {
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

// A fresh folder per test so that stray temporary files can be counted.
fs::path FreshFolder(const std::string &name) {
    fs::path folder = ZavorTest::OutputPath("atomic-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::size_t EntryCount(const fs::path &folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

struct stat LinkStatus(const fs::path &path) {
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status;
}

TEST(AtomicFile, CommitReplacesTheTargetWithTheWholeContent) {
    fs::path folder = FreshFolder("commit");
    fs::path target = folder / "out.bin";
    WriteText(target, "old content that is longer than the new one");
    std::string big(200000, 'x');  // larger than the write buffer
    {
        AtomicFile file(target);
        file.Write(Bytes("new "));
        file.Write(Bytes(big));
        EXPECT_EQ(ReadFile(target), "old content that is longer than the new one");
        EXPECT_EQ(EntryCount(folder), 1u) << "the content is written without a name in the folder";
        file.Commit();
    }
    EXPECT_EQ(ReadFile(target), "new " + big);
    EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(AtomicFile, AbandonedWriteLeavesTheOldFileAndNoTemporaryFile) {
    for (auto kind : {AtomicFile::Temporary::Unnamed, AtomicFile::Temporary::Named}) {
        fs::path folder = FreshFolder("abandon");
        fs::path target = folder / "out.bin";
        WriteText(target, "keep me");
        {
            AtomicFile file(target, kind);
            file.Write(Bytes(std::string(100000, 'y')));
        }
        EXPECT_EQ(ReadFile(target), "keep me");
        EXPECT_EQ(EntryCount(folder), 1u);
    }
}

TEST(AtomicFile, FailuresAreReportedAndCleanedUp) {
    fs::path folder = FreshFolder("fail");
    EXPECT_THROW(AtomicFile(folder / "missing" / "out.bin"), std::system_error);

    // Something takes the name while the content is written, so the final
    // rename fails after a complete write: the temporary file must still go.
    for (auto kind : {AtomicFile::Temporary::Unnamed, AtomicFile::Temporary::Named}) {
        fs::remove_all(folder / "taken");
        AtomicFile file(folder / "taken", kind);
        file.Write(Bytes("data"));
        fs::create_directories(folder / "taken" / "inside");
        EXPECT_THROW(file.Commit(), std::system_error);
        EXPECT_THROW(file.Write(Bytes("more")), std::system_error);
        EXPECT_EQ(EntryCount(folder), 1u);
    }
}

// A device like /dev/null, made in the test's folder so that a fault cannot
// replace the real one. Only root may make devices; others test a FIFO.
void MakeNullDevice(const fs::path &path) {
    if (mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
    }
}

// Whatever a target is, unless it is a regular file that may be written, a
// save is refused before anything is touched.
TEST(AtomicFile, RefusedTargetsStayAsTheyWere) {
    struct Case {
        const char *name;
        std::function<void(const fs::path &)> make;
        std::errc error;
    };
    const Case cases[] = {
        {"fifo", [](const fs::path &p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }, std::errc::invalid_argument},
        {"device", [](const fs::path &p) { MakeNullDevice(p); }, std::errc::invalid_argument},
        {"link to a device",
         [](const fs::path &p) {
             MakeNullDevice(p.parent_path() / "null");
             fs::create_symlink("null", p);
         },
         std::errc::invalid_argument},
        {"dangling link", [](const fs::path &p) { fs::create_symlink("missing.bin", p); },
         std::errc::no_such_file_or_directory},
        {"link loop",
         [](const fs::path &p) {
             fs::create_symlink("loop-b", p);
             fs::create_symlink(p.filename(), p.parent_path() / "loop-b");
         },
         std::errc::too_many_symbolic_link_levels},
        {"folder", [](const fs::path &p) { fs::create_directory(p); }, std::errc::is_a_directory},
        {"write-protected file",
         [](const fs::path &p) {
             WriteText(p, "old");
             fs::permissions(p, fs::perms(0444));
         },
         std::errc::permission_denied},
        {"link to a write-protected file",
         [](const fs::path &p) {
             WriteText(p.parent_path() / "real.bin", "old");
             fs::permissions(p.parent_path() / "real.bin", fs::perms(0444));
             fs::create_symlink("real.bin", p);
         },
         std::errc::permission_denied},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::path folder = FreshFolder("refused");
        fs::path target = folder / "out.bin";
        c.make(target);
        struct stat before = LinkStatus(target);
        std::size_t entries = EntryCount(folder);
        try {
            WriteFileAtomically(target, Bytes("new"));
            ADD_FAILURE() << "saved over it";
        } catch (const std::system_error &error) {
            EXPECT_EQ(error.code(), std::make_error_code(c.error)) << error.what();
        }
        struct stat after = LinkStatus(target);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(EntryCount(folder), entries);
        std::error_code ignored;
        if (fs::is_regular_file(target, ignored)) {
            EXPECT_EQ(ReadFile(target), "old");
        }
    }
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissionsOwnerAndLinks) {
    fs::path folder = FreshFolder("mode");
    fs::path target = folder / "out.bin";
    for (mode_t mode : {0640, 0600, 0604, 0220, 0777}) {
        WriteText(target, "old");
        ASSERT_EQ(chmod(target.c_str(), mode), 0);
        WriteFileAtomically(target, Bytes("new"));
        EXPECT_EQ(LinkStatus(target).st_mode & 07777, mode) << std::oct << mode;
        fs::remove(target);
    }

    // Links are written through, over a chain and into another folder; the
    // temporary file has to be beside the real file for the final rename.
    fs::create_directories(folder / "real");
    WriteText(folder / "real" / "out.bin", "old");
    fs::create_symlink("real/out.bin", folder / "first.bin");
    fs::create_symlink("first.bin", folder / "second.bin");
    WriteFileAtomically(folder / "second.bin", Bytes("through the links"));
    EXPECT_TRUE(fs::is_symlink(folder / "first.bin"));
    EXPECT_TRUE(fs::is_symlink(folder / "second.bin"));
    EXPECT_EQ(ReadFile(folder / "real" / "out.bin"), "through the links");
    EXPECT_EQ(EntryCount(folder), 3u);
    EXPECT_EQ(EntryCount(folder / "real"), 1u);

    fs::path fresh = folder / "fresh.bin";
    mode_t mask = umask(022);
    WriteFileAtomically(fresh, Bytes("x"));
    umask(mask);
    EXPECT_EQ(LinkStatus(fresh).st_mode & 07777, 0644u) << "a new file gets the usual mode, not a private one";

    if (geteuid() != 0) return;  // only root can hand a file to someone else
    WriteText(target, "old");
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    WriteFileAtomically(target, Bytes("new"));
    EXPECT_EQ(LinkStatus(target).st_uid, 65534u);
    EXPECT_EQ(LinkStatus(target).st_gid, 65534u);
}

TEST(AtomicFile, NamesUpToTheSystemLimitAreSaved) {
    fs::path folder = FreshFolder("long");
    for (std::size_t length : {244u, 250u, 255u}) {
        fs::path target = folder / (std::string(length - 4, 'n') + ".bin");
        for (auto kind : {AtomicFile::Temporary::Unnamed, AtomicFile::Temporary::Named}) {
            AtomicFile file(target, kind);
            file.Write(Bytes(std::to_string(length)));
            file.Commit();
            EXPECT_EQ(ReadFile(target), std::to_string(length));
        }
    }
    EXPECT_EQ(EntryCount(folder), 3u);
}

// A child process writes part of a file and is killed before it commits.
// Returns the exit status seen by the parent.
int KillWriterMidWay(const fs::path &target, AtomicFile::Temporary kind, int signal) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        // The child never returns into the test framework.
        close(ready[0]);
        try {
            AtomicFile file(target, kind);
            file.Write(Bytes(std::string(300000, 'k')));
            char byte = 1;
            if (write(ready[1], &byte, 1) == 1)
                for (;;) pause();
        } catch (...) {
        }
        _exit(2);
    }
    close(ready[1]);
    char byte = 0;
    bool wrote = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return wrote ? status : -1;
}

TEST(AtomicFile, KilledWriterLeavesNoTemporaryFile) {
    for (int signal : {SIGKILL, SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        fs::path folder = FreshFolder("killed");
        fs::path target = folder / "out.bin";
        WriteText(target, "old");
        int status = KillWriterMidWay(target, AtomicFile::Temporary::Unnamed, signal);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
        EXPECT_EQ(ReadFile(target), "old");
        EXPECT_EQ(EntryCount(folder), 1u);
    }
}

void SetAge(const fs::path &path, int seconds) {
    timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Where a named temporary file has to be used, what a killed writer left
// behind is removed by a later save in the same folder, and nothing else.
TEST(AtomicFile, StaleTemporaryFilesOfOurOwnAreRemoved) {
    fs::path folder = FreshFolder("stale");
    fs::path target = folder / "out.bin";
    WriteText(target, "old");
    int status = KillWriterMidWay(target, AtomicFile::Temporary::Named, SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(EntryCount(folder), 2u);
    fs::path leftover;
    for (const auto &entry : fs::directory_iterator(folder))
        if (entry.path() != target) leftover = entry.path();
    SetAge(leftover, 600);

    // Files that merely look alike, a fresh one of a writer that may still be
    // starting, and an old one that a living writer holds.
    const char *kept[] = {".zavor-abc.tmp", ".zavor-ABCDEFG.tmp", "x.zavor-ABCDEF.tmp", ".zavor-ABCDEF.tm", "zavor-ABCDEF.tmp"};
    for (const char *name : kept) {
        WriteText(folder / name, "user data");
        SetAge(folder / name, 600);
    }
    WriteText(folder / ".zavor-Fresh1.tmp", "being written");
    fs::create_symlink("out.bin", folder / ".zavor-Link12.tmp");
    SetAge(folder / ".zavor-Link12.tmp", 600);
    WriteText(folder / ".zavor-Held12.tmp", "being written");
    SetAge(folder / ".zavor-Held12.tmp", 600);
    int held = open((folder / ".zavor-Held12.tmp").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    std::size_t before = EntryCount(folder);
    WriteFileAtomically(target, Bytes("new"));
    close(held);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_EQ(EntryCount(folder), before - 1);
    EXPECT_EQ(ReadFile(target), "new");
}

}  // namespace
}  // namespace ZavorPlatform
