#include "AtomicFile.h"
#include "BmpFile.h"
#include "Error.h"
#include "ImageLibrary.h"
#include "Picture.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace logosmith;

namespace {

Picture filled(int w, int h, Colour c) {
    Picture p(w, h);
    p.fill(c);
    return p;
}

std::vector<std::uint8_t> bytesOf(const QString& path) {
    return readWholeFile(QFile::encodeName(path).toStdString());
}

bool exists(const QString& path) {
    return fileExists(QFile::encodeName(path).toStdString());
}

void writeText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A real library folder under a real program folder, a real settings file and a folder of
// source pictures (only their names and lengths matter to the library).
class LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QDir().mkpath(dir.filePath("src")));
    }

    QString source(const QString& name, int length = 10) {
        const QString path = dir.filePath("src/" + name);
        writeText(path, QByteArray(length, 'x'));
        return path;
    }
    // A stored library file, as an earlier run would have left it.
    void storeFile(const QString& name, const QByteArray& bytes = "BM") {
        writeText(folder + name, bytes);
    }
    QStringList names() const {
        QStringList out;
        for (const LibraryEntry& e : library.entries())
            out << e.name;
        return out;
    }
    QStringList numbers() const {
        QStringList out;
        for (const LibraryEntry& e : library.entries())
            out << e.number;
        return out;
    }

    QTemporaryDir dir;
    QString folder = libraryFolder(dir.path() + "/");
    SettingsStore store{dir.filePath("logosmith.ini")};
    ImageLibrary library{folder};
    Picture preview = filled(4, 3, colours::red);
    Picture working = filled(5, 2, colours::blue);
};

TEST_F(LibraryTest, AddingNumbersTheEntryAndWritesNothingUntilTheCommit) {
    library.AddLibraryEntry(source("logo.jpg", 1234));
    library.AddLibraryEntry(source("shop.logo.gif", 7));
    ASSERT_EQ(library.count(), 2);
    EXPECT_EQ(library.entries()[0], (LibraryEntry{"1", "logo.bmp", "1234"}));
    EXPECT_EQ(library.entries()[1], (LibraryEntry{"2", "shop.bmp", "7"}));
    EXPECT_TRUE(library.LastImageLive());
    EXPECT_TRUE(QDir(folder).isEmpty(QDir::Files | QDir::Hidden));

    library.CommitCurrentImage(preview, working);
    EXPECT_EQ(bytesOf(folder + "shop.bmp"), encodeBmp24(preview));
    EXPECT_EQ(bytesOf(folder + "tempImage.bmp"), encodeBmp24(working));
    EXPECT_FALSE(exists(folder + "logo.bmp")); // never live while last after commit
    EXPECT_TRUE(library.LastImageLive());
}

TEST_F(LibraryTest, TenEntriesIsTheLimit) {
    for (int i = 0; i < 10; ++i)
        library.AddLibraryEntry(source(QString("p%1.jpg").arg(i)));
    EXPECT_TRUE(library.isFull());
    EXPECT_EQ(library.entries().last().number, "10");
    EXPECT_THROW(library.AddLibraryEntry(source("eleven.jpg")), Error);
    EXPECT_EQ(library.count(), 10);
    // The displayed picture is no entry's now: committing it would overwrite p9.bmp.
    EXPECT_FALSE(library.LastImageLive());
    library.CommitCurrentImage(preview, working);
    EXPECT_FALSE(exists(folder + "p9.bmp"));
}

TEST_F(LibraryTest, DuplicatesIgnoreFolderExtensionAndLetterCase) {
    library.AddLibraryEntry(source("logo.jpg"));
    EXPECT_EQ(library.findDuplicate("D:\\other\\logo.png.gif"), 0);
    EXPECT_TRUE(library.IsInLibrary("/elsewhere/LOGO.bmp"));
    EXPECT_TRUE(library.IsInLibrary("/elsewhere/Logo.wmf"));
    EXPECT_FALSE(library.IsInLibrary("/elsewhere/logo2.jpg"));
    EXPECT_FALSE(library.IsInLibrary("/elsewhere/log.jpg"));

    EXPECT_THROW(library.AddLibraryEntry(source("LoGo.gif")), Error);
    EXPECT_EQ(library.count(), 1);
    EXPECT_FALSE(library.LastImageLive());
}

