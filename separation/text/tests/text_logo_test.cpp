// Text logos drawn with the machine's real fonts (fontconfig), offscreen.

#include "platform/core/Error.h"
#include "separation/text/TextLogo.h"
#include "separation/text/TextLogoModel.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace logosmith;

namespace {

class FontsEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "text_logo_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] const auto* registered = ::testing::AddGlobalTestEnvironment(new FontsEnvironment);

TextLine line(const QString& text, int size = 24, TextLine::Ink ink = TextLine::Ink::Black) {
    TextLine l;
    l.text = text;
    l.size = size;
    l.ink = ink;
    return l;
}

std::set<std::uint32_t> coloursOf(const Picture& p, int top = 0, int bottom = -1) {
    std::set<std::uint32_t> seen;
    for (int y = top; y < (bottom < 0 ? p.height() : bottom); ++y)
        for (int x = 0; x < p.width(); ++x)
            seen.insert(p.pixel(x, y).packed());
    return seen;
}

} // namespace

TEST(TextLogo, EveryPixelIsInkOrPaperWhateverTheFontStyleAndSize) {
    for (const char* family : {"DejaVu Sans", "DejaVu Serif"})
        for (int size : {7, 13, 31, 64})
            for (int style = 0; style < 4; ++style) {
                SCOPED_TRACE(testing::Message() << family << " " << size << " " << style);
                TextLogoSettings settings;
                TextLine top = line("Bäckerei Ölfeld 42 &", size);
                top.font = family;
                top.bold = style & 1;
                top.italic = style & 2;
                TextLine bottom = top;
                bottom.text = "Tel. 0123 / 45 67";
                bottom.ink = TextLine::Ink::Red;
                bottom.align = TextLine::Align::Right;
                settings.lines = {top, bottom};
                const RenderedTextLogo logo = renderTextLogo(settings);
                EXPECT_EQ(logo.picture.width(), 255);
                EXPECT_EQ(coloursOf(logo.picture),
                          (std::set<std::uint32_t>{colours::black.packed(), colours::red.packed(),
                                                   colours::white.packed()}));
                // The first line is black ink only, the second red only.
                int lowestBlack = -1, highestRed = logo.picture.height();
                for (int y = 0; y < logo.picture.height(); ++y)
                    for (int x = 0; x < logo.picture.width(); ++x) {
                        if (logo.picture.pixel(x, y) == colours::black)
                            lowestBlack = y;
                        if (logo.picture.pixel(x, y) == colours::red)
                            highestRed = std::min(highestRed, y);
                    }
                EXPECT_LT(lowestBlack, highestRed);
            }
}

TEST(TextLogo, ALineTooWideIsDrawnSmallerAndTheWidthIsKept) {
    TextLogoSettings settings;
    settings.lines = {line("A very long shop name that cannot fit", 40)};
    settings.width = 200;
    const RenderedTextLogo logo = renderTextLogo(settings);
    EXPECT_EQ(logo.picture.width(), 200);
    ASSERT_EQ(logo.notes.size(), 1);
    EXPECT_TRUE(logo.notes[0].contains("to fit the width of 200 dots"))
        << logo.notes[0].toStdString();
    // Ink reaches neither beyond the edges nor is cut: the outermost columns stay paper.
    for (int y = 0; y < logo.picture.height(); ++y)
        EXPECT_EQ(logo.picture.pixel(199, y), colours::white);

    settings.width = 5000;
    EXPECT_EQ(renderTextLogo(settings).picture.width(), maxTextLogoWidth);
}

TEST(TextLogo, AMissingFontFallsBackWithANoteAndEmptyTextIsRefused) {
    TextLogoSettings settings;
    TextLine l = line("Kiosk");
    l.font = "No Such Font Family";
    settings.lines = {l};
    const RenderedTextLogo logo = renderTextLogo(settings);
    ASSERT_EQ(logo.notes.size(), 1);
    EXPECT_TRUE(
        logo.notes[0].startsWith("The font \"No Such Font Family\" is not on this computer"))
        << logo.notes[0].toStdString();
    EXPECT_EQ(coloursOf(logo.picture).size(), 2u);

    settings.lines = {line(""), line("   ")};
    try {
        renderTextLogo(settings);
        FAIL() << "empty text was drawn";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "There is no text to make a logo of: type at least one line.");
    }
}

