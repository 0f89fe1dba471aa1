// Window settings written at close and destruction, and applied again at show, on a real
// settings file and real (offscreen) windows.
#include "FormStorage.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

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
        storage = new TFormStorage(this, "main", props, centred);
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
    TFormStorage* storage;
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
        TFormStorage::setScreenOverride(QSize(1024, 768), 96);
    }
    void TearDown() override { TFormStorage::setScreenOverride(std::nullopt, std::nullopt); }

    // Shows a window as the program does and lets the offscreen platform settle.
    static void showWindow(QWidget& w) {
        w.show();
        QApplication::processEvents();
    }
};

TEST_F(FormStorageTest, ShowThenCloseWritesEveryValueAndDestructionAddsNothing) {
    {
        TestWindow w;
        w.move(100, 120);
        showWindow(w);
        w.Edit1->setFocus();
        w.Edit1->setText(" \tpaint.exe \r\n");
        ASSERT_TRUE(w.close());
        EXPECT_TRUE(w.storage->saved());

        EXPECT_EQ(stored("FormVersion"), "0");
        EXPECT_EQ(stored("Flags"), "0");
        EXPECT_EQ(stored("ShowCmd"), "1");
        EXPECT_EQ(stored("PixelsPerInch"), "96");
        EXPECT_EQ(stored("MinMaxPos(1024x768)"), "-1,-1,-1,-1");
        EXPECT_EQ(stored("MinMaxPos"), "-1,-1,-1,-1");
        const QRect frame = w.frameGeometry();
        EXPECT_EQ(frame.topLeft(), QPoint(100, 120));
        EXPECT_EQ(stored("NormPos(1024x768)"), rectText(100, 120, frame.width(), frame.height()));
        EXPECT_EQ(stored("NormPos"), stored("NormPos(1024x768)"));
        EXPECT_EQ(stored("ActiveControl"), "Edit1");
        EXPECT_EQ(stored("Visible"), "0");
        EXPECT_EQ(stored("DirectPrint_Checked"), "True");
        EXPECT_EQ(stored("DriverPrinter_Checked"), "False");
        EXPECT_EQ(stored("Edit1_Text"), "paint.exe");
    }
    // The destruction after a written close writes nothing more.
    EXPECT_EQ(stored("Visible"), "0");
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
        EXPECT_TRUE(refused.isVisible());
        EXPECT_FALSE(settingsStore().groupExists("main")) << "a refused close writes nothing";
    }
    EXPECT_EQ(stored("Visible"), "1") << "still open at destruction";

    settingsStore().clear();
    {
        TestWindow hidden;
        showWindow(hidden);
        hidden.hide();
        hidden.close(); // off screen: nothing to write yet
        EXPECT_FALSE(settingsStore().groupExists("main"));
    }
    EXPECT_EQ(stored("Visible"), "1");
}

TEST_F(FormStorageTest, PlaceIsRestoredOnlyOnTheSamePixelsPerInch) {
    {
        TestWindow first;
        first.move(140, 90);
        showWindow(first);
        first.close();
    }
    {
        TestWindow again;
        showWindow(again);
        EXPECT_TRUE(again.storage->positionApplied());
        EXPECT_EQ(again.frameGeometry().topLeft(), QPoint(140, 90));
    }

    // A window designed centred goes to its stored place, and once placed is never centred
    // again in this run, even on a showing that finds no usable place.
    {
        TestWindow placed({}, true);
        showWindow(placed);
        EXPECT_EQ(placed.frameGeometry().topLeft(), QPoint(140, 90));
        placed.hide();
        store("PixelsPerInch", "120");
        showWindow(placed);
        EXPECT_FALSE(placed.storage->positionApplied());
        EXPECT_EQ(placed.frameGeometry().topLeft(), QPoint(140, 90));
    }

    store("PixelsPerInch", "120");
    {
        TestWindow centred({}, true);
        showWindow(centred);
        EXPECT_FALSE(centred.storage->positionApplied());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_NEAR(centred.frameGeometry().center().x(), area.center().x(), 1);
        EXPECT_NEAR(centred.frameGeometry().center().y(), area.center().y(), 1);
    }
}

TEST_F(FormStorageTest, SuffixedPlaceForTheCurrentScreenSizeWinsOverThePlainOne) {
    const auto storePlaces = [] {
        store("PixelsPerInch", "96");
        store("NormPos(1024x768)", "200,150,500,350");
        store("NormPos", "50,60,350,260");
    };
    storePlaces();
    {
        TestWindow w;
        showWindow(w);
        EXPECT_EQ(w.pos(), QPoint(200, 150));
        EXPECT_EQ(w.size(), QSize(300, 200)) << "a fixed-size window keeps its size";
    }
    storePlaces();
    TFormStorage::setScreenOverride(QSize(1280, 1024), 96);
    {
        TestWindow w;
        showWindow(w);
        EXPECT_EQ(w.pos(), QPoint(50, 60));
    }
    // Both the suffixed and the plain value were rewritten by the destruction.
    EXPECT_EQ(stored("NormPos(1280x1024)"), stored("NormPos"));
    EXPECT_EQ(stored("NormPos(1024x768)"), "200,150,500,350");

    // An empty suffixed value counts as missing.
    storePlaces();
    store("NormPos(1280x1024)", "");
    {
        TestWindow w;
        showWindow(w);
        EXPECT_EQ(w.pos(), QPoint(50, 60));
    }
}

