// Setting -> Dithering: three exclusive items that hand the colour-controls model its dithering
// mode. The choice is kept in the settings group "Dithering" as Mode=none|diffusion|ordered.
#include "app/windows/MainWindow.h"

#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <optional>
#include <tuple>

using namespace logosmith;

namespace {

const QString ditheringGroup = QStringLiteral("Dithering");
const QString modeName = QStringLiteral("Mode");

} // namespace

void MainWindow::buildDitheringMenu() {
    Dithering1 = help1->addMenu("Dithering");
    Dithering1->setObjectName("Dithering1");
    Dithering1->menuAction()->setObjectName("Dithering1_item");
    auto* group = new QActionGroup(Dithering1);
    group->setExclusive(true);
    const std::tuple<QAction**, const char*, const char*, DitherMode> items[] = {
        {&NoDithering1, "NoDithering1", "No Dithering", DitherMode::None},
        {&ErrorDiffusion1, "ErrorDiffusion1", "Error Diffusion", DitherMode::Diffusion},
        {&OrderedDithering1, "OrderedDithering1", "Ordered Dithering", DitherMode::Ordered}};
    for (const auto& [field, name, caption, mode] : items) {
        QAction* item = Dithering1->addAction(caption);
        item->setObjectName(name);
        item->setCheckable(true);
        group->addAction(item);
        *field = item;
        connectGuarded(item, &QAction::triggered, this,
                       [this, mode = mode] { chooseDithering(mode); });
    }
    NoDithering1->setChecked(true);
    connect(&pictures_, &ColourControlsModel::changed, this, &MainWindow::showDithering);
}

void MainWindow::restoreDithering() {
    // A value this program did not write (edited by hand, damaged) means no dithering.
    const std::optional<QString> stored = store_.readText(ditheringGroup, modeName);
    pictures_.setDither(stored ? ditherModeNamed(*stored).value_or(DitherMode::None)
                               : DitherMode::None);
    showDithering();
}

void MainWindow::chooseDithering(DitherMode mode) {
    // Written even when the mode stays, so choosing repairs a damaged value.
    store_.writeText(ditheringGroup, modeName, ditherModeName(mode));
    pictures_.setDither(mode);
}

void MainWindow::showDithering() {
    switch (pictures_.settings().dither) {
    case DitherMode::Diffusion:
        ErrorDiffusion1->setChecked(true);
        break;
    case DitherMode::Ordered:
        OrderedDithering1->setChecked(true);
        break;
    case DitherMode::None:
        NoDithering1->setChecked(true);
        break;
    }
}
