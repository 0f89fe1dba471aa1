#include "printdata/windows/PrinterViewWindow.h"

#include "platform/widgets/FormStorage.h"
#include "printdata/reader/PrinterFile.h"
#include "printdata/reader/SheetImage.h"
#include "printdata/reader/StreamReader.h"
#include "printdata/reader/StreamView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

using namespace logosmith;

namespace {

// A sheet as the printer lays it: one image pixel per printer unit, drawn at a scale.
class SheetView : public QWidget {
  public:
    explicit SheetView(QImage image) : image_(std::move(image)) {
        setObjectName("Sheet");
        setAttribute(Qt::WA_OpaquePaintEvent);
        setScale(1);
    }

    double scale() const { return scale_; }
    QSize imageSize() const { return image_.size(); }

    void setScale(double scale) {
        scale_ = scale;
        resize(std::max(1, int(std::ceil(image_.width() * scale))),
               std::max(1, int(std::ceil(image_.height() * scale))));
        // Below one pixel per unit the dots are blended, not dropped; the blend is made once.
        reduced_ = scale < 1
                       ? image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       : QImage();
        update();
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (!reduced_.isNull()) {
            painter.drawImage(event->rect(), reduced_, event->rect());
            return;
        }
        // Whole multiples, nearest pixel: only the units under the exposed area are scaled, so
        // a large sheet at a high zoom costs what the window shows.
        const QRect exposed = event->rect();
        const int left = int(exposed.left() / scale_);
        const int top = int(exposed.top() / scale_);
        const int right = std::min(image_.width(), int(std::ceil((exposed.right() + 1) / scale_)));
        const int bottom =
            std::min(image_.height(), int(std::ceil((exposed.bottom() + 1) / scale_)));
        if (right <= left || bottom <= top)
            return;
        const QRect units(left, top, right - left, bottom - top);
        painter.drawImage(
            QRectF(left * scale_, top * scale_, units.width() * scale_, units.height() * scale_),
            image_, units);
    }

  private:
    QImage image_;
    QImage reduced_;
    double scale_ = 1;
};

// One tab: a sheet in a scroll area. The wheel scrolls; with Ctrl it zooms.
class SheetArea : public QScrollArea {
  public:
    std::function<void(int steps, QPointF at)> zoomWheel;
    std::function<void()> resized;

    SheetView* sheet() const { return static_cast<SheetView*>(widget()); }

  protected:
    void wheelEvent(QWheelEvent* event) override {
        if (!(event->modifiers() & Qt::ControlModifier)) {
            QScrollArea::wheelEvent(event);
            return;
        }
        event->accept();
        // A fine-grained wheel (a touchpad) zooms once per notch's worth of turning.
        wheelRest_ += event->angleDelta().y();
        const int steps = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
        wheelRest_ -= steps * QWheelEvent::DefaultDeltasPerStep;
        if (steps != 0 && zoomWheel)
            zoomWheel(steps, event->position());
    }

    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        if (resized)
            resized();
    }

  private:
    int wheelRest_ = 0;
};

QString cutNote(const prn::Sheet& sheet, const prn::InkRaster& raster) {
    if (!raster.cut)
        return {};
    return QStringLiteral(" (too large to draw whole: only the top %1 of its %2 dot rows shown)")
        .arg(raster.height / prn::unitsPerDotRow)
        .arg(sheet.dotRows());
}

// As large as the area shows whole without scroll bars; above one pixel per unit in whole
// multiples only.
double fitScale(QSize sheet, QSize area) {
    if (sheet.isEmpty() || area.isEmpty())
        return 1;
    const double scale =
        std::min(double(area.width()) / sheet.width(), double(area.height()) / sheet.height());
    return scale >= 1 ? std::floor(scale) : scale;
}

SheetArea* areaOf(QWidget* page) {
    return static_cast<SheetArea*>(page);
}

} // namespace

const std::vector<double>& PrinterViewWindow::zoomScales() {
    static const std::vector<double> scales = {0.25, 0.5, 1, 2, 4, 8};
    return scales;
}

PrinterViewWindow::PrinterViewWindow(SettingsStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName("PrinterViewForm");
    setWindowTitle("Printer View");
    buildControls();
    resize(640, 480);
    // Its place and size, and the zoom, survive restarts.
    formStorage_ = new FormStorage(this, store, "printerview", {"ZoomBox.CurrentIndex"});
}

PrinterViewWindow::~PrinterViewWindow() {
    formStorage_->windowDestroying();
}

