#include "app/windows/tests/AppFixture.h"

#include "app/library/StoreCommandFile.h"
#include "platform/core/AtomicFile.h"
#include "printdata/ByteSink.h"
#include "printdata/Commands.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QWheelEvent>
#include <sys/stat.h>

using namespace logosmith;

namespace {

const QRgb paper = qRgb(255, 255, 255);
const QRgb black = qRgb(0, 0, 0);
const QRgb red = qRgb(255, 0, 0);

} // namespace

class PrinterView : public AppFixture {
  protected:
    static QWidget* view() { return dialog("PrinterViewForm"); }
    static QTabWidget* tabs() { return dialogControl<QTabWidget>("PrinterViewForm", "SheetTabs"); }
    static QStringList tabCaptions() {
        QStringList captions;
        for (int i = 0; i < tabs()->count(); ++i)
            captions << tabs()->tabText(i);
        return captions;
    }
    // What the label under the tabs says for a tab.
    static QString sheetLine(int tab) {
        tabs()->setCurrentIndex(tab);
        return dialogControl<QLabel>("PrinterViewForm", "SheetLabel")->text();
    }
    static void zoom(const QString& choice) {
        auto* box = dialogControl<QComboBox>("PrinterViewForm", "ZoomBox");
        ASSERT_GE(box->findText(choice), 0) << choice.toStdString();
        box->setCurrentIndex(box->findText(choice));
    }
    // A tab's sheet as the window draws it.
    static QImage sheetImage(int tab) {
        return logosmith::testing::child<QWidget>(tabs()->widget(tab), "Sheet")->grab().toImage();
    }

    void openPrinterFile(const QString& path) {
        dialogs().openAnswers.push_back(path);
        item("OpenPrinterFile1")->trigger();
    }
    QString writeFile(const QString& name, const std::vector<std::uint8_t>& bytes) {
        const QString path = pictures_.path() + "/" + name;
        writeFileAtomically(path.toStdString(), bytes);
        return path;
    }
};

