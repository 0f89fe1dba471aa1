#include "app/library/InstallLayout.h"
#include "app/library/LibraryPaths.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace logosmith;

TEST(LibraryPaths, LibraryFileNameKeepsTheNameBeforeTheFirstDot) {
    EXPECT_EQ(LibraryFileName("C:\\pics\\shop.logo.gif"), "shop.bmp");
    EXPECT_EQ(LibraryFileName("D:\\other\\logo.png.gif"), "logo.bmp");
    EXPECT_EQ(LibraryFileName("C:Logo.wmf"), "Logo.bmp");
    EXPECT_EQ(LibraryFileName("/srv/v1.2/pics\\My mark.ico"), "My mark.bmp");
    EXPECT_EQ(LibraryFileName("/home/ann/noext"), ".bmp");
}

TEST(LibraryPaths, RootDirIsStoredOnceAndFallsBackWhenTheProgramFolderIsUnwritable) {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("logosmith.ini"));
    EXPECT_EQ(resolveRootDir(store, dir.path()), dir.path() + "/");
    EXPECT_EQ(resolveRootDir(store, "/moved/elsewhere"), dir.path() + "/");

    // Root ignores permissions, so the unwritable program folder is a regular file.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
    QCoreApplication::setApplicationName("logosmith");
    store.remove("", "RootDir");
    const QString root = resolveRootDir(store, dir.filePath("logosmith.ini"));
    EXPECT_TRUE(root.startsWith(dir.filePath("data/")) && root.endsWith("/")) << root.toStdString();
    EXPECT_TRUE(QDir(root).exists());
    EXPECT_EQ(SettingsStore(dir.filePath("logosmith.ini")).readText("", "RootDir"), root);
    qunsetenv("XDG_DATA_HOME");
}

namespace {
void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}
} // namespace

TEST(LibraryPaths, AnInstalledProgramKeepsItsLibraryInTheDataFolderAndItsHelpWithItsDocuments) {
    QTemporaryDir dir;
    const QString bin = dir.filePath("usr/bin/");
    const QString docs = installedDocFolder(bin);
    const QString root = dir.filePath("root/");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(docs) && QDir().mkpath(root));
    EXPECT_TRUE(docs.startsWith(dir.filePath("usr/share/")) && docs.endsWith("/"))
        << docs.toStdString();
    EXPECT_FALSE(isInstalledProgramFolder(bin));
    EXPECT_EQ(helpPagePath(root, bin), root + "help.html"); // nowhere: the usual name

    touch(docs + "help.html");
    EXPECT_TRUE(isInstalledProgramFolder(bin));
    EXPECT_EQ(helpPagePath(root, bin), docs + "help.html");
    touch(root + "help.html");
    EXPECT_EQ(helpPagePath(root, bin), root + "help.html");

    // Root may write into an installed program's folder; the library still goes elsewhere.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
    QCoreApplication::setApplicationName("logosmith");
    SettingsStore store(dir.filePath("logosmith.ini"));
    const QString chosen = resolveRootDir(store, bin);
    EXPECT_TRUE(chosen.startsWith(dir.filePath("data/"))) << chosen.toStdString();
    qunsetenv("XDG_DATA_HOME");
}

TEST(LibraryPaths, TheLibraryFolderIsCreatedInsideAnExistingRootOnly) {
    QTemporaryDir dir;
    EXPECT_TRUE(ensureLibraryFolder(dir.path() + "/"));
    EXPECT_TRUE(QDir(dir.filePath("storeImage")).exists());
    EXPECT_TRUE(ensureLibraryFolder(dir.path() + "/"));
    EXPECT_FALSE(ensureLibraryFolder(dir.filePath("gone/")));
    EXPECT_FALSE(QDir(dir.filePath("gone")).exists());
}