TEST_F(LibraryTest, TheScratchFileNameIsReservedInAnyCase) {
    EXPECT_TRUE(ImageLibrary::isReservedName("C:\\pics\\tempImage.jpg"));
    EXPECT_TRUE(ImageLibrary::isReservedName("/pics/TEMPIMAGE.old.png"));
    EXPECT_FALSE(ImageLibrary::isReservedName("/pics/tempImage2.png"));
    EXPECT_THROW(library.AddLibraryEntry(source("tempimage.gif")), Error);
    EXPECT_TRUE(library.isEmpty());
}

TEST_F(LibraryTest, AMissingSourceFileAddsNothing) {
    EXPECT_THROW(library.AddLibraryEntry(dir.filePath("src/vanished.jpg")), FileError);
    EXPECT_TRUE(library.isEmpty());
    EXPECT_FALSE(library.LastImageLive());
}

TEST_F(LibraryTest, AFailedCommitLeavesThePreviousFilesWhole) {
    library.AddLibraryEntry(source("logo.jpg"));
    library.CommitCurrentImage(preview, working);
    const auto storedBefore = bytesOf(folder + "logo.bmp");
    const auto tempBefore = bytesOf(folder + "tempImage.bmp");

    library.setBeforeRenameHook([] { throw FileError("disk gone"); });
    EXPECT_THROW(
        library.CommitCurrentImage(filled(9, 9, colours::green), filled(9, 9, colours::black)),
        FileError);
    EXPECT_EQ(bytesOf(folder + "logo.bmp"), storedBefore);
    EXPECT_EQ(bytesOf(folder + "tempImage.bmp"), tempBefore);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2); // no leftovers
    EXPECT_TRUE(library.LastImageLive());
}

