// Window settings written at close and destruction, and applied again at show, on a real
// settings file and real (offscreen) windows.
#include "platform/SettingsStore.h"
#include "platform/widgets/FormStorage.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using logosmith::settingsStore;

namespace {

// A small window built like the program's: print-method radio buttons and a text box, with its
// form storage written from its destructor.
class TestWindow : public QWidget {
  public:
    explicit TestWindow(QStringList props = {"DirectPrint.Checked", "DriverPrinter.Checked",
                                             "Edit1.Text"},
                        bool centred = false, bool fixedSize = true) {
        DirectPrint = new QRadioButton("Direct Print", this);
        DirectPrint->setObjectName("DirectPrint");
        DriverPrinter = new QRadioButton("Window  Driver", this);
        DriverPrinter->setObjectName("DriverPrinter");
        Edit1 = new QLineEdit(this);
        Edit1->setObjectName("Edit1");
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(DirectPrint);
        layout->addWidget(DriverPrinter);
        layout->addWidget(Edit1);
        DirectPrint->setChecked(true);
        if (fixedSize)
            setFixedSize(300, 200);
        else
            resize(300, 200);
        connect(DriverPrinter, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ++driverClicks;
        });
        storage = new FormStorage(this, settingsStore(), "main", props, centred);
    }
    ~TestWindow() override { storage->windowDestroying(); }

    void closeEvent(QCloseEvent* event) override {
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }

    QRadioButton* DirectPrint;
    QRadioButton* DriverPrinter;
    QLineEdit* Edit1;
    FormStorage* storage;
    int driverClicks = 0;
    bool refuseClose = false;
};

QString stored(const QString& name) {
    return settingsStore().readText("main", name, QStringLiteral("<missing>"));
}

void store(const QString& name, const QString& value) {
    settingsStore().writeText("main", name, value);
}

QString rectText(int left, int top, int width, int height) {
    return QStringLiteral("%1,%2,%3,%4").arg(left).arg(top).arg(left + width).arg(top + height);
}

class FormStorageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settingsStore().clear();
        logosmith::testing::scriptedDialogs().clear();
        FormStorage::setScreenOverride(QSize(1024, 768), 96);
    }
    void TearDown() override { FormStorage::setScreenOverride(std::nullopt, std::nullopt); }

    // Shows a window as the program does and lets the offscreen platform settle.
    static void showWindow(QWidget& w) {
        w.show();
        QApplication::processEvents();
    }
};

TEST_F(FormStorageTest, CloseWritesEveryValueAndTheNextShowingRestoresThem) {
    {
        TestWindow w(
            {"Ghost.Checked", "DirectPrint.Checked", "DriverPrinter.Checked", "Edit1.Text"});
        w.setGeometry(100, 120, 300, 200);
        showWindow(w);
        w.Edit1->setFocus();
        w.Edit1->setText(" \tpaint.exe \r\n");
        ASSERT_TRUE(w.close());
        // The client area's rectangle: the one thing every window system reports exactly.
        const QString norm = rectText(100, 120, 300, 200);
        const std::pair<const char*, QString> expected[] = {{"FormVersion", "0"},
                                                            {"Flags", "0"},
                                                            {"ShowCmd", "1"},
                                                            {"PixelsPerInch", "96"},
                                                            {"MinMaxPos(1024x768)", "-1,-1,-1,-1"},
                                                            {"MinMaxPos", "-1,-1,-1,-1"},
                                                            {"NormPos(1024x768)", norm},
                                                            {"NormPos", norm},
                                                            {"ActiveControl", "Edit1"},
                                                            {"Visible", "0"},
                                                            {"DirectPrint_Checked", "True"},
                                                            {"DriverPrinter_Checked", "False"},
                                                            {"Edit1_Text", "paint.exe"}};
        for (const auto& [name, value] : expected)
            EXPECT_EQ(stored(name), value) << name;
        EXPECT_FALSE(settingsStore().valueExists("main", "Ghost_Checked"));
    }
    EXPECT_EQ(stored("Visible"), "0") << "the destruction after a written close adds nothing";

    TestWindow again;
    showWindow(again);
    EXPECT_TRUE(again.storage->positionApplied());
    EXPECT_EQ(again.geometry(), QRect(100, 120, 300, 200));
    EXPECT_EQ(again.Edit1->text(), "paint.exe");
    EXPECT_EQ(again.focusWidget(), again.Edit1);
}

TEST_F(FormStorageTest, WhatIsWrittenDependsOnHowTheWindowEnds) {
    {
        TestWindow never;
        never.close();
    }
    EXPECT_FALSE(settingsStore().groupExists("main")) << "a window never shown writes nothing";
    {
        TestWindow refused;
        showWindow(refused);
        refused.refuseClose = true;
        EXPECT_FALSE(refused.close());
        EXPECT_FALSE(settingsStore().groupExists("main")) << "a refused close writes nothing";
    }
    EXPECT_EQ(stored("Visible"), "1") << "still open at destruction";
}

