#include "platform/SettingsStore.h"
#include "platform/core/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace logosmith;

TEST(SettingsStore, ValuesSurviveAReopenWithTheirTypes) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("logosmith.ini");
    {
        SettingsStore store(ini);
        store.writeText("", "RootDir", "/opt/logosmith/");
        store.writeInteger("nport", "baud", 2);
        store.writeText("history", "n1", "");
        store.sync();
    }
    SettingsStore store(ini);
    EXPECT_EQ(store.readText("", "RootDir").value(), "/opt/logosmith/");
    EXPECT_EQ(store.readInteger("nport", "baud").value(), 2);
    EXPECT_TRUE(store.valueExists("history", "n1"));
    EXPECT_EQ(store.readText("history", "n1").value(), "");
    EXPECT_FALSE(store.valueExists("history", "n2"));
    EXPECT_TRUE(store.groupExists("nport"));
    EXPECT_FALSE(store.groupExists("resol"));
}

TEST(SettingsStore, AnIntegerStoredAsTextThatIsNoNumberIsAnError) {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("s.ini"));
    store.writeText("nport", "port", "COM1");
    EXPECT_THROW(store.readInteger("nport", "port"), SettingsError);
    EXPECT_FALSE(store.readInteger("nport", "missing").has_value());
}

// Qt reads "@Variant(...)" values by trusting the sizes inside them: this line of the settings
// file alone made it allocate gigabytes. The program never writes such values; they are dropped
// and everything else in the file is read as before.
TEST(SettingsStore, SerialisedObjectsInTheFileAreDroppedBeforeQtReadsThem) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("logosmith.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[history]\n"
               "n1=a.bmp\n"
               "n2=@Variant(\\0\\0\\0\\v\\v\\v\\v\\v\\0\\0\\0\\x6\\0\\x61)\n"
               "n3=\"\\x40Var\"iant(\\0\\0\\0\\v\\xb0\\xb0\\xb0\\xb0)\n"
               "n4=@DateTime(\\0\\0\\0\\x10\\0\\x7f\\xff\\xff\\xff, \\\n"
               "continued)\n"
               "s1=100\n");
    file.close();
    SettingsStore store(ini);
    EXPECT_EQ(store.valueNames("history"), (QStringList{"n1", "s1"}));
    EXPECT_EQ(store.readText("history", "n1").value(), "a.bmp");
    EXPECT_EQ(store.readInteger("history", "s1").value(), 100);
}
