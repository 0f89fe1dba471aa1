#include "app/library/ImageLibrary.h"
#include "platform/SettingsStore.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace logosmith;

namespace {

void put(const QString& path, const QByteArray& bytes = "BM") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A real program folder with its library folder, a real settings file, real source files.
class Library : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(folder)); }
    QString source(const QString& name, int length = 10) {
        put(dir.filePath(name), QByteArray(length, 'x'));
        return dir.filePath(name);
    }
    std::vector<std::uint8_t> stored(const QString& name) {
        return readWholeFile((folder + name).toStdString());
    }
    bool has(const QString& name) { return fileExists((folder + name).toStdString()); }
    QString column(QString LibraryEntry::*field) {
        QStringList out;
        for (const LibraryEntry& e : library.entries())
            out << e.*field;
        return out.join(',');
    }
    void history(const QStringList& names) {
        for (int i = 0; i < names.size(); ++i)
            if (names[i] != "-")
                store.writeText("history", QString("n%1").arg(i + 1), names[i]);
    }

    QTemporaryDir dir;
    QString folder = libraryFolder(dir.path() + "/");
    SettingsStore store{dir.filePath("logosmith.ini")};
    ImageLibrary library{folder};
    Picture preview{4, 3, colours::red}, working{4, 3, colours::blue};
};

TEST_F(Library, AddsUpToTenEntriesAndWritesThemOnlyAtTheCommit) {
    library.AddLibraryEntry(source("logo.jpg", 1234));
    EXPECT_EQ(library.entries()[0], (LibraryEntry{"1", "logo.bmp", "1234"}));
    EXPECT_FALSE(has("logo.bmp"));
    library.CommitCurrentImage(preview, working);
    EXPECT_EQ(stored("logo.bmp"), encodeBmp24(preview));
    EXPECT_EQ(stored("tempImage.bmp"), encodeBmp24(working));

    for (int i = 2; i <= 10; ++i)
        library.AddLibraryEntry(source(QString("p%1.gif").arg(i)));
    EXPECT_TRUE(library.isFull());
    EXPECT_THROW(library.AddLibraryEntry(source("eleven.jpg")), Error);
    // The displayed picture now belongs to no entry: a commit must not put it over p10.bmp.
    EXPECT_FALSE(library.LastImageLive());
    library.CommitCurrentImage(preview, working);
    EXPECT_FALSE(has("p10.bmp"));
}

TEST_F(Library, DuplicatesIgnoreFolderExtensionAndCaseAndTheScratchNameIsReserved) {
    library.AddLibraryEntry(source("logo.jpg"));
    EXPECT_EQ(library.findDuplicate("D:\\other\\logo.png.gif"), 0);
    EXPECT_TRUE(library.IsInLibrary("/elsewhere/LOGO.bmp"));
    EXPECT_FALSE(library.IsInLibrary("/elsewhere/logo2.jpg"));
    EXPECT_THROW(library.AddLibraryEntry(source("LoGo.gif")), Error);
    EXPECT_TRUE(ImageLibrary::isReservedName("/pics/TEMPIMAGE.old.png"));
    EXPECT_THROW(library.AddLibraryEntry(source("tempimage.gif")), Error);
    EXPECT_EQ(library.count(), 1);
}

TEST_F(Library, AFailedCommitLeavesEveryStoredFileWhole) {
    library.AddLibraryEntry(source("logo.jpg"));
    library.CommitCurrentImage(preview, working);
    {
        // The disk is full before the new picture's 90 bytes are written.
        logosmith::testing::FileSizeLimit full(60);
        EXPECT_THROW(library.CommitCurrentImage(Picture(4, 3, colours::green), working), FileError);
    }
    EXPECT_EQ(stored("logo.bmp"), encodeBmp24(preview));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2); // no leftovers

    // A library folder that became a regular file: writes and deletes fail, the row stays.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    put(dir.filePath("storeImage"), "keep");
    EXPECT_THROW(library.CommitCurrentImage(preview, working), FileError);
    EXPECT_THROW(library.deleteEntry(0, preview, working), FileError);
    EXPECT_EQ(library.count(), 1);
}

