#include "app/windows/tests/AppFixture.h"

#include "app/windows/EditorDialog.h"
#include "printdata/windows/ResolutionDialog.h"
#include "transport/windows/PortSettingsDialog.h"

#include "platform/widgets/FormStorage.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSet>

using namespace logosmith;

using SettingsSession = AppFixture;

namespace {

QSet<QString> names(const QString& group) {
    const QStringList list = settingsStore().valueNames(group);
    return QSet<QString>(list.begin(), list.end());
}

QString text(const QString& group, const QString& name) {
    return settingsStore().readText(group, name).value_or("<missing>");
}

const QStringList placementNames = {"FormVersion", "Flags",   "ShowCmd", "PixelsPerInch",
                                    "MinMaxPos",   "NormPos", "Visible"};

} // namespace

TEST_F(SettingsSession, AFirstRunLeftThroughExitStoresTheMainWindowAndNothingForUnopenedDialogs) {
    button("Button9")->click();
    stop();
    EXPECT_EQ(text("main", "FormVersion"), "0");
    EXPECT_EQ(text("main", "Visible"), "1");
    EXPECT_EQ(text("main", "DirectPrint_Checked"), "True");
    EXPECT_EQ(text("main", "DriverPrinter_Checked"), "False");
    EXPECT_EQ(text("main", "ShowCmd"), "1");
    // The resolution dialog was never shown: its group holds the density index alone.
    EXPECT_EQ(names("resol"), QSet<QString>{"index"});
    EXPECT_FALSE(settingsStore().groupExists("editer"));
}

// With the event loop running, as a person leaves: "Exit" stores the windows at their
// destruction ("Visible" "1"), the close box at the close ("0").
TEST_F(SettingsSession, VisibleSaysHowThePersonLeft) {
    const int exitResult = runUntilTheProgramEnds([this] {
        item("SetResolution1")->trigger();
        button("Button9")->click();
    });
    EXPECT_EQ(exitResult, 0);
    stop();
    EXPECT_EQ(text("main", "Visible"), "1");
    EXPECT_EQ(text("resol", "Visible"), "1") << "still open when the program ended";

    start();
    EXPECT_EQ(runUntilTheProgramEnds([this] { window().close(); }), 0);
    stop();
    EXPECT_EQ(text("main", "Visible"), "0");
}

TEST_F(SettingsSession, TheEditorNameIsStoredTrimmedEvenAfterCancel) {
    item("SetImageEditer1")->trigger();
    dialogControl<QLineEdit>("ImageEditorForm", "Edit1")->setText(" paint.exe ");
    dialogControl<QPushButton>("ImageEditorForm", "btnCancel")->click();
    EXPECT_EQ(text("editer", "Edit1_Text"), "paint.exe");
    EXPECT_EQ(text("editer", "Visible"), "0");
    restart();
    // The command itself is the built-in default again until "OK".
    EXPECT_NE(session().editorCommand().command(), "paint.exe");
    item("SetImageEditer1")->trigger();
    EXPECT_EQ(dialogControl<QLineEdit>("ImageEditorForm", "Edit1")->text(), "paint.exe");
}

TEST_F(SettingsSession, AStoredDriverMethodSwitchesThePrintMethodAtStartUp) {
    stop();
    settingsStore().writeText("main", "DirectPrint_Checked", "False");
    settingsStore().writeText("main", "DriverPrinter_Checked", "True");
    settingsStore().sync();
    start();
    EXPECT_TRUE(ui<QRadioButton>("DriverPrinter")->isChecked());
    EXPECT_FALSE(button("btnStorePrinter")->isEnabled());
    EXPECT_FALSE(item("SetCommunicationPort1")->isEnabled());
    EXPECT_FALSE(item("CheckveticalAlignment1")->isEnabled());
}

TEST_F(SettingsSession, AFullSessionWritesExactlyTheKnownValues) {
    addPicture(makePicture("logo.bmp"));
    item("SetResolution1")->trigger();
    dialogControl<QRadioButton>("ResolutionForm", "RadioButton2")->click();
    dialog("ResolutionForm")->close();
    item("SetCommunicationPort1")->trigger();
    dialog("PortForm")->close();
    item("SetImageEditer1")->trigger();
    dialogControl<QPushButton>("ImageEditorForm", "Button1")->click();
    item("exit2")->trigger();
    stop();

    QSet<QString> main = {"DirectPrint_Checked", "DriverPrinter_Checked", "ActiveControl"};
    QSet<QString> resol = {"index",
                           "RadioButton1_Checked",
                           "RadioButton2_Checked",
                           "RadioButton3_Checked",
                           "RadioButton4_Checked",
                           "ActiveControl"};
    QSet<QString> editer = {"Edit1_Text", "ActiveControl"};
    for (QSet<QString>* group : {&main, &resol, &editer})
        for (const QString& name : placementNames) {
            group->insert(name);
            if (name.endsWith("Pos"))
                group->insert(name + QString("(%1x%2)")
                                         .arg(FormStorage::screenSize().width())
                                         .arg(FormStorage::screenSize().height()));
        }
    QSet<QString> history;
    for (int k = 1; k <= 10; ++k)
        history << QString("n%1").arg(k) << QString("s%1").arg(k);

    // "ActiveControl" is written only when a control has the focus.
    const auto withoutFocusName = [](QSet<QString> set) {
        set.remove("ActiveControl");
        return set;
    };
    EXPECT_EQ(withoutFocusName(names("main")), withoutFocusName(main));
    EXPECT_EQ(withoutFocusName(names("resol")), withoutFocusName(resol));
    EXPECT_EQ(withoutFocusName(names("editer")), withoutFocusName(editer));
    EXPECT_EQ(names("history"), history);
    EXPECT_EQ(names("nport"), (QSet<QString>{"port", "baud", "parity", "data", "stop", "flow"}));
    EXPECT_EQ(names(""), QSet<QString>{"RootDir"});
    EXPECT_EQ(settingsStore().readInteger("resol", "index"), 2);
    EXPECT_EQ(text("resol", "RadioButton2_Checked"), "True");
}
