#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace logosmith;

TEST(AtomicFile, AFailureBeforeTheRenameLeavesThePreviousFileWhole) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("logo.bmp").toStdString();
    writeFileAtomically(path, {1, 2, 3});
    EXPECT_THROW(writeFileAtomically(path, {9, 9, 9, 9}, [] { throw FileError("power cut"); }),
                 FileError);
    EXPECT_EQ(readWholeFile(path), (std::vector<std::uint8_t>{1, 2, 3}));
    // No temporary file is left behind.
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

// A writer killed between write and rename leaves its temporary; only such leftovers of ours
// go, never a temporary a living writer holds, nor anything else in the folder.
TEST(AtomicFile, TemporariesOfKilledWritersAreRemovedAndNothingElse) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string path = folder + "/logo.bmp";
    writeFileAtomically(path, {1, 2, 3});
    const pid_t child = ::fork();
    if (child == 0) {
        writeFileAtomically(path, {4, 5, 6}, [] { ::raise(SIGKILL); });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const QStringList keep{"logo.bmp", ".logosmith-note", ".logosmith-link01", "other.tmp"};
    QFile(dir.filePath(".logosmith-note")).open(QIODevice::WriteOnly); // not a mkstemp name
    ::symlink(path.c_str(), (folder + "/.logosmith-link01").c_str());
    QFile(dir.filePath("other.tmp")).open(QIODevice::WriteOnly);
    ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 5);

    // While a writer runs, its temporary stays.
    writeFileAtomically(path, {7}, [&] { EXPECT_EQ(removeStaleTemporaries(folder), 1); });
    EXPECT_EQ(readWholeFile(path), (std::vector<std::uint8_t>{7}));
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.sort();
    QStringList expected = keep;
    expected.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(removeStaleTemporaries(folder), 0);
    EXPECT_EQ(removeStaleTemporaries(folder + "/missing"), 0);
}