TEST_F(Library, OnlyTheLastEntryIsLoadedFromTheScratchSource) {
    put(folder + "a.bmp");
    put(folder + "b.bmp");
    put(folder + "tempImage.bmp");
    history({"a.bmp", "b.bmp"});
    library.RestoreHistory(store);
    const auto last = library.selectionFor(1);
    EXPECT_EQ(last->fileToLoad, folder + "tempImage.bmp");
    EXPECT_TRUE(last->liveAfterLoad);
    EXPECT_EQ(last->pathBoxText, "/storeImage/b.bmp");
    EXPECT_EQ(library.selectionFor(0)->fileToLoad, folder + "a.bmp");
    EXPECT_FALSE(library.selectionFor(0)->liveAfterLoad);

    QFile::remove(folder + "tempImage.bmp");
    EXPECT_FALSE(library.selectionFor(1)->liveAfterLoad);
    QFile::remove(folder + "b.bmp");
    EXPECT_FALSE(library.selectionFor(1)); // stored file gone: nothing to load
}

TEST_F(Library, DeletingRemovesFilesAndRenumbersFromTheGap) {
    for (const char* name : {"b.bmp", "c.bmp", "d.bmp"})
        put(folder + name);
    history({"", "b.bmp", "c.bmp", "d.bmp"});
    library.RestoreHistory(store);
    EXPECT_EQ(column(&LibraryEntry::number), "2,3,4");
    library.deleteEntry(1, preview, working);
    EXPECT_EQ(column(&LibraryEntry::name), "b.bmp,d.bmp");
    EXPECT_EQ(column(&LibraryEntry::number), "2,2"); // entries before the gap keep theirs
    EXPECT_FALSE(has("c.bmp"));

    put(folder + "tempImage.bmp");
    library.deleteEntry(1, preview, working);
    EXPECT_FALSE(has("d.bmp") || has("tempImage.bmp"));
    library.deleteEntry(0, preview, working);
    EXPECT_TRUE(library.isEmpty() && QDir(folder).isEmpty(QDir::Files | QDir::Hidden));
}

TEST_F(Library, DeletingAnotherEntryFirstSavesTheLiveLastPicture) {
    library.AddLibraryEntry(source("a.jpg"));
    library.CommitCurrentImage(preview, working);
    library.AddLibraryEntry(source("b.jpg")); // live, not committed yet
    library.deleteEntry(0, preview, working);
    EXPECT_EQ(stored("b.bmp"), encodeBmp24(preview));
    EXPECT_EQ(stored("tempImage.bmp"), encodeBmp24(working));
    EXPECT_TRUE(library.selectionFor(0)->liveAfterLoad);
}

TEST_F(Library, HistoryRoundTripFillsTheRemainingSlotsWithEmptyText) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        library.AddLibraryEntry(source(name, 20));
        library.CommitCurrentImage(preview, working);
    }
    library.SaveHistory(store);
    SettingsStore reopened(dir.filePath("logosmith.ini"));
    for (int k = 4; k <= 10; ++k) {
        EXPECT_EQ(reopened.readText("history", QString("n%1").arg(k)), QString(""));
        EXPECT_EQ(reopened.readText("history", QString("s%1").arg(k)), QString(""));
    }
    ImageLibrary next(folder);
    next.RestoreHistory(reopened);
    EXPECT_EQ(next.entries(), library.entries());
}

TEST_F(Library, AnEmptySlotIsSkippedAMissingOneEndsTheHistory) {
    for (const char* name : {"a.bmp", "c.bmp", "e.bmp", "x.bmp"})
        put(folder + name);
    history({"a.bmp", "", "c.bmp", "gone.bmp", "e.bmp", "-", "x.bmp"});
    library.RestoreHistory(store);
    EXPECT_EQ(column(&LibraryEntry::name), "a.bmp,c.bmp,e.bmp");
    EXPECT_EQ(column(&LibraryEntry::number), "1,3,5");
}

TEST_F(Library, UnsafeHistoryNamesAreNeverFollowed) {
    put(dir.filePath("outside.bmp"));
    QDir().mkpath(folder + "sub");
    for (const char* name : {"sub/x.bmp", "tempImage.bmp", "pic.jpg", "ok.bmp", "ok.v2.bmp"})
        put(folder + name);
    history({"../outside.bmp", "..\\outside.bmp", "sub/x.bmp", "TEMPIMAGE.bmp", "pic.jpg",
             folder + "ok.bmp", "ok.bmp", "OK.bmp", "ok.v2.bmp"});
    library.RestoreHistory(store);
    EXPECT_EQ(column(&LibraryEntry::name), "ok.bmp,ok.v2.bmp"); // a distinct file, kept
    EXPECT_EQ(column(&LibraryEntry::number), "7,9");
}

} // namespace