TEST(TextLogo, TextUnderOrOverAPictureKeepsThePictureDotForDot) {
    Picture picture(300, 40, colours::red);
    picture.setPixel(0, 0, colours::black);
    TextLogoSettings settings;
    settings.lines = {line("Since 1962", 20)};
    settings.lineSpacing = 4;
    settings.placement = TextLogoSettings::Placement::UnderPicture;
    const RenderedTextLogo under = renderTextLogo(settings, &picture);
    EXPECT_EQ(under.picture.width(), 300);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(under.picture.pixel(x, y), picture.pixel(x, y));
    EXPECT_EQ(coloursOf(under.picture, 44, under.picture.height()).count(colours::black.packed()),
              1u);

    settings.placement = TextLogoSettings::Placement::OverPicture;
    const RenderedTextLogo over = renderTextLogo(settings, &picture);
    const int top = over.picture.height() - 40;
    EXPECT_EQ(over.picture.pixel(0, top), colours::black);
    EXPECT_EQ(over.picture.pixel(299, over.picture.height() - 1), colours::red);
    EXPECT_THROW(renderTextLogo(settings, nullptr), Error);
}

TEST(TextLogoFile, SettingsComeBackAsWrittenAndDamageIsRefused) {
    TextLogoSettings settings;
    TextLine first = line("Café \"Zum Anker\"", 30, TextLine::Ink::Red);
    first.bold = true;
    first.align = TextLine::Align::Left;
    settings.lines = {first, line("")};
    settings.width = 400;
    settings.lineSpacing = 7;
    settings.placement = TextLogoSettings::Placement::OverPicture;
    const std::vector<std::uint8_t> bytes = textLogoFileBytes(settings);
    EXPECT_EQ(readTextLogoFile(bytes.data(), bytes.size()), settings);

    for (const std::string& bad :
         {std::string("not json"), std::string("[]"), std::string(R"({"lines": 3})"),
          std::string(R"({"width": 2000, "lines": []})"),
          std::string(R"({"lines": [{"text": "a", "size": 1.5}]})"),
          std::string(R"({"lines": [{"text": "a", "size": 4.1e27}]})"),
          std::string(R"({"lines": [{"text": "a", "ink": "blue"}]})"),
          std::string(R"({"version": 2, "lines": []})"), std::string(70000, ' ')}) {
        SCOPED_TRACE(bad.substr(0, 60));
        EXPECT_THROW(
            readTextLogoFile(reinterpret_cast<const std::uint8_t*>(bad.data()), bad.size()),
            DecodeError);
    }
}

TEST(TextLogoModel, ANewLineTakesTheLookOfTheOneBeforeAndEachChangeRedraws) {
    TextLogoModel model;
    int changes = 0;
    QObject::connect(&model, &TextLogoModel::changed, [&] { ++changes; });
    EXPECT_FALSE(model.problem().isEmpty()) << "nothing to draw yet";
    model.setText("Shop");
    model.setSize(40);
    model.setInk(TextLine::Ink::Red);
    model.setText("Shop\nStreet 1");
    ASSERT_EQ(model.settings().lines.size(), 2u);
    EXPECT_EQ(model.settings().lines[1].size, 40);
    EXPECT_EQ(model.settings().lines[1].ink, TextLine::Ink::Red);
    model.setCurrentLine(1);
    model.setSize(20);
    EXPECT_EQ(model.settings().lines[0].size, 40);
    EXPECT_TRUE(model.problem().isEmpty());
    EXPECT_FALSE(model.rendered().picture.isEmpty());
    const int before = changes;
    model.setSize(20); // no change: no redraw announced
    EXPECT_EQ(changes, before);
}