void PrinterViewWindow::buildControls() {
    sourceLabel_ = new QLabel(this);
    sourceLabel_->setObjectName("SourceLabel");
    sourceLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not widen the window.
    sourceLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    zoomLabel_ = new QLabel("Zoom", this);
    zoomLabel_->setObjectName("ZoomLabel");
    zoomBox_ = new QComboBox(this);
    zoomBox_->setObjectName("ZoomBox");
    zoomBox_->addItem("Fit");
    for (double scale : zoomScales())
        zoomBox_->addItem(QStringLiteral("%1 %").arg(scale * 100));
    zoomLabel_->setBuddy(zoomBox_);
    connect(zoomBox_, &QComboBox::currentIndexChanged, this, [this] { applyZoom(); });

    sheetTabs_ = new QTabWidget(this);
    sheetTabs_->setObjectName("SheetTabs");
    sheetTabs_->setDocumentMode(true);
    connect(sheetTabs_, &QTabWidget::currentChanged, this, [this] { showSheetLine(); });

    sheetLabel_ = new QLabel(this);
    sheetLabel_->setObjectName("SheetLabel");
    sheetLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QHBoxLayout();
    top->addWidget(sourceLabel_, 1);
    top->addWidget(zoomLabel_);
    top->addWidget(zoomBox_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(sheetTabs_, 1);
    column->addWidget(sheetLabel_);
}

void PrinterViewWindow::clear() {
    while (sheetTabs_->count() > 0) {
        QWidget* page = sheetTabs_->widget(0);
        sheetTabs_->removeTab(0);
        delete page;
    }
    sheetLines_.clear();
    summary_.clear();
    sourceLabel_->clear();
    sheetLabel_->clear();
}

void PrinterViewWindow::showStream(const QString& source,
                                   const std::function<std::vector<std::uint8_t>()>& bytes) {
    clear();
    const prn::Reading reading = prn::readPrinterStream(bytes());
    prn::requirePrinterStream(reading, source.toStdString());

    std::vector<std::pair<QString, const prn::Sheet*>> sheets;
    for (const prn::StoredLogo& logo : reading.logos) {
        sheets.emplace_back(QStringLiteral("logo %1").arg(logo.number), &logo.sheet);
        sheetLines_ << QString::fromStdString(prn::logoLine(logo));
    }
    if (!reading.paper.empty()) {
        sheets.emplace_back(QStringLiteral("test print"), &reading.paper);
        sheetLines_ << QString::fromStdString(prn::paperLine(reading.paper));
    }
    // The drawings share one bound, so a stream full of huge logos costs no more than one.
    const std::int64_t pixelsEach =
        prn::maxRenderPixels / std::max<std::int64_t>(1, std::int64_t(sheets.size()));
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const auto& [caption, sheet] = sheets[i];
        const prn::InkRaster raster = prn::renderSheet(*sheet, pixelsEach);
        sheetLines_[qsizetype(i)] += cutNote(*sheet, raster);
        auto* area = new SheetArea();
        area->setObjectName(caption == "test print" ? QStringLiteral("paper")
                                                    : QString(caption).remove(' '));
        area->setAlignment(Qt::AlignCenter);
        area->setBackgroundRole(QPalette::Mid);
        area->setWidget(new SheetView(prn::sheetImage(raster)));
        area->zoomWheel = [this](int steps, QPointF at) { stepZoom(steps, at); };
        area->resized = [this, area] {
            if (zoomBox_->currentIndex() == 0)
                area->sheet()->setScale(
                    fitScale(area->sheet()->imageSize(), area->maximumViewportSize()));
        };
        sheetTabs_->addTab(area, caption);
    }
    summary_ = QString::fromStdString(prn::summaryText(reading)).trimmed();
    sourceLabel_->setText(source);
    applyZoom();
    showSheetLine();
    show();
    raise();
    activateWindow();
}

void PrinterViewWindow::applyZoom() {
    const int choice = zoomBox_->currentIndex();
    for (int i = 0; i < sheetTabs_->count(); ++i) {
        SheetArea* area = areaOf(sheetTabs_->widget(i));
        area->sheet()->setScale(
            choice <= 0 ? fitScale(area->sheet()->imageSize(), area->maximumViewportSize())
                        : zoomScales()[std::size_t(choice - 1)]);
    }
}

void PrinterViewWindow::stepZoom(int steps, QPointF at) {
    SheetArea* area = areaOf(sheetTabs_->currentWidget());
    if (!area)
        return;
    SheetView* sheet = area->sheet();
    const double before = sheet->scale();
    const std::vector<double>& scales = zoomScales();
    // The nearest choice above or below the scale shown, Fit included.
    int choice = -1;
    for (int i = 0; i < int(scales.size()); ++i)
        if (steps > 0 ? scales[std::size_t(i)] > before * 1.001 && choice < 0
                      : scales[std::size_t(i)] < before * 0.999)
            choice = i;
    if (choice < 0)
        return;
    choice = std::clamp(choice + (steps > 0 ? steps - 1 : steps + 1), 0, int(scales.size()) - 1);
    const QPointF unit = QPointF(sheet->mapFrom(area->viewport(), at.toPoint())) / before;
    zoomBox_->setCurrentIndex(choice + 1);
    const QPoint now = sheet->mapTo(area->viewport(), (unit * sheet->scale()).toPoint());
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->value() + now.x() -
                                          int(at.x()));
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() + now.y() - int(at.y()));
}

void PrinterViewWindow::showSheetLine() {
    const int tab = sheetTabs_->currentIndex();
    sheetLabel_->setText(tab >= 0 && tab < sheetLines_.size() ? sheetLines_[tab] : summary_);
}
