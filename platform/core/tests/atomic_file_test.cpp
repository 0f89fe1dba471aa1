#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "tests/support/FileSizeLimit.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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
