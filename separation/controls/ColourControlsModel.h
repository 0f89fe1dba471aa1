#pragma once

#include "platform/core/Error.h"
#include "separation/Separation.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/Picture.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace logosmith {

class PreviewRefiner;

// The radio buttons of the "Cartridge Color" group: "Red ", "Green  ", "Blue ", "Off".
enum class InkChoice { None, Red, Green, Blue, Black };

// The boxes of the "RGB control" group.
enum class RgbControl { Invert, SwapBlackWhite, SwapGreenBlue, SwapRedBlue, SwapRedGreen };

// What the colour panels and the two picture views show, as the control rules leave it. Each
// field names the control (its object name) that shows it. The RGB-control boxes and the
// "Fit Scale" box show the settings' own flags (invertColor, swap…, fitOnLoad).
struct ColourControlsState {
    int threshold = 360;                                // ScrollBar2, "THRESHOLD"
    QString thresholdText = QStringLiteral("360");      // Edit2
    Colour thresholdSwatch = colours::red;              // Shape6
    int rValue = 100;                                   // ScrollBar1, "R VALUE"
    QString rValueText = QStringLiteral("100");         // e1
    Colour rValueSwatch = colours::white;               // Shape3
    int lValue = 100;                                   // ScrollBar3, "L VALUE"
    QString lValueText = QStringLiteral("100");         // Edit3
    Colour lValueSwatch = colours::black;               // Shape7
    Colour rCartridgeSwatch = colours::red;             // Shape8
    QString rCartridgeName = QStringLiteral("  Red ");  // Edit5
    Colour lCartridgeSwatch = colours::black;           // Shape9
    QString lCartridgeName = QStringLiteral("  Black"); // Edit4
    InkChoice ink = InkChoice::None;              // radioRed, RadioGreen, RadioBlue, RadioBlack
    bool radiosChooseLInk = false;                // CheckBox1
    QString blackCaption = QStringLiteral("Off"); // RadioBlack's caption
    bool updateTicked = true;                     // UpdateCheckBox
    // The display flags of both views (Image1, Image2). center also centres the printout.
    bool stretch = false;
    bool center = false;

    friend bool operator==(const ColourControlsState&, const ColourControlsState&) = default;
};

// The dithering modes by the names the settings file and logosmith-cli give them: "none",
// "diffusion", "ordered", "best".
QString ditherModeName(DitherMode mode);
// The mode a name stands for, ignoring case and surrounding blanks; nothing for any other text.
std::optional<DitherMode> ditherModeNamed(const QString& name);

// A picture that would end with no pixels at all (fitted or resized down to a height of 0).
class EmptyPictureError : public Error {
  public:
    EmptyPictureError(const std::string& message, int width, int height)
        : Error(message), width_(width), height_(height) {}
    // The size the picture would have had.
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_;
    int height_;
};

// What an undo step of the colour controls puts back: the settings, what the controls show, the
// loaded file and, when the step replaced it (fitting, resizing, a load), the working picture.
// The preview is not kept: it follows from the working picture and the settings.
struct ColourControlsSnapshot {
    SeparationSettings settings;
    ColourControlsState state;
    PictureSource source;
    std::optional<bool> workingLoadedFitted;
    std::shared_ptr<const Picture> working; // null: the working picture stays as it is
};

// The colour controls and the preview under them: the separation settings, the loaded file
// (decodedImage, decoded again from its open file when needed), the working and preview pictures
// (workingImage, previewImage) and every rule by which loading, fitting, resizing
// and the colour panels change them. The main window only shows state() in its widgets and
// hands the person's changes to the functions below; logosmith-cli runs the same functions.
//
// Each function is the handler of one control. Like a control set from code, a function whose
// value is already in place runs nothing. Every change rebuilds the preview before it returns,
// as long as there is a picture.
//
// The best halftone is too slow for that: a change under it rebuilds the preview with the
// diffusion it starts from, a stand-in, and the best preview follows when the change is over
// (a slider let go). With refinement in the background (the window) it is worked out on a thread
// of its own and replaces the stand-in when it comes, unless a later change has overtaken it;
// without (logosmith-cli) it is worked out when finishedPreview() asks for it.
class ColourControlsModel : public QObject {
    Q_OBJECT
  public:
    explicit ColourControlsModel(QObject* parent = nullptr);
    ~ColourControlsModel() override;

    const SeparationSettings& settings() const { return settings_; }
    const ColourControlsState& state() const { return state_; }
    // The loaded picture file with its own size, until the next load. Its full-size picture is
    // not held: it is decoded again when "Fit Scale" is cleared or a resize needs it.
    const PictureSource& decoded() const { return source_; }
    // The picture being separated: the decoded picture, fitted or resized (hidden view Image1).
    const Picture& working() const { return working_; }
    // The separation of the working picture, the same size, as the views show it (visible view
    // Image2): under the best halftone the diffusion's stand-in while refining().
    const Picture& preview() const { return preview_; }
    // The preview as it stores, prints and goes into the library: the stand-in is replaced by the
    // best preview first, waiting for the background's or working it out here.
    const Picture& finishedPreview();
    // The preview is a stand-in for the best halftone still to come.
    bool refining() const { return refining_; }
    // Lets the best preview be worked out on a thread of its own as soon as a change is over.
    void setBackgroundRefinement(bool on) { background_ = on; }

