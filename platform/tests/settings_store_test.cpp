#include "platform/SettingsStore.h"
#include "platform/core/Error.h"

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
