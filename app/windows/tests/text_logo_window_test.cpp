// Text logos made in the real program: the dialog, the library entry they become, and their
// settings kept beside it across a restart.

#include "app/windows/tests/AppFixture.h"

#include "separation/loader/PictureLoader.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextBlock>
#include <set>

using namespace logosmith;

class TextLogos : public AppFixture {
  protected:
    template <class T = QWidget> static T* field(const char* name) {
        return dialogControl<T>("TextLogoForm", name);
    }
    static void type(const QString& text) { field<QPlainTextEdit>("TextBox")->setPlainText(text); }
    // The cursor to a line, as a click there puts it.
    static void toLine(int line) {
        auto* box = field<QPlainTextEdit>("TextBox");
        QTextCursor cursor(box->document()->findBlockByNumber(line));
        box->setTextCursor(cursor);
    }
    static std::set<std::uint32_t> coloursOf(const Picture& p) {
        std::set<std::uint32_t> seen;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                seen.insert(p.pixel(x, y).packed());
        return seen;
    }
};

TEST_F(TextLogos, ANewTextLogoBecomesALibraryPictureAndReopensWithItsSettingsAfterARestart) {
    button("btnTextLogo")->click();
    ASSERT_TRUE(dialog("TextLogoForm")->isVisible());
    EXPECT_EQ(field<QLineEdit>("NameBox")->text(), "text-1");
    EXPECT_FALSE(field<QPushButton>("TextOk")->isEnabled()) << "nothing to add yet";
    EXPECT_TRUE(field<QLabel>("TextNote")->text().startsWith("There is no text"));

    type("Fischhaus\nTel. 0431");
    field<QSpinBox>("SizeBox")->setValue(30);
    toLine(1);
    field<QComboBox>("InkBox")->setCurrentIndex(1); // R ink
    EXPECT_FALSE(field<QLabel>("TextPreview")->pixmap().isNull());
    field<QPushButton>("TextOk")->click();
    EXPECT_FALSE(dialog("TextLogoForm")->isVisible());
    EXPECT_TRUE(dialogs().texts("error").isEmpty())
        << dialogs().allTexts().join('\n').toStdString();

    ASSERT_EQ(library().entries().size(), 1);
    EXPECT_EQ(library().entries()[0].name, "text-1.bmp");
    // The library's own file of it holds nothing but the two inks and paper.
    EXPECT_EQ(coloursOf(decodePictureFile((libraryDir() + "text-1.bmp").toStdString())),
              (std::set<std::uint32_t>{colours::black.packed(), colours::red.packed(),
                                       colours::white.packed()}));
    EXPECT_LE(pictures().working().width(), 255);

    restart();
    clickRow(0);
    ASSERT_TRUE(button("btnEditText")->isEnabled());
    button("btnEditText")->click();
    EXPECT_EQ(field<QPlainTextEdit>("TextBox")->toPlainText(), "Fischhaus\nTel. 0431");
    EXPECT_EQ(field<QSpinBox>("SizeBox")->value(), 30);
    toLine(1);
    EXPECT_EQ(field<QComboBox>("InkBox")->currentIndex(), 1);
    EXPECT_TRUE(field<QLineEdit>("NameBox")->isReadOnly());

    // Saved again: the entry's file is the new logo, the list unchanged.
    const QByteArray before = contents(libraryDir() + "text-1.bmp");
    type("Fischhaus Nord\nTel. 0431");
    field<QPushButton>("TextOk")->click();
    session().library().commit();
    EXPECT_NE(contents(libraryDir() + "text-1.bmp"), before);
    EXPECT_EQ(library().entries().size(), 1);

    // Deleted: what it kept beside its file goes with it.
    clickRow(0);
    button("btnDeleteImage")->click();
    EXPECT_FALSE(QFile::exists(libraryDir() + "text-1.logotext"));
}

TEST_F(TextLogos, TextUnderTheCurrentPictureIsANewPictureAndANameInUseIsRefused) {
    addPicture(makePicture("seal.bmp", 60, 30));
    button("btnTextLogo")->click();
    type("Since 1962");
    field<QComboBox>("PlacementBox")->setCurrentIndex(1); // under the current picture
    field<QLineEdit>("NameBox")->setText("seal");
    field<QPushButton>("TextOk")->click();
    EXPECT_EQ(dialogs().texts("confirmation"), QStringList{duplicateImageMessage});
    EXPECT_TRUE(dialog("TextLogoForm")->isVisible()) << "the text is not lost";

    field<QLineEdit>("NameBox")->setText("seal-text");
    field<QPushButton>("TextOk")->click();
    ASSERT_EQ(library().entries().size(), 2);
    EXPECT_EQ(library().entries()[1].name, "seal-text.bmp");
    // The picture on top, at its own size, the text under it in the logo's width.
    const Picture& shown = pictures().working();
    EXPECT_EQ(shown.width(), 255);
    EXPECT_GT(shown.height(), 30);
    EXPECT_EQ(shown.pixel((255 - 60) / 2, 0), colours::red);
    EXPECT_TRUE(QFile::exists(libraryDir() + "seal-text.logotext.bmp"));
}
