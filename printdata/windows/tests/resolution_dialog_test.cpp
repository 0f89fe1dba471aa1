#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"
#include "printdata/settings/ResolutionModel.h"
#include "printdata/windows/ResolutionDialog.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WidgetLookup.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using logosmith::Density;
using logosmith::SettingsStore;
using logosmith::testing::child;

namespace {

// The resolution as the session makes it: the model read at start-up, then its dialog.
struct Made {
    explicit Made(SettingsStore& store) : model(store), dialog((load(model), model), store) {}
    static void load(logosmith::ResolutionModel& model) {
        logosmith::guarded([&] { model.load(); });
    }
    logosmith::ResolutionModel model;
    ResolutionDialog dialog;
};

class ResolutionFormTest : public ::testing::Test {
  protected:
    void SetUp() override { logosmith::testing::scriptedDialogs().clear(); }

    // A settings file of this test's own, as if the program started with it.
    SettingsStore& store() {
        if (!store_)
            store_ = std::make_unique<SettingsStore>(dir_.filePath("logosmith.ini"));
        return *store_;
    }
    // The stored index as a later start would read it.
    std::optional<int> storedIndex() {
        SettingsStore again(dir_.filePath("logosmith.ini"));
        return again.readInteger("resol", "index");
    }
    // "RadioButton1" .. "RadioButton4".
    static QRadioButton* button(const ResolutionDialog& form, int number) {
        return child<QRadioButton>(&form, QStringLiteral("RadioButton%1").arg(number));
    }
    static std::optional<int> checked(const ResolutionDialog& form) {
        std::optional<int> index;
        for (int i = 1; i <= 4; ++i)
            if (button(form, i)->isChecked())
                index = i;
        return index;
    }
    static void ok(const ResolutionDialog& form) { child<QPushButton>(&form, "Button1")->click(); }

    QTemporaryDir dir_;
    std::unique_ptr<SettingsStore> store_;
};

} // namespace

// Runs against the program's own store, pointed at an empty folder by the test main.
TEST_F(ResolutionFormTest, FirstStartIsSingleDensityAndSavedAtOnce) {
    ASSERT_FALSE(logosmith::settingsStore().groupExists("resol"));
    Made form(logosmith::settingsStore());
    EXPECT_EQ(checked(form.dialog), 1);
    EXPECT_EQ(form.model.density(), (Density{false, 0}));
    EXPECT_FALSE(form.dialog.isVisible());
    EXPECT_EQ(logosmith::settingsStore().readInteger("resol", "index"), 1);
}

TEST_F(ResolutionFormTest, ShowsItsControls) {
    Made form(store());
    EXPECT_EQ(form.dialog.windowTitle(), "Set resolution");
    EXPECT_EQ(form.dialog.findChild<QLabel*>("Label1")->text(), "Set Resolution");
    EXPECT_EQ(form.dialog.findChild<QGroupBox*>("GroupBox1")->title(), "Resolution");
    const char* captions[] = {"Single Density 104*96", "Double Density 208*96",
                              "Double Density 104*192", "Quad Density 208*192"};
    const bool enabled[] = {true, true, false, false};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(button(form.dialog, i + 1)->text(), captions[i]);
        EXPECT_EQ(button(form.dialog, i + 1)->isEnabled(), enabled[i]);
    }
    EXPECT_EQ(form.dialog.findChild<QPushButton*>("Button1")->text(), "OK");
}

TEST_F(ResolutionFormTest, DoubleDensityActsAtOnceAndIsSavedOnClose) {
    {
        Made form(store());
        form.dialog.showModeless();
        button(form.dialog, 2)->click();
        EXPECT_EQ(form.model.density(), (Density{true, 1}))
            << "the next print uses it before any close";
        EXPECT_EQ(storedIndex(), 1);
        ok(form.dialog);
        EXPECT_FALSE(form.dialog.isVisible());
        EXPECT_EQ(storedIndex(), 2);

        // Closed by the close box: saved the same way.
        form.dialog.showModeless();
        button(form.dialog, 1)->click();
        form.dialog.close();
        EXPECT_EQ(storedIndex(), 1);
        form.dialog.showModeless();
        button(form.dialog, 2)->click();
        form.dialog.close();
    }
    Made nextStart(store());
    EXPECT_EQ(checked(nextStart.dialog), 2);
    EXPECT_TRUE(nextStart.model.WidthDoubled());
    EXPECT_EQ(nextStart.model.BitImageMode(), 1);
}

TEST_F(ResolutionFormTest, StoredIndexThreeChecksTheDisabledChoice) {
    store().writeInteger("resol", "index", 3);
    Made form(store());
    EXPECT_EQ(checked(form.dialog), 3);
    EXPECT_FALSE(button(form.dialog, 3)->isEnabled());
    EXPECT_EQ(form.model.density(), (Density{false, 0}));
    store().writeInteger("resol", "index", 4);
    Made quad(store());
    EXPECT_EQ(quad.model.density(), (Density{true, 1}));
}

TEST_F(ResolutionFormTest, MissingIndexChecksNothingAndSavesNothing) {
    store().writeText("resol", "RadioButton1_Checked", "False");
    Made form(store());
    EXPECT_EQ(checked(form.dialog), std::nullopt);
    EXPECT_EQ(form.model.density(), (Density{false, 1}));
    form.dialog.showModeless();
    ok(form.dialog);
    EXPECT_EQ(storedIndex(), std::nullopt);
}

TEST_F(ResolutionFormTest, IndexNamingNoButtonChecksNothing) {
    for (int stored : {0, 5, -1, 1000}) {
        // Only "index" is stored: no remembered check states from the round before.
        for (const QString& name : store().valueNames("resol"))
            store().remove("resol", name);
        store().writeInteger("resol", "index", stored);
        Made form(store());
        EXPECT_EQ(checked(form.dialog), std::nullopt) << stored;
        EXPECT_EQ(form.model.density(), (Density{false, 1})) << stored;
        form.dialog.showModeless();
        form.dialog.close();
        EXPECT_EQ(storedIndex(), stored) << "closing without a choice keeps what was there";
        form.dialog.showModeless();
        button(form.dialog, 1)->click();
        form.dialog.close();
        EXPECT_EQ(storedIndex(), 1);
    }
    EXPECT_TRUE(logosmith::testing::scriptedDialogs().shown.isEmpty());
}

TEST_F(ResolutionFormTest, UnreadableIndexIsReportedNotFatal) {
    store().writeText("resol", "index", "two");
    Made form(store());
    EXPECT_EQ(checked(form.dialog), std::nullopt);
    EXPECT_EQ(logosmith::testing::scriptedDialogs().texts("error").size(), 1);
}

TEST_F(ResolutionFormTest, ClosingLeavesTheIndexAndTheRememberedButtonsAgreeing) {
    Made form(store());
    form.dialog.showModeless();
    button(form.dialog, 2)->click();
    form.dialog.close();
    EXPECT_EQ(storedIndex(), 2);
    SettingsStore again(dir_.filePath("logosmith.ini"));
    EXPECT_EQ(again.readText("resol", "RadioButton1_Checked").value_or(""), "False");
    EXPECT_EQ(again.readText("resol", "RadioButton2_Checked").value_or(""), "True");

    // The next start shows the remembered choice again.
    Made next(again);
    next.dialog.showModeless();
    EXPECT_EQ(checked(next.dialog), 2);
    EXPECT_TRUE(next.model.WidthDoubled());
}
