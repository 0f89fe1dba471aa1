#include "separation/controls/ColourControlsModel.h"

#include "separation/controls/PreviewRefiner.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/Fitting.h"

#include <algorithm>

namespace logosmith {

namespace {

constexpr int thresholdMaximum = 360;
constexpr int valueMaximum = 255;

// A picture without pixels previews, stores and prints nothing, and a library entry made of one
// could never be written. The steps that would make one the current picture refuse instead and
// change nothing.
void refuseEmpty(const Picture& result, int fromWidth, int fromHeight, const QString& how,
                 const QString& advice) {
    if (!result.isEmpty())
        return;
    const QString message =
        QStringLiteral("The picture is %1 x %2 pixels: %3 it would be %4 x %5 pixels and "
                       "print nothing. %6")
            .arg(fromWidth)
            .arg(fromHeight)
            .arg(how)
            .arg(result.width())
            .arg(result.height())
            .arg(advice);
    throw EmptyPictureError(message.toStdString(), result.width(), result.height());
}

QString whenFitted() {
    return QStringLiteral("fitted to %1 dots").arg(maxFitWidth);
}

} // namespace

QString ditherModeName(DitherMode mode) {
    switch (mode) {
    case DitherMode::Diffusion:
        return QStringLiteral("diffusion");
    case DitherMode::Ordered:
        return QStringLiteral("ordered");
    case DitherMode::Best:
        return QStringLiteral("best");
    case DitherMode::None:
        break;
    }
    return QStringLiteral("none");
}

std::optional<DitherMode> ditherModeNamed(const QString& name) {
    const QString plain = name.trimmed().toLower();
    for (DitherMode mode :
         {DitherMode::None, DitherMode::Diffusion, DitherMode::Ordered, DitherMode::Best})
        if (plain == ditherModeName(mode))
            return mode;
    return std::nullopt;
}

ColourControlsModel::ColourControlsModel(QObject* parent) : QObject(parent) {}

ColourControlsModel::~ColourControlsModel() = default;

// Runs one handler. Handlers run others (a radio button moves the sliders); the window hears of
// the change once, when the outermost one ends, however it ends.
template <class Change> void ColourControlsModel::change(Change&& apply) {
    if (changeDepth_ == 0) {
        stepBefore_ = ColourControlsSnapshot{settings_, state_, source_, workingLoadedFitted_, {}};
        loadedInStep_ = false;
    }
    ++changeDepth_;
    try {
        apply();
    } catch (...) {
        if (--changeDepth_ == 0) {
            stepBefore_.working.reset();
            refineWhenDue();
            emit changed();
        }
        throw;
    }
    if (--changeDepth_ > 0)
        return;
    refineWhenDue();
    ColourControlsSnapshot before = std::move(stepBefore_);
    stepBefore_ = {};
    if (!restoring_ && !loadedInStep_) {
        ColourControlsSnapshot after{settings_, state_, source_, workingLoadedFitted_, {}};
        if (before.working)
            after.working = std::make_shared<const Picture>(working_);
        if (before.working || !(before.settings == after.settings) || before.state != after.state)
            emit stepTaken(before, after, continuous_);
    }
    emit changed();
}

void ColourControlsModel::rebuild() {
    if (working_.isEmpty() && preview_.isEmpty())
        return;
    // Whatever is being refined is for pictures or settings that are gone now.
    ++generation_;
    refineRequested_ = false;
    if (refiner_)
        refiner_->cancel();
    refining_ = settings_.dither == DitherMode::Best && !working_.isEmpty();
    if (refining_) {
        SeparationSettings standIn = settings_;
        standIn.dither = DitherMode::Diffusion;
        rebuildPreview(standIn, working_, preview_);
    } else {
        rebuildPreview(settings_, working_, preview_);
    }
    if (settings_.liveUpdate)
        emit drawPreview();
}

void ColourControlsModel::refineWhenDue() {
    if (!refining_ || refineRequested_ || continuous_ || changeDepth_ > 0 || !background_)
        return;
    if (!refiner_)
        refiner_ = std::make_unique<PreviewRefiner>(
            this, [this](std::uint64_t generation, Picture preview) {
                refined(generation, std::move(preview));
            });
    refiner_->request(generation_, settings_, std::make_shared<const Picture>(working_));
    refineRequested_ = true;
}

void ColourControlsModel::refined(std::uint64_t generation, Picture preview) {
    if (!refining_ || generation != generation_)
        return;
    preview_ = std::move(preview);
    refining_ = false;
    if (settings_.liveUpdate)
        emit drawPreview();
}

const Picture& ColourControlsModel::finishedPreview() {
    if (!refining_)
        return preview_;
    std::optional<Picture> best;
    if (refiner_ && refineRequested_)
        best = refiner_->take(generation_);
    if (!best) {
        best.emplace();
        rebuildPreview(settings_, working_, *best);
    }
    refined(generation_, std::move(*best));
    return preview_;
}

void ColourControlsModel::setContinuousChange(bool on) {
    continuous_ = on;
    refineWhenDue();
}

// Both views get the picture: the working picture, and a same-size preview about to be
// overwritten by the separation.
void ColourControlsModel::showWorking(Picture picture) {
    // The old pictures go first, so that a large one is never held three times over; a step
    // keeps the one it replaces, to give it back.
    preview_ = Picture();
    if (changeDepth_ > 0 && !stepBefore_.working && !loadedInStep_ && !restoring_)
        stepBefore_.working = std::make_shared<const Picture>(std::move(working_));
    working_ = std::move(picture);
    preview_ = working_;
    emit drawWorking();
}

void ColourControlsModel::loadPicture(const std::string& path) {
    // Decoding and fitting come first: a bad file, or one that would fit to nothing, ends the
    // load before anything changes. A fitted load never makes the full-size picture.
    const bool fit = settings_.fitOnLoad;
    LoadedPicture loaded = loadPictureFile(path, LoadOptions{fit});
    if (fit)
        refuseEmpty(loaded.picture, loaded.source.width(), loaded.source.height(), whenFitted(),
                    QStringLiteral("Clear \"Fit Scale\" to use it at full size."));
    change([&] {
        loadedInStep_ = true;
        stepBefore_.working.reset();
        source_ = std::move(loaded.source);
        showWorking(std::move(loaded.picture));
        workingLoadedFitted_ = fit;
        state_.stretch = false;
        resetForLoad();
        rebuild();
        // The views got a new picture, so a load always ends with its preview on screen.
        emit drawPreview();
        state_.center = false;
        emit pictureLoaded(QString::fromStdString(path));
    });
}

void ColourControlsModel::resetForLoad() {
    settings_.targetColor = colours::red;
    moveRValue(100);
    moveThreshold(thresholdMaximum);
    moveLValue(100);
    settings_.rValue = 100;
    settings_.lValue = 100;
    state_.rCartridgeName = QStringLiteral(" Red ");
    state_.rCartridgeSwatch = colours::red;
    state_.lValueSwatch = colours::black;
    selectInk(InkChoice::Red);
    settings_.inkMode = InkMode::Red;
}

ColourControlsSnapshot ColourControlsModel::snapshot() const {
    return ColourControlsSnapshot{settings_, state_, source_, workingLoadedFitted_,
                                  std::make_shared<const Picture>(working_)};
}

void ColourControlsModel::restore(const ColourControlsSnapshot& snapshot) {
    restoring_ = true;
    try {
        change([&] {
            settings_ = snapshot.settings;
            state_ = snapshot.state;
            source_ = snapshot.source;
            workingLoadedFitted_ = snapshot.workingLoadedFitted;
            if (snapshot.working)
                showWorking(Picture(*snapshot.working));
            rebuild();
            if (snapshot.working)
                emit drawPreview();
        });
    } catch (...) {
        restoring_ = false;
        throw;
    }
    restoring_ = false;
}

SeparationSettings ColourControlsModel::settingsAfterLoad(const SeparationSettings& current) {
    // A model without a picture runs the same reset and rebuilds nothing.
    ColourControlsModel model;
    model.settings_ = current;
    model.resetForLoad();
    return model.settings_;
}

void ColourControlsModel::setFitScale(bool ticked) {
    if (settings_.fitOnLoad == ticked)
        return;
    change([&] {
        settings_.fitOnLoad = ticked;
        if (!source_.isOpen())
            return;
        if (ticked) {
            // The box stays ticked, so later loads are fitted; this picture keeps its size.
            Picture fitted = fitToWidth(working_);
            refuseEmpty(fitted, working_.width(), working_.height(), whenFitted(),
                        QStringLiteral("It keeps its size; the next pictures are fitted."));
            showWorking(std::move(fitted));
            workingLoadedFitted_.reset();
        } else {
            showWorking(source_.decode(LoadOptions{}));
            workingLoadedFitted_ = false;
            state_.stretch = false;
            state_.center = false;
        }
        rebuild();
        emit drawPreview();
    });
}

void ColourControlsModel::resizeByPercent(int percent) {
    // Nothing is loaded yet: there is no picture to resize.
    if (!source_.isOpen())
        return;
    // The loaded picture, fitted while "Fit Scale" is ticked: the working picture while it still
    // is that, else the file decoded again.
    const bool fit = settings_.fitOnLoad;
    Picture decoded;
    if (workingLoadedFitted_ != fit)
        decoded = source_.decode(LoadOptions{fit});
    const Picture& base = workingLoadedFitted_ == fit ? working_ : decoded;
    Picture resized = logosmith::resizeByPercent(base, percent);
    refuseEmpty(resized, base.width(), base.height(), QStringLiteral("at %1%").arg(percent),
                QStringLiteral("It keeps its size."));
    decoded = Picture();
    change([&] {
        showWorking(std::move(resized));
        workingLoadedFitted_ = percent == 100 ? std::optional<bool>(fit) : std::nullopt;
        // The view shows the resized picture first, then its separation when live.
        emit drawPreview();
        rebuild();
    });
}

void ColourControlsModel::centre() {
    change([&] { state_.center = true; });
}

void ColourControlsModel::stretch() {
    change([&] { state_.stretch = true; });
}

void ColourControlsModel::moveThreshold(int position) {
    position = std::clamp(position, 0, thresholdMaximum);
    if (position == state_.threshold)
        return;
    change([&] {
        state_.threshold = position;
        state_.thresholdText = QString::number(position);
        settings_.targetColor = hueToTarget(position);
        state_.thresholdSwatch = settings_.targetColor;
        rebuild();
    });
}

void ColourControlsModel::moveRValue(int position) {
    position = std::clamp(position, 0, valueMaximum);
    if (position == state_.rValue)
        return;
    change([&] {
        state_.rValue = position;
        state_.rValueText = QString::number(position);
        // The tint follows the three pure modes only.
        switch (settings_.inkMode) {
        case InkMode::Red:
            state_.rValueSwatch = tintOf(position, colours::red);
            break;
        case InkMode::Green:
            state_.rValueSwatch = tintOf(position, colours::green);
            break;
        case InkMode::Blue:
            state_.rValueSwatch = tintOf(position, colours::blue);
            break;
        default:
            break;
        }
        settings_.rValue = position;
        rebuild();
    });
}

void ColourControlsModel::moveLValue(int position) {
    position = std::clamp(position, 0, valueMaximum);
    if (position == state_.lValue)
        return;
    change([&] {
        state_.lValue = position;
        state_.lValueText = QString::number(position);
        settings_.lValue = position;
        const Colour lColor = settings_.lColor;
        if (!state_.radiosChooseLInk)
            state_.lValueSwatch = tintOf(position, colours::black);
        else if (lColor == colours::red || lColor == colours::green || lColor == colours::blue)
            state_.lValueSwatch = tintOf(position, lColor);
        rebuild();
    });
}

void ColourControlsModel::chooseLInkColour(Colour colour, const QString& name) {
    state_.lCartridgeName = name;
    state_.lCartridgeSwatch = colour;
    state_.lValueSwatch = colour;
    settings_.lColor = colour;
    rebuild();
}

void ColourControlsModel::chooseInkMode(InkMode mode, Colour colour, const QString& name,
                                        int threshold) {
    settings_.inkMode = mode;
    state_.rCartridgeName = name;
    state_.rCartridgeSwatch = colour;
    if (mode == InkMode::BlackOnly) {
        settings_.targetColor = settings_.lColor;
    } else {
        state_.rValueSwatch = colour;
        settings_.targetColor = colour;
    }
    moveRValue(100);
    moveThreshold(threshold);
    rebuild();
}

void ColourControlsModel::selectInk(InkChoice choice) {
    if (choice == state_.ink || choice == InkChoice::None)
        return;
    change([&] {
        state_.ink = choice;
        // With CheckBox1 ticked the buttons choose the L-ink colour, else the R-ink mode.
        const bool lInk = state_.radiosChooseLInk;
        switch (choice) {
        case InkChoice::Red:
            if (lInk)
                chooseLInkColour(colours::red, QStringLiteral(" Red"));
            else
                chooseInkMode(InkMode::Red, colours::red, QStringLiteral(" Red"), 360);
            break;
        case InkChoice::Green:
            if (lInk)
                chooseLInkColour(colours::green, QStringLiteral(" Green"));
            else
                chooseInkMode(InkMode::Green, colours::green, QStringLiteral(" Green "), 120);
            break;
        case InkChoice::Blue:
            if (lInk)
                chooseLInkColour(colours::blue, QStringLiteral(" Blue"));
            else
                chooseInkMode(InkMode::Blue, colours::blue, QStringLiteral(" Blue"), 240);
            break;
        case InkChoice::Black:
            if (lInk)
                chooseLInkColour(colours::black, QStringLiteral(" Black"));
            else
                chooseInkMode(InkMode::BlackOnly, colours::black, QStringLiteral("  Off "), 0);
            break;
        case InkChoice::None:
            break;
        }
    });
}

void ColourControlsModel::setRadiosChooseLInk(bool ticked) {
    if (ticked == state_.radiosChooseLInk)
        return;
    change([&] {
        state_.radiosChooseLInk = ticked;
        if (!ticked) {
            // The L colour and the selected button stay as they are.
            state_.blackCaption = QStringLiteral("Off");
            return;
        }
        // The R ink keeps its mode while the buttons stand for the L ink.
        state_.blackCaption = QStringLiteral("Black");
        selectInk(InkChoice::Black);
        state_.lCartridgeName = QStringLiteral(" Black");
        state_.lCartridgeSwatch = colours::black;
        settings_.lColor = colours::black;
        rebuild();
    });
}

void ColourControlsModel::chooseRCartridgeColour(Colour colour) {
    change([&] {
        state_.rCartridgeSwatch = colour;
        state_.rCartridgeName = QStringLiteral("User");
        settings_.userColor = colour;
        // The target stays: the pixels nearest it take the chosen colour.
        settings_.inkMode = InkMode::User;
        rebuild();
    });
}

void ColourControlsModel::chooseLCartridgeColour(Colour colour) {
    change([&] {
        state_.lCartridgeSwatch = colour;
        state_.lCartridgeName = QStringLiteral("Base");
        settings_.lColor = colour;
        rebuild();
    });
}

bool& ColourControlsModel::rgbFlag(RgbControl box) {
    switch (box) {
    case RgbControl::Invert:
        return settings_.invertColor;
    case RgbControl::SwapBlackWhite:
        return settings_.swapBlackWhite;
    case RgbControl::SwapGreenBlue:
        return settings_.swapGreenBlue;
    case RgbControl::SwapRedBlue:
        return settings_.swapRedBlue;
    case RgbControl::SwapRedGreen:
        break;
    }
    return settings_.swapRedGreen;
}

void ColourControlsModel::setRgbControl(RgbControl box, bool ticked) {
    bool& flag = rgbFlag(box);
    if (flag == ticked)
        return;
    change([&] {
        flag = ticked;
        rebuild();
    });
}

void ColourControlsModel::setUpdateTicked(bool ticked) {
    if (ticked == state_.updateTicked)
        return;
    change([&] {
        state_.updateTicked = ticked;
        settings_.liveUpdate = ticked;
        if (ticked)
            emit drawPreview();
    });
}

void ColourControlsModel::updateNow() {
    // The box keeps its state: the preview follows every change again until it is clicked.
    change([&] {
        settings_.liveUpdate = true;
        emit drawPreview();
    });
}

void ColourControlsModel::restoreDefaults() {
    change([&] {
        settings_.liveUpdate = true;
        selectInk(InkChoice::Red);
        state_.rCartridgeSwatch = colours::red;
        settings_.targetColor = colours::red;
        settings_.inkMode = InkMode::Red;
        moveRValue(100);
        settings_.rValue = 100;
        moveThreshold(thresholdMaximum);
        state_.rCartridgeName = QStringLiteral("  Red");
        state_.lCartridgeSwatch = colours::black;
        state_.lCartridgeName = QStringLiteral("  Black");
        settings_.lColor = colours::black;
        state_.center = false;
        for (RgbControl box :
             {RgbControl::Invert, RgbControl::SwapRedGreen, RgbControl::SwapRedBlue,
              RgbControl::SwapGreenBlue, RgbControl::SwapBlackWhite})
            setRgbControl(box, false);
        // Fitting is left alone: the "Fit Scale" box and the flag behind it always agree.
        rebuild();
        emit drawPreview();
    });
}

void ColourControlsModel::setDither(DitherMode mode) {
    if (mode == settings_.dither)
        return;
    change([&] {
        settings_.dither = mode;
        rebuild();
    });
}

Picture ColourControlsModel::takePreview() {
    finishedPreview();
    source_ = PictureSource();
    working_ = Picture();
    workingLoadedFitted_.reset();
    return std::move(preview_);
}

} // namespace logosmith