TEST_F(FormStorageTest, ResizableWindowTakesTheStoredSize) {
    store("NormPos", "30,40,430,340");
    TestWindow w({}, false, false);
    showWindow(w);
    EXPECT_EQ(w.frameGeometry(), QRect(30, 40, 400, 300));
}

TEST_F(FormStorageTest, MalformedOrLostPlacesFallBackSafely) {
    // A malformed number keeps the window's own edge; the good ones are still used.
    {
        TestWindow w;
        w.move(70, 80);
        store("NormPos", "left,200,oops,");
        showWindow(w);
        EXPECT_EQ(w.pos(), QPoint(70, 200));
    }
    // A place on no screen any more is brought back onto the primary screen.
    settingsStore().clear();
    {
        store("NormPos", "5000,4000,5300,4200");
        TestWindow w;
        showWindow(w);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(area.contains(w.frameGeometry())) << w.frameGeometry().x();
    }
    // Left edge not before the right edge: the place is not used.
    settingsStore().clear();
    {
        store("NormPos", "300,40,100,240");
        TestWindow w;
        w.move(10, 20);
        showWindow(w);
        EXPECT_FALSE(w.storage->positionApplied());
        EXPECT_EQ(w.pos(), QPoint(10, 20));
    }
}

TEST_F(FormStorageTest, StoredCheckStateRunsTheToggleHandlerOnce) {
    store("DirectPrint_Checked", "False");
    store("DriverPrinter_Checked", "TRUE");
    TestWindow w;
    showWindow(w);
    EXPECT_TRUE(w.DriverPrinter->isChecked());
    EXPECT_FALSE(w.DirectPrint->isChecked());
    EXPECT_EQ(w.driverClicks, 1);
    w.close();
    EXPECT_EQ(stored("DriverPrinter_Checked"), "True");
    EXPECT_EQ(stored("DirectPrint_Checked"), "False");
}

TEST_F(FormStorageTest, GarbageTextsLeavePropertiesUnchanged) {
    store("DirectPrint_Checked", "yes");
    store("DriverPrinter_Checked", "1");
    store("Edit1_Text", "\t notepad \x01");
    store("ShowCmd", "maximised");
    store("FormVersion", "new");
    TestWindow w;
    showWindow(w);
    EXPECT_TRUE(w.DirectPrint->isChecked());
    EXPECT_FALSE(w.DriverPrinter->isChecked());
    EXPECT_EQ(w.driverClicks, 0);
    EXPECT_EQ(w.Edit1->text(), "notepad");
    EXPECT_FALSE(w.isMaximized());
    EXPECT_TRUE(logosmith::testing::scriptedDialogs().shown.isEmpty());
}

TEST_F(FormStorageTest, OlderVersionIsIgnoredButTheWindowIsStillWritten) {
    store("FormVersion", "-1");
    store("NormPos", "200,150,500,350");
    store("DriverPrinter_Checked", "True");
    {
        TestWindow w;
        w.move(10, 20);
        showWindow(w);
        EXPECT_EQ(w.pos(), QPoint(10, 20));
        EXPECT_FALSE(w.DriverPrinter->isChecked());
    }
    EXPECT_EQ(stored("FormVersion"), "0");
    EXPECT_EQ(stored("Visible"), "1");
    EXPECT_EQ(stored("DriverPrinter_Checked"), "False");
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
    {
        TestWindow w;
        w.setWindowState(Qt::WindowMaximized);
        showWindow(w);
        EXPECT_FALSE(w.isMaximized());
        EXPECT_FALSE(w.isMinimized());
    }
}

TEST_F(FormStorageTest, AppliedAtEachShowingButNotWhileAlreadyVisible) {
    TestWindow w;
    showWindow(w);
    store("Edit1_Text", "first");
    w.show(); // already open: only brought up again
    EXPECT_EQ(w.Edit1->text(), "");
    w.close();
    EXPECT_EQ(stored("Edit1_Text"), "");
    store("Edit1_Text", "second");
    showWindow(w);
    EXPECT_EQ(w.Edit1->text(), "second");
    EXPECT_FALSE(w.storage->saved()) << "an apply clears the saved flag";
}

TEST_F(FormStorageTest, ActiveControlIsFocusedOnlyWhenItCanTakeFocus) {
    store("ActiveControl", "Edit1");
    {
        TestWindow w;
        showWindow(w);
        EXPECT_EQ(w.focusWidget(), w.Edit1);
    }
    store("ActiveControl", "Edit1");
    {
        TestWindow w;
        w.Edit1->setEnabled(false);
        showWindow(w);
        EXPECT_NE(w.focusWidget(), w.Edit1);
    }
}

TEST_F(FormStorageTest, EntriesNamingNoComponentOrPropertyAreDropped) {
    store("Ghost_Checked", "True");
    {
        TestWindow w({"Ghost.Checked", "DriverPrinter.Colour", "Broken", "Edit1.Text"});
        showWindow(w);
        w.Edit1->setText("kept");
    }
    EXPECT_EQ(stored("Edit1_Text"), "kept");
    EXPECT_EQ(stored("Ghost_Checked"), "True") << "left as it was";
    EXPECT_FALSE(settingsStore().valueExists("main", "DriverPrinter_Colour"));
    EXPECT_FALSE(settingsStore().valueExists("main", "Broken"));
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
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.storage->saved());
        EXPECT_EQ(logosmith::testing::scriptedDialogs().texts("error").size(), 1);
    }
    EXPECT_EQ(logosmith::testing::scriptedDialogs().texts("error").size(), 2);
    QDir(file).removeRecursively();
    settingsStore().clear();
}

} // namespace
