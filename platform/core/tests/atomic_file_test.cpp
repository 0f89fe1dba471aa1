#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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
