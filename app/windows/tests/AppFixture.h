#pragma once

#include "app/Session.h"
#include "app/library/LibraryModel.h"
#include "app/state/AppState.h"
#include "app/state/EditorCommandModel.h"
#include "app/windows/MainWindow.h"
#include "platform/SettingsStore.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Picture.h"
#include "tests/support/PrinterTestSupport.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WidgetLookup.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Starts the real program's session on a fresh settings file whose "RootDir" points at a
// temporary program folder, so every test begins as a first start in its own folder. Controls
// are found by their object names.
class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        // An answer a case left unused must not answer the next case's question.
        dialogs().reset();
        logosmith::settingsStore().clear();
        logosmith::settingsStore().writeText("", "RootDir", rootDir());
        logosmith::settingsStore().sync();
        start();
    }
    void TearDown() override { stop(); }

    void start() {
        session_ = std::make_unique<logosmith::Session>(logosmith::settingsStore(), dialogs());
        ASSERT_TRUE(session_->windowsMade());
        session_->start();
        QApplication::processEvents();
    }
    void stop() { session_.reset(); }
    void restart() {
        stop();
        start();
    }

    static logosmith::testing::ScriptedDialogs& dialogs() {
        return logosmith::testing::scriptedDialogs();
    }
    MainWindow& window() { return session_->mainWindow(); }
    logosmith::Session& session() { return *session_; }
    const logosmith::ColourControlsModel& pictures() { return session_->pictures(); }
    logosmith::LibraryModel& library() { return session_->library(); }

    // A control or menu item of the main window, by its object name.
    template <class T = QWidget> T* ui(const QString& name) {
        return logosmith::testing::child<T>(&window(), name);
    }
    QPushButton* button(const QString& name) { return ui<QPushButton>(name); }
    QAction* item(const QString& name) { return ui<QAction>(name); }
    // A dialog of the session, and one of its controls, by object name.
    template <class T = QWidget> static T* dialog(const QString& name) {
        return logosmith::testing::topLevel<T>(name);
    }
    template <class T = QWidget>
    static T* dialogControl(const QString& dialogName, const QString& name) {
        return logosmith::testing::child<T>(dialog(dialogName), name);
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
    int runUntilTheProgramEnds(const std::function<void()>& person) {
        QTimer::singleShot(0, &window(), person);
        QTimer stuck;
        stuck.setSingleShot(true);
        QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
        stuck.start(20000);
        return QApplication::exec();
    }

    // Presses a button and lets the transfer it may start run to its end.
    void press(const QString& name) {
        button(name)->click();
        ASSERT_TRUE(logosmith::testing::waitForTransfer(session_->transfers()));
    }

    // Adds a picture through "Add Image" with the open dialog answered.
    void addPicture(const QString& path) {
        dialogs().openAnswers.push_back(path);
        button("btnAddImage")->click();
    }

    // The library list, and a click on one of its rows as the person clicks it.
    QTreeWidget* list() { return ui<QTreeWidget>("ListView1"); }
    void clickRow(int row) {
        QTreeWidget* view = list();
        const QRect place = view->visualItemRect(view->topLevelItem(row));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
    }

    QTemporaryDir root_;
    QTemporaryDir pictures_;
    std::unique_ptr<logosmith::Session> session_;
};