    // Loading and sizing.
    // Decodes the file, straight into its fitted picture while "Fit Scale" is ticked, resets the
    // colour controls as every load does, and separates it. Throws, changing nothing, when the file
    // cannot be decoded or would fit to no pixels (EmptyPictureError).
    void loadPicture(const std::string& path);
    // "Fit Scale" (scaleCheckBox): ticked, fits the current working picture; cleared, goes back
    // to the loaded picture at full size. Throws EmptyPictureError when fitting leaves nothing;
    // the box stays ticked and later loads are fitted. Throws DecodeError, the picture keeping
    // its size, when the file was changed in place since the load.
    void setFitScale(bool ticked);
    // "Image Resize" 100%, 75%, 50%, 25%: always from the loaded picture (fitted while
    // "Fit Scale" is ticked). Nothing happens before a picture is loaded. Throws
    // EmptyPictureError, changing nothing, when the result would have no pixels, and
    // DecodeError when the file was changed in place since the load.
    void resizeByPercent(int percent);
    // "Fit Center" (btnCenter) and "Scale to Fit" (btnScale): the views' display flags.
    void centre();
    void stretch();

    // The colour panels.
    void moveThreshold(int position); // ScrollBar2, 0..360
    void moveRValue(int position);    // ScrollBar1, 0..255
    void moveLValue(int position);    // ScrollBar3, 0..255
    // One of the four radio buttons becomes selected: the R-ink mode, or with CheckBox1 ticked
    // the L-ink colour.
    void selectInk(InkChoice choice);
    // CheckBox1, "Color Change Select (Invert to L Cartridge )".
    void setRadiosChooseLInk(bool ticked);
    // "R Cartridge" and "L Cartridge" with a colour chosen (a cancelled choice changes nothing
    // and comes nowhere near the model).
    void chooseRCartridgeColour(Colour colour);
    void chooseLCartridgeColour(Colour colour);
    void setRgbControl(RgbControl box, bool ticked);
    // The "Update" box and the "Update" button (Button15).
    void setUpdateTicked(bool ticked);
    void updateNow();
    // "Restore default Setting".
    void restoreDefaults();
    // Setting -> Dithering: how the preview renders the tones between the inks. The colour
    // controls keep acting on the dithered preview; "Restore default Setting" leaves it alone.
    void setDither(DitherMode mode);

    // The separation settings a load would leave after these: the controls reset as every load
    // resets them; the user colour, the RGB controls and the dithering kept.
    static SeparationSettings settingsAfterLoad(const SeparationSettings& current);

    // The whole state, the working picture included (for a step that loads pictures).
    ColourControlsSnapshot snapshot() const;
    // Puts a snapshot back and separates again, as the person left it then. Announces no step.
    void restore(const ColourControlsSnapshot& snapshot);
    // While on (a slider held down), the steps taken count as one, and the best halftone waits
    // for the end of them.
    void setContinuousChange(bool on);

    // Hands the finished preview over and lets go of every picture, so a caller that only writes
    // the preview (logosmith-cli) never holds it twice.
    Picture takePreview();

  signals:
    // state() or settings() changed; sent once when the outermost handler ends, also when it
    // ends with an error, so a window showing the state never lags behind it.
    void changed();
    // The view of the working picture (Image1) must draw working() now.
    void drawWorking();
    // The preview view (Image2) must draw preview() now. With live update off the preview is
    // recomputed without it, and the view keeps its old drawing until the next one.
    void drawPreview();
    // A picture file has been loaded (the window enables the commands that need a picture).
    void pictureLoaded(const QString& path);
    // A change by a control (not a load, not a restore) ended: the state before and after it,
    // the working picture in both only when the change replaced it. `continuing` while the
    // changes count as one step.
    void stepTaken(const logosmith::ColourControlsSnapshot& before,
                   const logosmith::ColourControlsSnapshot& after, bool continuing);

  private:
    template <class Change> void change(Change&& apply);
    void rebuild();
    void refineWhenDue();
    void refined(std::uint64_t generation, Picture preview);
    void showWorking(Picture picture);
    void resetForLoad();
    void chooseLInkColour(Colour colour, const QString& name);
    void chooseInkMode(InkMode mode, Colour colour, const QString& name, int threshold);
    bool& rgbFlag(RgbControl box);

    SeparationSettings settings_;
    ColourControlsState state_;
    PictureSource source_;
    Picture working_;
    // Whether working_ is still exactly the file decoded fitted (true) or full size (false), as
    // it is after a load; resizing starts from it then instead of decoding the file again.
    std::optional<bool> workingLoadedFitted_;
    Picture preview_;
    int changeDepth_ = 0;
    // The step the outermost change is taking.
    ColourControlsSnapshot stepBefore_;
    bool loadedInStep_ = false;
    bool restoring_ = false;
    bool continuous_ = false;
    // Every rebuild is a new generation; a best preview only counts for the one it was made for.
    std::uint64_t generation_ = 0;
    bool refining_ = false;
    bool refineRequested_ = false;
    bool background_ = false;
    std::unique_ptr<PreviewRefiner> refiner_; // made for the first refinement in the background
};

} // namespace logosmith
