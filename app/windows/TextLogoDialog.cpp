#include "app/windows/TextLogoDialog.h"

#include "app/windows/PictureView.h"
#include "platform/ErrorGuard.h"
#include "separation/Separation.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/text/TextLogoModel.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QVBoxLayout>

using logosmith::TextLine;
using logosmith::TextLogoModel;
using logosmith::TextLogoSettings;

namespace {

// Dots are shown whole, as many screen pixels wide as fit (at most this many).
constexpr int maxPreviewScale = 3;

template <class W> W* named(QWidget* parent, const char* name) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QSpinBox* spin(QWidget* parent, const char* name, int low, int high) {
    auto* box = named<QSpinBox>(parent, name);
    box->setRange(low, high);
    box->setSuffix(" dots");
    return box;
}

} // namespace

TextLogoDialog::TextLogoDialog(TextLogoModel& model, const logosmith::ColourControlsModel& pictures,
                               QWidget* parent)
    : FixedDialog("Text Logo", 940, 480, parent), model_(model), pictures_(pictures) {
    setObjectName("TextLogoForm");
    buildControls();
    showModel();
    connect(&model_, &TextLogoModel::changed, this, &TextLogoDialog::showModel);
}

void TextLogoDialog::buildControls() {
    auto* left = new QVBoxLayout();
    auto* nameRow = new QFormLayout();
    nameBox_ = named<QLineEdit>(this, "NameBox");
    nameRow->addRow("Library name", nameBox_);
    left->addLayout(nameRow);

    textBox_ = named<QPlainTextEdit>(this, "TextBox");
    textBox_->setPlaceholderText("Your shop's name, address, a slogan - one line each");
    textBox_->setTabChangesFocus(true);
    left->addWidget(textBox_, 1);

    auto* look = new QGroupBox("The line with the cursor", this);
    auto* lookForm = new QFormLayout(look);
    fontBox_ = named<QFontComboBox>(look, "FontBox");
    sizeBox_ = spin(look, "SizeBox", logosmith::minTextSize, logosmith::maxTextSize);
    boldBox_ = named<QCheckBox>(look, "BoldBox");
    boldBox_->setText("Bold");
    italicBox_ = named<QCheckBox>(look, "ItalicBox");
    italicBox_->setText("Italic");
    auto* style = new QHBoxLayout();
    style->addWidget(boldBox_);
    style->addWidget(italicBox_);
    style->addStretch();
    alignBox_ = named<QComboBox>(look, "AlignBox");
    alignBox_->addItems({"Left", "Center", "Right"});
    inkBox_ = named<QComboBox>(look, "InkBox");
    inkBox_->addItems({"L ink (black)", "R ink (red)"});
    lookForm->addRow("Font", fontBox_);
    lookForm->addRow("Size", sizeBox_);
    lookForm->addRow("Style", style);
    lookForm->addRow("Alignment", alignBox_);
    lookForm->addRow("Ink", inkBox_);
    left->addWidget(look);

    auto* logo = new QGroupBox("The logo", this);
    auto* logoForm = new QFormLayout(logo);
    spacingBox_ = spin(logo, "SpacingBox", 0, logosmith::maxLineSpacing);
    widthBox_ = spin(logo, "WidthBox", logosmith::minTextLogoWidth, logosmith::maxTextLogoWidth);
    widthBox_->setToolTip("255 dots fit the preview and \"Fit Scale\"; up to 1015 dots print");
    placementBox_ = named<QComboBox>(logo, "PlacementBox");
    placementBox_->addItems({"Text only", "Under the current picture", "Over the current picture"});
    logoForm->addRow("Line spacing", spacingBox_);
    logoForm->addRow("Width", widthBox_);
    logoForm->addRow("Set", placementBox_);
    left->addWidget(logo);

    auto* right = new QVBoxLayout();
    auto* scroll = new QScrollArea(this);
    preview_ = named<QLabel>(scroll, "TextPreview");
    preview_->setAlignment(Qt::AlignCenter);
    scroll->setWidget(preview_);
    scroll->setWidgetResizable(true);
    right->addWidget(new QLabel("As it will print", this));
    right->addWidget(scroll, 1);
    note_ = named<QLabel>(this, "TextNote");
    note_->setWordWrap(true);
    right->addWidget(note_);
    okButton_ = named<QPushButton>(this, "TextOk");
    okButton_->setDefault(true);
    auto* cancel = named<QPushButton>(this, "TextCancel");
    cancel->setText("Cancel");
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancel);
    right->addLayout(buttons);

    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);

    TextLogoModel* model = &model_;
    connect(textBox_, &QPlainTextEdit::textChanged, this,
            [this, model] { model->setText(textBox_->toPlainText()); });
    connect(textBox_, &QPlainTextEdit::cursorPositionChanged, this,
            [this, model] { model->setCurrentLine(textBox_->textCursor().blockNumber()); });
    connect(fontBox_, &QFontComboBox::currentFontChanged, this,
            [model](const QFont& font) { model->setFont(font.family()); });
    connect(sizeBox_, &QSpinBox::valueChanged, model, &TextLogoModel::setSize);
    connect(boldBox_, &QCheckBox::toggled, model, &TextLogoModel::setBold);
    connect(italicBox_, &QCheckBox::toggled, model, &TextLogoModel::setItalic);
    connect(alignBox_, &QComboBox::currentIndexChanged, this,
            [model](int index) { model->setAlign(TextLine::Align(index)); });
    connect(inkBox_, &QComboBox::currentIndexChanged, this,
            [model](int index) { model->setInk(TextLine::Ink(index)); });
    connect(spacingBox_, &QSpinBox::valueChanged, model, &TextLogoModel::setLineSpacing);
    connect(widthBox_, &QSpinBox::valueChanged, model, &TextLogoModel::setWidth);
    connect(placementBox_, &QComboBox::currentIndexChanged, this,
            [model](int index) { model->setPlacement(TextLogoSettings::Placement(index)); });
    logosmith::connectGuarded(okButton_, &QPushButton::clicked, this, &TextLogoDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void TextLogoDialog::startNew(const QString& name, std::optional<logosmith::Picture> picture,
                              Accept accept) {
    accept_ = std::move(accept);
    nameBox_->setText(name);
    nameBox_->setReadOnly(false);
    okButton_->setText("Add to Library");
    model_.setPicture(std::move(picture));
    TextLogoSettings fresh;
    fresh.lines.push_back(TextLine{});
    model_.setSettings(fresh);
    {
        const QSignalBlocker blocked(textBox_);
        textBox_->clear();
    }
    showModeless();
    textBox_->setFocus();
}

void TextLogoDialog::startEdit(const QString& name, const TextLogoSettings& settings,
                               std::optional<logosmith::Picture> picture, Accept accept) {
    accept_ = std::move(accept);
    nameBox_->setText(name);
    // The logo keeps its place and name in the library.
    nameBox_->setReadOnly(true);
    okButton_->setText("Save");
    model_.setPicture(std::move(picture));
    model_.setSettings(settings);
    {
        const QSignalBlocker blocked(textBox_);
        textBox_->setPlainText(logosmith::joinedText(settings));
    }
    showModeless();
}

void TextLogoDialog::showModel() {
    const TextLogoSettings& settings = model_.settings();
    {
        const QSignalBlocker a(spacingBox_), b(widthBox_), c(placementBox_);
        spacingBox_->setValue(settings.lineSpacing);
        widthBox_->setValue(settings.width);
        placementBox_->setCurrentIndex(int(settings.placement));
    }
    // "Under" and "over" need a picture to set the text with.
    auto* placements = qobject_cast<QStandardItemModel*>(placementBox_->model());
    for (int i = 1; placements && i < 3; ++i)
        if (QStandardItem* item = placements->item(i))
            item->setEnabled(model_.hasPicture());
    showLine();

    QStringList notes = model_.rendered().notes;
    if (!model_.problem().isEmpty())
        notes.prepend(model_.problem());
    note_->setText(notes.join('\n'));
    okButton_->setEnabled(model_.problem().isEmpty());
    const logosmith::Picture& drawn = model_.rendered().picture;
    if (drawn.isEmpty()) {
        preview_->clear();
        return;
    }
    // Exactly as a load separates it with the colour controls as a load leaves them.
    logosmith::Picture dots;
    logosmith::rebuildPreview(
        logosmith::ColourControlsModel::settingsAfterLoad(pictures_.settings()), drawn, dots);
    const QImage image = toQImage(dots);
    // The scroll area's viewport is the room there is.
    const int room = preview_->parentWidget() ? preview_->parentWidget()->width() : image.width();
    const int scale = std::clamp(room / std::max(1, image.width()), 1, maxPreviewScale);
    preview_->setPixmap(QPixmap::fromImage(
        image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void TextLogoDialog::showLine() {
    const TextLine& line = model_.currentLook();
    const QSignalBlocker a(fontBox_), b(sizeBox_), c(boldBox_), d(italicBox_), e(alignBox_),
        f(inkBox_);
    fontBox_->setCurrentFont(QFont(line.font));
    sizeBox_->setValue(line.size);
    boldBox_->setChecked(line.bold);
    italicBox_->setChecked(line.italic);
    alignBox_->setCurrentIndex(int(line.align));
    inkBox_->setCurrentIndex(int(line.ink));
}

void TextLogoDialog::accept() {
    if (!model_.problem().isEmpty() || !accept_)
        return;
    if (accept_(nameBox_->text().trimmed(), model_.rendered().picture, model_.settings()))
        close();
}
