#include "Error.h"
#include "LibraryPaths.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace logosmith;

TEST(LibraryFileName, KeepsTheNameBeforeTheFirstDotOfTheLastPathPart) {
    EXPECT_EQ(LibraryFileName("C:\\pics\\logo.jpg"), "logo.bmp");
    EXPECT_EQ(LibraryFileName("C:\\pics\\shop.logo.gif"), "shop.bmp");
    EXPECT_EQ(LibraryFileName("D:\\other\\logo.png.gif"), "logo.bmp");
    EXPECT_EQ(LibraryFileName("/home/ann/My Logo.JPEG"), "My Logo.bmp");
    EXPECT_EQ(LibraryFileName("C:Logo.wmf"), "Logo.bmp");
    // A dot in a folder name does not count, only the file name's own.
    EXPECT_EQ(LibraryFileName("/srv/v1.2/pics\\mark.ico"), "mark.bmp");
    EXPECT_EQ(LibraryFileName("/home/ann/noext"), ".bmp");
    EXPECT_EQ(LibraryFileName("/home/ann/.hidden.bmp"), ".bmp");
}

class RootDirTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SettingsStore store{dir.filePath("logosmith.ini")};
};

TEST_F(RootDirTest, FirstStartStoresTheProgramFolderWithATrailingSlash) {
    const QString program = dir.filePath("bin");
    ASSERT_TRUE(QDir().mkdir(program));
    EXPECT_EQ(resolveRootDir(store, program), program + "/");
    SettingsStore reopened(dir.filePath("logosmith.ini"));
    EXPECT_EQ(reopened.readText("", "RootDir").value(), program + "/");
}

TEST_F(RootDirTest, AStoredValueIsUsedUnchangedAfterTheProgramMoved) {
    store.writeText("", "RootDir", "/opt/old place");
    EXPECT_EQ(resolveRootDir(store, dir.path()), "/opt/old place");
    EXPECT_EQ(store.readText("", "RootDir").value(), "/opt/old place");
}

TEST_F(RootDirTest, AnUnwritableProgramFolderFallsBackToTheUserDataFolder) {
    const QString data = dir.filePath("xdg-data");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    QCoreApplication::setOrganizationName("KORVANT");
    QCoreApplication::setApplicationName("logosmith");
    // Tests run as root, where permissions stop nothing: a folder that is a regular file can
    // not be written by anyone.
    const QString notAFolder = dir.filePath("program-file");
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const QString root = resolveRootDir(store, notAFolder);
    EXPECT_TRUE(root.startsWith(data + "/")) << root.toStdString();
    EXPECT_TRUE(root.endsWith("/"));
    EXPECT_TRUE(QFileInfo(root).isDir());
    EXPECT_EQ(store.readText("", "RootDir").value(), root);
    qunsetenv("XDG_DATA_HOME");
}

TEST(LibraryFolder, IsCreatedInsideAnExistingRootOnly) {
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    EXPECT_EQ(libraryFolder(root), root + "/storeImage/");
    EXPECT_FALSE(QFileInfo(dir.filePath("storeImage")).exists());
    EXPECT_TRUE(ensureLibraryFolder(root));
    EXPECT_TRUE(QFileInfo(dir.filePath("storeImage")).isDir());
    EXPECT_TRUE(ensureLibraryFolder(root)); // already there

    EXPECT_FALSE(ensureLibraryFolder(dir.filePath("gone") + "/"));
    EXPECT_FALSE(QFileInfo(dir.filePath("gone")).exists());

    const QString fileRoot = dir.filePath("plain");
    QFile file(fileRoot);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(ensureLibraryFolder(fileRoot + "/"));
}
