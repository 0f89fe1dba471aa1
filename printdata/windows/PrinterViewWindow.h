#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class FormStorage;
class QComboBox;
class QLabel;
class QTabWidget;

namespace logosmith {
class SettingsStore;
}

// "Printer View": what the printer does with a command stream. One tab per logo a store leaves
// in the printer's memory and one for the paper a test print produces, each drawn in the
// printer's proportions (a double-density dot is half as wide as a single-density one) with the
// inks in their printed colours; the size of each in dots below. Unlike the dialogs it can be
// resized; the settings group "printerview" keeps its place and its zoom.
class PrinterViewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PrinterViewWindow(logosmith::SettingsStore& store, QWidget* parent = nullptr);
    ~PrinterViewWindow() override;

    // Reads the stream that `bytes` answers as the printer would and shows it under `source`
    // (a file, or what "Store" would send), the window brought to the front. The view is emptied
    // first: when `bytes` throws, or answers no printer stream (an Error that names the offset
    // where reading stopped), nothing stale is left in it and the error goes on to the caller.
    void showStream(const QString& source, const std::function<std::vector<std::uint8_t>()>& bytes);

    // The zoom choices, in the order of the zoom box: "Fit", then these scales.
    static const std::vector<double>& zoomScales();

  private:
    void buildControls();
    void clear();
    // Every sheet drawn at the zoom chosen (Fit: as large as the tab shows whole, whole
    // multiples only, so every dot of a kind keeps one width).
    void applyZoom();
    // Ctrl + wheel: one zoom choice up or down, the point under the mouse kept in place.
    void stepZoom(int steps, QPointF at);
    void showSheetLine();

    FormStorage* formStorage_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QTabWidget* sheetTabs_ = nullptr;
    QLabel* sheetLabel_ = nullptr;
    // What the label under the tabs says for each tab, and without any tab.
    QStringList sheetLines_;
    QString summary_;
};