// Command files made by the encoder: a tab per stored logo or for the test print, each logo's
// size in dots, and each drawn one pixel per printer unit at 100 %: a single-density dot two
// pixels wide, a double-density dot one.
TEST_F(PrinterView, OpensCommandFilesWithATabPerSheetInThePrintersProportions) {
    const std::vector<Picture> logos = {Picture(40, 30, colours::black),
                                        Picture(7, 8, colours::red),
                                        Picture(12, 17, colours::green)};
    std::vector<std::uint8_t> print;
    VectorSink sink(print);
    ASSERT_EQ(WritePrintStream(sink, Picture(10, 8, colours::black), irStore(), {false, 0}, true),
              PrintBuild::ok);
    struct Sheet {
        QString caption;
        QString dots;
        QSize pixels; // at 100 %
    };
    const struct {
        QString file;
        std::vector<std::uint8_t> bytes;
        std::vector<Sheet> sheets;
    } cases[] = {
        {"single.prn",
         BuildStoreStream(logos, {false, 0}),
         {{"logo 1", "40 x 32 dots, single density", {80, 64}},
          {"logo 2", "7 x 16 dots, single density", {14, 32}},
          {"logo 3", "12 x 24 dots, single density", {24, 48}}}},
        {"double.prn",
         BuildStoreStream(logos, {true, 1}),
         {{"logo 1", "80 x 32 dots, double density", {80, 64}},
          {"logo 2", "14 x 16 dots, double density", {14, 32}},
          {"logo 3", "24 x 24 dots, double density", {24, 48}}}},
        // No density chosen: the data is not widened, so the dots are half as wide.
        {"narrow.prn",
         BuildStoreStream(logos, {false, 1}),
         {{"logo 1", "40 x 32 dots, double density", {40, 64}},
          {"logo 2", "7 x 16 dots, double density", {7, 32}},
          {"logo 3", "12 x 24 dots, double density", {12, 48}}}},
        // The paper is the printer's whole line, 1015 single-density dots.
        {"print.prn", print, {{"test print", "10 x 16 dots, single density, centred", {2030, 32}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        openPrinterFile(writeFile(c.file, c.bytes));
        ASSERT_TRUE(dialogs().texts("error").isEmpty())
            << dialogs().allTexts().join("\n").toStdString();
        ASSERT_TRUE(view()->isVisible());
        EXPECT_TRUE(
            dialogControl<QLabel>("PrinterViewForm", "SourceLabel")->text().endsWith(c.file));
        zoom("100 %");
        QStringList captions;
        for (const Sheet& s : c.sheets)
            captions << s.caption;
        ASSERT_EQ(tabCaptions(), captions);
        for (int i = 0; i < int(c.sheets.size()); ++i) {
            EXPECT_TRUE(sheetLine(i).contains(c.sheets[std::size_t(i)].dots))
                << sheetLine(i).toStdString();
            EXPECT_EQ(sheetImage(i).size(), c.sheets[std::size_t(i)].pixels) << i;
        }
    }
    // A store's block length is what its length table says: logo 1 of the single-density file.
    const std::vector<std::uint8_t>& single = cases[0].bytes;
    openPrinterFile(writeFile("again.prn", single));
    EXPECT_TRUE(
        sheetLine(0).endsWith(QString("block of %1 bytes").arg(single[4] * 256 + single[5])))
        << sheetLine(0).toStdString();

    // Zoom scales the drawing; Fit makes a small logo as large as the tab shows in whole steps.
    zoom("400 %");
    EXPECT_EQ(sheetImage(0).size(), QSize(320, 256));
    zoom("Fit");
    const QSize fitted = sheetImage(0).size();
    EXPECT_GT(fitted.width(), 80);
    EXPECT_EQ(fitted.width() % 80, 0);
    EXPECT_EQ(fitted.width() / 80, fitted.height() / 64);

    // The wheel scrolls; with Ctrl it steps the zoom, keeping the dot under the pointer in place.
    auto* area = static_cast<QAbstractScrollArea*>(tabs()->widget(0));
    const QWidget* sheet = logosmith::testing::child<QWidget>(area, "Sheet");
    // The middle of the view: at 800 % the logo is larger than the view, and the dot there can
    // only stay in place if the view scrolls.
    const QPoint at = area->viewport()->rect().center();
    const auto wheel = [&](int notches, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(at, area->viewport()->mapToGlobal(at), {}, {0, notches * 120},
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &event);
    };
    auto* box = dialogControl<QComboBox>("PrinterViewForm", "ZoomBox");
    zoom("400 %");
    const QPointF unit = QPointF(sheet->mapFrom(area->viewport(), at)) / 4;
    wheel(1, Qt::ControlModifier);
    EXPECT_EQ(box->currentText(), "800 %");
    const QPointF after = QPointF(sheet->mapFrom(area->viewport(), at)) / 8;
    EXPECT_NEAR(after.x(), unit.x(), 1);
    EXPECT_NEAR(after.y(), unit.y(), 1);
    wheel(-3, Qt::ControlModifier);
    EXPECT_EQ(box->currentText(), "100 %");
    wheel(-1, Qt::NoModifier);
    EXPECT_EQ(box->currentText(), "100 %");
}

// What "Store" would send now: the library committed and built as Store builds it, under the
// density chosen in the resolution dialog. The drawing is the store's dots, and "Store to File"
// opened again shows the very same.
TEST_F(PrinterView, ShowsWhatStoreWouldSendAtTheChosenDensity) {
    addPicture(makePicture("first.bmp", 40, 30)); // red | white | black thirds
    // Green | white | black thirds, separated in Green mode: its green is stored with both inks.
    Picture greenThirds(21, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 21; ++x)
            if (x < 7 || x >= 14)
                greenThirds.setPixel(x, y, x < 7 ? colours::green : colours::black);
    const QString secondFile = pictures_.path() + "/second.bmp";
    writeBmpFile(greenThirds, secondFile.toStdString());
    addPicture(secondFile);
    ui<QRadioButton>("RadioGreen")->click();
    item("SetResolution1")->trigger();
    for (const char* density : {"RadioButton1", "RadioButton2"}) {
        SCOPED_TRACE(density);
        dialogControl<QRadioButton>("ResolutionForm", density)->click();
        const bool doubled = QString(density) == "RadioButton2";
        dialogs().clear();
        button("btnPrinterView")->click();
        ASSERT_TRUE(dialogs().shown.isEmpty()) << dialogs().allTexts().join("\n").toStdString();
        ASSERT_EQ(tabCaptions(), (QStringList{"logo 1", "logo 2"}));
        EXPECT_TRUE(sheetLine(0).contains(doubled ? "80 x 32 dots, double density"
                                                  : "40 x 32 dots, single density"));
        zoom("100 %");

        // Either way a picture pixel is two units wide: two dots of one, or one of two.
        const QImage first = sheetImage(0);
        ASSERT_EQ(first.size(), QSize(80, 64));
        for (int y : {0, 59}) {
            EXPECT_EQ(first.pixel(0, y), red);
            EXPECT_EQ(first.pixel(25, y), red); // 13 red pixels
            EXPECT_EQ(first.pixel(26, y), paper);
            EXPECT_EQ(first.pixel(51, y), paper);
            EXPECT_EQ(first.pixel(52, y), black); // from pixel 26
            EXPECT_EQ(first.pixel(79, y), black);
        }
        EXPECT_EQ(first.pixel(0, 60), paper); // below the 30 rows, the rest of the band

        // Both inks on one dot: a colour of its own.
        const QImage second = sheetImage(1);
        ASSERT_EQ(second.size(), QSize(42, 32));
        const QRgb both = second.pixel(0, 0);
        EXPECT_TRUE(both != red && both != black && both != paper) << std::hex << both;
        EXPECT_EQ(second.pixel(13, 17), both);
        EXPECT_EQ(second.pixel(14, 0), paper);
        EXPECT_EQ(second.pixel(41, 0), black);

        const QString prn = pictures_.path() + "/" + density + ".prn";
        dialogs().saveAnswers.push_back(prn);
        button("btnPrintFile")->click();
        openPrinterFile(prn);
        zoom("100 %");
        EXPECT_EQ(sheetImage(0), first);
        EXPECT_EQ(sheetImage(1), second);
    }
}

// A file that is no printer stream, or a store that is refused, is said so; the view that
// showed something before is emptied rather than left showing it.
TEST_F(PrinterView, RefusesWhatIsNoPrinterStreamAndKeepsNothingStale) {
    const QString picture = makePicture("logo.bmp", 20, 8);
    const QString fifo = pictures_.path() + "/pipe.prn";
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString good =
        writeFile("good.prn", BuildStoreStream(std::vector{Picture(8, 8, colours::black)}, {}));
    const struct {
        std::function<void()> open;
        QString says;
    } cases[] = {
        {[&] { openPrinterFile(picture); },
         picture + QString(" is not a printer stream: reading stopped at offset 0 of %1: ")
                       .arg(contents(picture).size())},
        {[&] { openPrinterFile(writeFile("empty.prn", {})); },
         "empty.prn is not a printer stream: it holds no store, print or alignment command"},
        // A pipe has no end to wait for.
        {[&] { openPrinterFile(fifo); },
         "pipe.prn is not a printer stream: it is not a plain file"},
        {[&] {
             openPrinterFile(writeFile("huge.prn", std::vector<std::uint8_t>((8 << 20) + 1, 0x0d)));
         },
         "huge.prn is not a printer stream: it is 8388609 bytes"},
        // The library is empty: Store's own refusal.
        {[&] { button("btnPrinterView")->click(); }, emptyLibraryMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says.toStdString());
        openPrinterFile(good);
        ASSERT_EQ(tabs()->count(), 1);
        dialogs().clear();
        c.open();
        ASSERT_EQ(dialogs().texts("error").size(), 1)
            << dialogs().allTexts().join("\n").toStdString();
        EXPECT_TRUE(dialogs().texts("error").first().contains(c.says))
            << dialogs().texts("error").first().toStdString();
        EXPECT_EQ(tabs()->count(), 0);
        EXPECT_TRUE(dialogControl<QLabel>("PrinterViewForm", "SheetLabel")->text().isEmpty());
    }
    // A cancelled open dialog changes nothing.
    openPrinterFile(good);
    openPrinterFile("");
    EXPECT_EQ(tabs()->count(), 1);
}

// Unlike the other windows it can be resized; its place, size and zoom come back in the next run.
TEST_F(PrinterView, RemembersItsPlaceSizeAndZoomAcrossRuns) {
    const QString prn =
        writeFile("logo.prn", BuildStoreStream(std::vector{Picture(8, 8, colours::black)}, {}));
    openPrinterFile(prn);
    const QRect place(140, 90, 700, 520);
    view()->setGeometry(place);
    zoom("200 %");
    QApplication::processEvents();
    EXPECT_NE(view()->minimumSize(), view()->maximumSize());
    view()->close();
    EXPECT_EQ(settingsStore().readText("printerview", "Visible"), "0");

    restart();
    openPrinterFile(prn);
    EXPECT_EQ(view()->geometry(), place);
    EXPECT_EQ(dialogControl<QComboBox>("PrinterViewForm", "ZoomBox")->currentText(), "200 %");
    EXPECT_EQ(sheetImage(0).size(), QSize(32, 64)); // 8 x 16 single-density dots
}
