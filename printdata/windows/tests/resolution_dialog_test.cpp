#include "platform/SettingsStore.h"
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
    ResolutionDialog form(logosmith::settingsStore());
    EXPECT_EQ(checked(form), 1);
    EXPECT_EQ(form.density(), (Density{false, 0}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(logosmith::settingsStore().readInteger("resol", "index"), 1);
}

TEST_F(ResolutionFormTest, ShowsItsControls) {
    ResolutionDialog form(store());
    EXPECT_EQ(form.windowTitle(), "Set resolution");
    EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), "Set Resolution");
    EXPECT_EQ(form.findChild<QGroupBox*>("GroupBox1")->title(), "Resolution");
    const char* captions[] = {"Single Density 104*96", "Double Density 208*96",
                              "Double Density 104*192", "Quad Density 208*192"};
    const bool enabled[] = {true, true, false, false};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(button(form, i + 1)->text(), captions[i]);
        EXPECT_EQ(button(form, i + 1)->isEnabled(), enabled[i]);
    }
    EXPECT_EQ(form.findChild<QPushButton*>("Button1")->text(), "OK");
}

TEST_F(ResolutionFormTest, DoubleDensityActsAtOnceAndIsSavedOnClose) {
    {
        ResolutionDialog form(store());
        form.showModeless();
        button(form, 2)->click();
        EXPECT_EQ(form.density(), (Density{true, 1})) << "the next print uses it before any close";
        EXPECT_EQ(storedIndex(), 1);
        ok(form);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(storedIndex(), 2);

        // Closed by the close box: saved the same way.
        form.showModeless();
        button(form, 1)->click();
        form.close();
        EXPECT_EQ(storedIndex(), 1);
        form.showModeless();
        button(form, 2)->click();
        form.close();
    }
    ResolutionDialog nextStart(store());
    EXPECT_EQ(checked(nextStart), 2);
    EXPECT_TRUE(nextStart.WidthDoubled());
    EXPECT_EQ(nextStart.BitImageMode(), 1);
}

TEST_F(ResolutionFormTest, StoredIndexThreeChecksTheDisabledChoice) {
    store().writeInteger("resol", "index", 3);
    ResolutionDialog form(store());
    EXPECT_EQ(checked(form), 3);
    EXPECT_FALSE(button(form, 3)->isEnabled());
    EXPECT_EQ(form.density(), (Density{false, 0}));
    store().writeInteger("resol", "index", 4);
    ResolutionDialog quad(store());
    EXPECT_EQ(quad.density(), (Density{true, 1}));
}

TEST_F(ResolutionFormTest, MissingIndexChecksNothingAndSavesNothing) {
    store().writeText("resol", "RadioButton1_Checked", "False");
    ResolutionDialog form(store());
    EXPECT_EQ(checked(form), std::nullopt);
    EXPECT_EQ(form.density(), (Density{false, 1}));
    form.showModeless();
    ok(form);
    EXPECT_EQ(storedIndex(), std::nullopt);
}

TEST_F(ResolutionFormTest, IndexNamingNoButtonChecksNothing) {
    for (int stored : {0, 5, -1, 1000}) {
        // Only "index" is stored: no remembered check states from the round before.
        for (const QString& name : store().valueNames("resol"))
            store().remove("resol", name);
        store().writeInteger("resol", "index", stored);
        ResolutionDialog form(store());
        EXPECT_EQ(checked(form), std::nullopt) << stored;
        EXPECT_EQ(form.density(), (Density{false, 1})) << stored;
        form.showModeless();
        form.close();
        EXPECT_EQ(storedIndex(), stored) << "closing without a choice keeps what was there";
        form.showModeless();
        button(form, 1)->click();
        form.close();
        EXPECT_EQ(storedIndex(), 1);
    }
    EXPECT_TRUE(logosmith::testing::scriptedDialogs().shown.isEmpty());
}

TEST_F(ResolutionFormTest, UnreadableIndexIsReportedNotFatal) {
    store().writeText("resol", "index", "two");
    ResolutionDialog form(store());
    EXPECT_EQ(checked(form), std::nullopt);
    EXPECT_EQ(logosmith::testing::scriptedDialogs().texts("error").size(), 1);
}

TEST_F(ResolutionFormTest, ClosingLeavesTheIndexAndTheRememberedButtonsAgreeing) {
    ResolutionDialog form(store());
    form.showModeless();
    button(form, 2)->click();
    form.close();
    EXPECT_EQ(storedIndex(), 2);
    SettingsStore again(dir_.filePath("logosmith.ini"));
    EXPECT_EQ(again.readText("resol", "RadioButton1_Checked").value_or(""), "False");
    EXPECT_EQ(again.readText("resol", "RadioButton2_Checked").value_or(""), "True");

    // The next start shows the remembered choice again.
    ResolutionDialog next(again);
    next.showModeless();
    EXPECT_EQ(checked(next), 2);
    EXPECT_TRUE(next.WidthDoubled());
}