TEST_F(FormStorageTest, PlaceIsUsedOnlyOnTheSamePixelsPerInch) {
    store("NormPos", "140,90,440,290");
    store("PixelsPerInch", "96");
    // Designed centred, the window goes to its stored place and is never centred again in
    // this run, even on a showing that finds no usable place.
    {
        TestWindow placed({}, true);
        showWindow(placed);
        EXPECT_EQ(placed.geometry().topLeft(), QPoint(140, 90));
        placed.hide();
        store("PixelsPerInch", "120");
        showWindow(placed);
        EXPECT_FALSE(placed.storage->positionApplied());
        EXPECT_EQ(placed.geometry().topLeft(), QPoint(140, 90));
    }
    store("PixelsPerInch", "120");
    TestWindow centred({}, true);
    showWindow(centred);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_NEAR(centred.frameGeometry().center().x(), area.center().x(), 1);
    EXPECT_NEAR(centred.frameGeometry().center().y(), area.center().y(), 1);
}

TEST_F(FormStorageTest, SuffixedPlaceForTheCurrentScreenSizeWinsOverThePlainOne) {
    // Every destruction rewrites the places, so they are stored again before each window.
    const auto showAt = [](const QString& suffixed, const QString& plain) {
        settingsStore().clear();
        store("NormPos(1024x768)", suffixed);
        store("NormPos", plain);
        TestWindow w;
        w.setGeometry(10, 20, 300, 200);
        showWindow(w);
        return w.geometry();
    };
    EXPECT_EQ(showAt("200,150,700,550", "50,60,350,260"), QRect(200, 150, 300, 200))
        << "a fixed-size window keeps its size";
    EXPECT_EQ(showAt("", "50,60,350,260").topLeft(), QPoint(50, 60));
    // A malformed number keeps the window's own edge.
    EXPECT_EQ(showAt("left,200,oops,", "").topLeft(), QPoint(10, 200));
    EXPECT_EQ(showAt("300,40,100,240", "").topLeft(), QPoint(10, 20)) << "left past right";
    // A place on no screen any more would lose the window: it comes back on screen.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(showAt("5000,4000,5300,4200", "")));

    FormStorage::setScreenOverride(QSize(1280, 1024), 96);
    EXPECT_EQ(showAt("200,150,500,350", "50,60,350,260").topLeft(), QPoint(50, 60));
}

TEST_F(FormStorageTest, StoredControlStatesAreSetLikeAPersonWouldAndGarbageIsIgnored) {
    store("DirectPrint_Checked", "False");
    store("DriverPrinter_Checked", "TRUE");
    store("Edit1_Text", "\t notepad \x01");
    {
        TestWindow w;
        showWindow(w);
        EXPECT_TRUE(w.DriverPrinter->isChecked());
        EXPECT_FALSE(w.DirectPrint->isChecked());
        EXPECT_EQ(w.driverClicks, 1);
        EXPECT_EQ(w.Edit1->text(), "notepad");
        // Opening a window that is already open applies nothing.
        store("Edit1_Text", "other");
        w.show();
        EXPECT_EQ(w.Edit1->text(), "notepad");
    }
    settingsStore().clear();
    store("DirectPrint_Checked", "yes");
    store("DriverPrinter_Checked", "1");
    store("ShowCmd", "maximised");
    TestWindow w;
    showWindow(w);
    EXPECT_TRUE(w.DirectPrint->isChecked());
    EXPECT_EQ(w.driverClicks, 0);
    EXPECT_FALSE(w.isMaximized());
    EXPECT_TRUE(logosmith::testing::scriptedDialogs().shown.isEmpty());
}

TEST_F(FormStorageTest, ShowStates) {
    store("ShowCmd", "3");
    {
        TestWindow w({}, false, false);
        showWindow(w);
        EXPECT_TRUE(w.isMaximized());
        w.close();
        EXPECT_EQ(stored("ShowCmd"), "3");
    }
    store("ShowCmd", "6");
    {
        TestWindow w;
        showWindow(w);
        EXPECT_TRUE(w.isMinimized());
        w.close();
        EXPECT_EQ(stored("ShowCmd"), "2");
    }
    store("ShowCmd", "9");
    TestWindow w;
    w.setWindowState(Qt::WindowMaximized);
    showWindow(w);
    EXPECT_FALSE(w.isMaximized());
}

// The settings file cannot be replaced: the failure is reported, the window still closes, and
// the destruction tries again.
TEST_F(FormStorageTest, WriteFailureIsReportedAndDoesNotStopTheClose) {
    const QString file = settingsStore().fileName();
    {
        TestWindow w;
        showWindow(w);
        QFile::remove(file);
        ASSERT_TRUE(QDir().mkpath(file));
        EXPECT_TRUE(w.close());
        EXPECT_EQ(logosmith::testing::scriptedDialogs().texts("error").size(), 1);
    }
    EXPECT_EQ(logosmith::testing::scriptedDialogs().texts("error").size(), 2);
    QDir(file).removeRecursively();
    settingsStore().clear();
}

} // namespace