TEST_F(LibraryTest, AnUnwritableFolderIsAFileError) {
    library.AddLibraryEntry(source("logo.jpg"));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_THROW(library.CommitCurrentImage(preview, working), FileError);

    // A folder path that is a regular file: writing and deleting fail, the row stays.
    writeText(dir.filePath("storeImage"), "keep me");
    EXPECT_THROW(library.CommitCurrentImage(preview, working), FileError);
    EXPECT_THROW(library.deleteEntry(0, preview, working), FileError);
    EXPECT_EQ(library.count(), 1);
    QFile file(dir.filePath("storeImage"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
}

TEST_F(LibraryTest, NothingIsCommittedWhenTheLastEntryIsNotLive) {
    storeFile("a.bmp", "old");
    store.writeText("history", "n1", "a.bmp");
    library.RestoreHistory(store);
    library.CommitCurrentImage(preview, working);
    EXPECT_EQ(bytesOf(folder + "a.bmp"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_FALSE(exists(folder + "tempImage.bmp"));
}

TEST_F(LibraryTest, SelectingLoadsTheScratchSourceOnlyForTheLastEntry) {
    storeFile("a.bmp");
    storeFile("b.bmp");
    storeFile("tempImage.bmp");
    store.writeText("history", "n1", "a.bmp");
    store.writeText("history", "n2", "b.bmp");
    library.RestoreHistory(store);

    const auto last = library.selectionFor(1);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->fileToLoad, folder + "tempImage.bmp");
    EXPECT_TRUE(last->liveAfterLoad);
    EXPECT_EQ(last->pathBoxText, "/storeImage/b.bmp");
    library.selectionLoaded(*last);
    EXPECT_TRUE(library.LastImageLive());

    const auto first = library.selectionFor(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->fileToLoad, folder + "a.bmp");
    EXPECT_FALSE(first->liveAfterLoad);
    library.selectionLoaded(*first);
    EXPECT_FALSE(library.LastImageLive());

    ASSERT_TRUE(QFile::remove(folder + "tempImage.bmp"));
    EXPECT_EQ(library.selectionFor(1)->fileToLoad, folder + "b.bmp");
    EXPECT_FALSE(library.selectionFor(1)->liveAfterLoad);

    // A stored file gone missing: nothing to load, even with the scratch file present.
    storeFile("tempImage.bmp");
    ASSERT_TRUE(QFile::remove(folder + "b.bmp"));
    EXPECT_FALSE(library.selectionFor(1));
    EXPECT_FALSE(library.selectionFor(2));
    EXPECT_FALSE(library.selectionFor(-1));
}

TEST_F(LibraryTest, DeletingTheLastEntryRemovesItsScratchSource) {
    library.AddLibraryEntry(source("a.jpg"));
    library.CommitCurrentImage(preview, working);
    library.AddLibraryEntry(source("b.jpg"));
    library.CommitCurrentImage(preview, working);

    library.deleteEntry(1, preview, working);
    EXPECT_EQ(names(), QStringList{"a.bmp"});
    EXPECT_FALSE(library.LastImageLive());
    EXPECT_FALSE(exists(folder + "b.bmp"));
    EXPECT_FALSE(exists(folder + "tempImage.bmp"));
    // The new last entry can only be shown from its stored picture.
    EXPECT_EQ(library.selectionFor(0)->fileToLoad, folder + "a.bmp");
    EXPECT_FALSE(library.selectionFor(0)->liveAfterLoad);
}

TEST_F(LibraryTest, DeletingRenumbersFromTheGapOnwards) {
    for (const char* name : {"b.bmp", "c.bmp", "d.bmp"})
        storeFile(name);
    store.writeText("history", "n1", "");
    store.writeText("history", "n2", "b.bmp");
    store.writeText("history", "n3", "c.bmp");
    store.writeText("history", "n4", "d.bmp");
    library.RestoreHistory(store);
    EXPECT_EQ(numbers(), (QStringList{"2", "3", "4"}));

    library.deleteEntry(1, preview, working);
    EXPECT_EQ(names(), (QStringList{"b.bmp", "d.bmp"}));
    // Entries before the deleted one keep their slot numbers.
    EXPECT_EQ(numbers(), (QStringList{"2", "2"}));
    EXPECT_FALSE(exists(folder + "c.bmp"));
    EXPECT_TRUE(exists(folder + "d.bmp"));

    library.deleteEntry(0, preview, working);
    EXPECT_EQ(numbers(), QStringList{"1"});
    library.deleteEntry(0, preview, working);
    EXPECT_TRUE(library.isEmpty());
    EXPECT_TRUE(QDir(folder).isEmpty(QDir::Files | QDir::Hidden));
    EXPECT_THROW(library.deleteEntry(0, preview, working), Error);
    // With no entries later commits write nothing.
    library.CommitCurrentImage(preview, working);
    EXPECT_TRUE(QDir(folder).isEmpty(QDir::Files | QDir::Hidden));
}

TEST_F(LibraryTest, DeletingAnotherEntryFirstSavesTheLiveLastPicture) {
    library.AddLibraryEntry(source("a.jpg"));
    library.CommitCurrentImage(preview, working);
    library.AddLibraryEntry(source("b.jpg")); // live, never committed yet

    library.deleteEntry(0, preview, working);
    EXPECT_EQ(names(), QStringList{"b.bmp"});
    EXPECT_EQ(bytesOf(folder + "b.bmp"), encodeBmp24(preview));
    EXPECT_EQ(bytesOf(folder + "tempImage.bmp"), encodeBmp24(working));
    // So selecting it again brings the source back for another conversion.
    const auto again = library.selectionFor(library.lastIndex());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->fileToLoad, folder + "tempImage.bmp");
    EXPECT_TRUE(again->liveAfterLoad);
}

TEST_F(LibraryTest, HistoryRoundTripFillsEveryRemainingSlotWithEmptyText) {
    library.AddLibraryEntry(source("a.jpg", 11));
    library.CommitCurrentImage(preview, working);
    library.AddLibraryEntry(source("b.jpg", 22));
    library.CommitCurrentImage(preview, working);
    library.AddLibraryEntry(source("c.jpg", 33));
    library.CommitCurrentImage(preview, working);
    library.SaveHistory(store);

    SettingsStore reopened(dir.filePath("logosmith.ini"));
    EXPECT_EQ(reopened.readText("history", "n3").value(), "c.bmp");
    EXPECT_EQ(reopened.readText("history", "s2").value(), "22");
    for (int k = 4; k <= 10; ++k) {
        EXPECT_EQ(reopened.readText("history", QString("n%1").arg(k)), QString("")) << k;
        EXPECT_EQ(reopened.readText("history", QString("s%1").arg(k)), QString("")) << k;
    }
    EXPECT_FALSE(reopened.valueExists("history", "n11"));

    ImageLibrary next(folder);
    next.RestoreHistory(reopened);
    EXPECT_EQ(next.entries(), library.entries());
    EXPECT_FALSE(next.LastImageLive());
    // c.bmp comes back from its scratch source, and stays convertible.
    EXPECT_EQ(next.selectionFor(2)->fileToLoad, folder + "tempImage.bmp");
}

TEST_F(LibraryTest, AnEmptySlotIsSkippedButAMissingOneEndsTheHistory) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        storeFile(name);
    store.writeText("history", "n1", "a.bmp");
    store.writeText("history", "s1", "100");
    store.writeText("history", "n2", "");
    store.writeText("history", "n3", "c.bmp");
    library.RestoreHistory(store);
    EXPECT_EQ(names(), (QStringList{"a.bmp", "c.bmp"}));
    EXPECT_EQ(numbers(), (QStringList{"1", "3"}));
    EXPECT_EQ(library.entries()[0].size, "100");
    EXPECT_EQ(library.entries()[1].size, ""); // "s3" missing

    store.remove("history", "n2");
    library.RestoreHistory(store);
    EXPECT_EQ(names(), QStringList{"a.bmp"});
}

TEST_F(LibraryTest, HistoryEntriesWithoutTheirFileAreDropped) {
    storeFile("c.bmp");
    store.writeText("history", "n1", "gone.bmp");
    store.writeText("history", "n2", "c.bmp");
    library.RestoreHistory(store);
    EXPECT_EQ(names(), QStringList{"c.bmp"});
    EXPECT_EQ(numbers(), QStringList{"2"});
}

TEST_F(LibraryTest, WithoutAHistoryTheListStaysAsItIs) {
    library.AddLibraryEntry(source("a.jpg"));
    library.RestoreHistory(store);
    EXPECT_EQ(names(), QStringList{"a.bmp"});
}

TEST_F(LibraryTest, UnsafeHistoryNamesAreNeverFollowed) {
    writeText(dir.filePath("outside.bmp"), "secret");
    ASSERT_TRUE(QDir().mkpath(folder + "sub"));
    storeFile("sub/x.bmp");
    storeFile("tempImage.bmp");
    storeFile("pic.jpg");
    storeFile("ok.bmp");
    storeFile("a..b.bmp");
    const QStringList unsafe{"../outside.bmp", "sub/x.bmp", "..\\outside.bmp", "tempImage.bmp",
                             "TEMPIMAGE.bmp",  "pic.jpg",   "a..b.bmp",        folder + "ok.bmp"};
    for (int i = 0; i < unsafe.size(); ++i)
        store.writeText("history", QString("n%1").arg(i + 1), unsafe[i]);
    store.writeText("history", "n9", "ok.bmp");
    store.writeText("history", "n10", "OK.bmp"); // would share ok.bmp's file
    library.RestoreHistory(store);
    EXPECT_EQ(names(), QStringList{"ok.bmp"});
    EXPECT_EQ(numbers(), QStringList{"9"});

    EXPECT_TRUE(isSafeLibraryName(".bmp"));
    EXPECT_FALSE(isSafeLibraryName(""));
    EXPECT_FALSE(isSafeLibraryName(QString("a") + QChar(0) + "/../x.bmp"));
}

} // namespace
