#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace logosmith;

TEST(AtomicFile, AFailedWriteOrRenameLeavesThePreviousFileWhole) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("logo.bmp").toStdString();
    writeFileAtomically(path, {1, 2, 3});
    {
        // The disk fills up a few bytes into the new file.
        logosmith::testing::FileSizeLimit full(4);
        EXPECT_THROW(writeFileAtomically(path, std::vector<std::uint8_t>(4096, 9)), FileError);
    }
    EXPECT_EQ(readWholeFile(path), (std::vector<std::uint8_t>{1, 2, 3}));
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // A destination the rename cannot replace, whoever runs it: a folder with a file in it.
    ASSERT_TRUE(QDir(dir.path()).mkpath("taken.bmp/inside"));
    EXPECT_THROW(writeFileAtomically(dir.filePath("taken.bmp").toStdString(), {1}), FileError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(AtomicFile, AMissingFolderIsAFileError) {
    QTemporaryDir dir;
    EXPECT_THROW(writeFileAtomically(dir.filePath("gone/logo.bmp").toStdString(), {1}), FileError);
    EXPECT_THROW(readWholeFile(dir.filePath("none").toStdString()), FileError);
    EXPECT_NO_THROW(deleteFileIfExists(dir.filePath("none").toStdString()));
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissions) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("secret.bmp").toStdString();
    auto mode = [&] {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    };
    writeFileAtomically(path, {1});
    EXPECT_EQ(mode(), 0644u);
    ::chmod(path.c_str(), 0600);
    writeFileAtomically(path, {2});
    EXPECT_EQ(mode(), 0600u);
}

namespace {

// A writer replacing path with a large file, stopped as soon as its temporary is in the folder
// (between the write and the rename, where a kill strands the temporary).
// How many of our temporaries in folder a writer holds locked.
int heldTemporaries(const QString& folder) {
    int held = 0;
    for (const QString& name :
         QDir(folder).entryList({".logosmith-*"}, QDir::Files | QDir::Hidden)) {
        const int fd = ::open(QDir(folder).filePath(name).toLocal8Bit().constData(), O_RDONLY);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
            ++held;
        if (fd >= 0)
            ::close(fd);
    }
    return held;
}

pid_t stoppedWriter(const QString& folder, const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        writeFileAtomically(path, std::vector<std::uint8_t>(64 << 20, 9));
        ::_exit(0);
    }
    // Stopped once its temporary is locked: before, it is fair game for a clean-up.
    const int before = heldTemporaries(folder);
    for (int i = 0; i < 10000 && heldTemporaries(folder) == before; ++i)
        ::usleep(500);
    ::kill(child, SIGSTOP);
    return child;
}

void killAndReap(pid_t child) {
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
}

} // namespace

// A writer killed between write and rename leaves its temporary; only such leftovers of ours
// go, never a temporary a living writer holds, nor anything else in the folder.
TEST(AtomicFile, TemporariesOfKilledWritersAreRemovedAndNothingElse) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string path = folder + "/logo.bmp";
    writeFileAtomically(path, {1, 2, 3});
    killAndReap(stoppedWriter(dir.path(), path));
    const QStringList keep{"logo.bmp", ".logosmith-note", ".logosmith-link01", "other.tmp"};
    QFile(dir.filePath(".logosmith-note")).open(QIODevice::WriteOnly); // not a mkstemp name
    ASSERT_EQ(::symlink(path.c_str(), (folder + "/.logosmith-link01").c_str()), 0);
    QFile(dir.filePath("other.tmp")).open(QIODevice::WriteOnly);
    ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 5);

    // While a writer lives, its temporary stays; the dead one's goes.
    const pid_t living = stoppedWriter(dir.path(), path);
    EXPECT_EQ(removeStaleTemporaries(folder), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 5);
    killAndReap(living);
    EXPECT_EQ(removeStaleTemporaries(folder), 1);
    EXPECT_EQ(readWholeFile(path), (std::vector<std::uint8_t>{1, 2, 3}));
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.sort();
    QStringList expected = keep;
    expected.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(removeStaleTemporaries(folder), 0);
    EXPECT_EQ(removeStaleTemporaries(folder + "/missing"), 0);
}
