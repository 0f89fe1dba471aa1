#pragma once

#include "app/library/ImageLibrary.h"
#include "app/windows/AppWindows.h"
#include "app/windows/MainWindow.h"
#include "platform/SettingsStore.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"
#include "tests/support/PrinterTestSupport.h"
#include "tests/support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Starts the real program's windows on a fresh settings file whose "RootDir" points at a
// temporary program folder, so every test begins as a first start in its own folder.
class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        dialogs().clear();
        logosmith::settingsStore().clear();
        logosmith::settingsStore().writeText("", "RootDir", rootDir());
        logosmith::settingsStore().sync();
        start();
    }
    void TearDown() override { stop(); }

    void start() {
        createWindows();
        Form1->show();
        QApplication::processEvents();
    }
    void stop() {
        if (Form1)
            destroyWindows();
    }
    void restart() {
        stop();
        start();
    }

    static logosmith::testing::ScriptedDialogs& dialogs() {
        return logosmith::testing::scriptedDialogs();
    }
    QString rootDir() const { return root_.path() + "/"; }
    QString libraryDir() const { return rootDir() + "/storeImage/"; }

    // A picture file made for the test: a red block on the left, black on the right,
    // white in between.
    QString makePicture(const QString& name, int width = 40, int height = 30) {
        logosmith::Picture p(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (x < width / 3)
                    p.setPixel(x, y, logosmith::colours::red);
                else if (x >= 2 * width / 3)
                    p.setPixel(x, y, logosmith::colours::black);
            }
        const QString path = pictures_.path() + "/" + name;
        logosmith::writeBmpFile(p, path.toStdString());
        return path;
    }

    // What a file holds now; empty when it cannot be read.
    static QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Runs the event loop as the program does, with the person's first steps queued, until the
    // program asks to end. Answers the loop's result; -1 when it was still running after 20 s.
    static int runUntilTheProgramEnds(const std::function<void()>& person) {
        QTimer::singleShot(0, Form1, person);
        QTimer stuck;
        stuck.setSingleShot(true);
        QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
        stuck.start(20000);
        return QApplication::exec();
    }

    // Presses a button and lets the transfer it may start run to its end.
    static void press(QAbstractButton* button) {
        button->click();
        ASSERT_TRUE(logosmith::testing::waitForTransfer(transferWorker()));
    }

    // Adds a picture through "Add Image" with the open dialog answered.
    void addPicture(const QString& path) {
        dialogs().openAnswers.push_back(path);
        Form1->btnAddImage->click();
    }

    QTemporaryDir root_;
    QTemporaryDir pictures_;
};
