// The program as a process: its information options, pictures named on its command line, and
// the close-down that a termination signal runs.
#include "platform/SettingsStore.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace logosmith;

namespace {

QString program() {
    return qEnvironmentVariable("LOGOSMITH_BIN_DIR", ".") + "/logosmith";
}

QString makePicture(const QString& path) {
    Picture picture(30, 20);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 20; ++y)
            picture.setPixel(x, y, colours::red);
    writeBmpFile(picture, path.toStdString());
    return path;
}

bool waitForFile(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path) && timer.elapsed() < 60000)
        QThread::msleep(50);
    return QFile::exists(path);
}

} // namespace

TEST(Program, AnswersVersionWithoutADisplayAndRefusesAnUnknownOption) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(env);
    process.start(program(), {"--version"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput(), "logosmith " LOGOSMITH_VERSION "\n");

    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program(), {"--bogus", "logo.bmp"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("unknown option --bogus"));
}

TEST(Program, AddsThePicturesItIsGivenAndKeepsThemWhenTerminated) {
    QTemporaryDir home;
    const QString root = home.filePath("root") + "/";
    QDir().mkpath(root);
    const QString ini = home.filePath("config/KORVANT/logosmith.ini");
    {
        SettingsStore store(ini);
        store.writeText("", "RootDir", root);
        store.sync();
    }
    const QString first = makePicture(home.filePath("first.bmp"));
    const QString second = makePicture(home.filePath("second.bmp"));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));
    env.insert("XDG_CACHE_HOME", home.filePath("cache"));
    process.setProcessEnvironment(env);
    process.start(program(), {first, second});
    ASSERT_TRUE(process.waitForStarted());
    // Adding the second picture commits the first: from then on both are in the library.
    ASSERT_TRUE(waitForFile(root + "/storeImage/first.bmp"));
    process.terminate(); // SIGTERM, as at the end of a session
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);

    // The close-down ran: the last picture is written and the history names both.
    EXPECT_TRUE(QFile::exists(root + "/storeImage/second.bmp"));
    const SettingsStore store(ini);
    EXPECT_EQ(store.readText("history", "n1"), "first.bmp");
    EXPECT_EQ(store.readText("history", "n2"), "second.bmp");
}
