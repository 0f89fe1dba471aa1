#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace logosmith {
class SettingsStore;
}

// Remembers a window's place, show state, focused control and a few control properties in the
// settings group `iniSection`, and applies them again each time the window is shown.
//
// The component watches its window's show and close events itself; the window's destructor must
// call windowDestroying() so that a window still open at the end of the run is written too (with
// "Visible" "1"). Nothing is written for a window that was never shown in this run.
//
// Stored properties are "Component.Property" entries naming a child by objectName and one of its
// Qt properties (first letter lower-cased: "Checked" is `checked`, "Text" is `text`). Boolean
// properties are stored as "True"/"False", text properties trimmed of blanks and control
// characters, integer properties in decimal. An entry naming no existing child is skipped.
class FormStorage : public QObject {
    Q_OBJECT
  public:
    // The values live in `store`. The component is owned by `parent`, or by the window when no
    // parent is given. `designCentred`: the window's designed place is the centre of the screen;
    // it is centred on a show that finds no usable stored place, and never again once it has
    // been placed.
    FormStorage(QWidget* window, logosmith::SettingsStore& store, QString iniSection,
                QStringList storedProps, bool designCentred = false, QObject* parent = nullptr);

    // What happens on every show: placement, show state, stored properties, focused control.
    void apply();
    // Writes every value; "Visible" is "1" during the window's destruction, else "0".
    void write(bool duringDestruction);
    // For the window's destructor: writes unless written since the last apply.
    void windowDestroying();

    // True when the last apply moved the window to its stored place; the window must then not
    // re-centre itself.
    bool positionApplied() const { return positionApplied_; }
    bool restored() const { return restored_; }
    bool saved() const { return saved_; }

    const QString& iniSection() const { return section_; }
    const QStringList& storedProps() const { return props_; }

    // The screen size (for the "(WxH)" suffix) and logical pixels per inch to use instead of
    // the real screen's; std::nullopt returns to the real value. For tests.
    static void setScreenOverride(std::optional<QSize> size, std::optional<int> pixelsPerInch);
    static QSize screenSize();
    int pixelsPerInch() const;

    logosmith::SettingsStore& store() const { return store_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyPlacement();
    Qt::WindowStates storedShowState() const;
    void applyProperties();
    void applyActiveControl();
    void centreOnScreen();

    QPointer<QWidget> window_;
    QString section_;
    QStringList props_;
    bool designCentred_;
    bool restored_ = false;
    bool saved_ = false;
    logosmith::SettingsStore& store_;
    bool positionApplied_ = false;
    bool deliveringClose_ = false;
};
