#include "separation/controls/DitheringModel.h"

#include "platform/SettingsStore.h"
#include "separation/controls/ColourControlsModel.h"

namespace logosmith {

namespace {

const QString group = QStringLiteral("Dithering");
const QString modeName = QStringLiteral("Mode");

} // namespace

DitheringModel::DitheringModel(SettingsStore& store, ColourControlsModel& pictures, QObject* parent)
    : SettingModel(parent), store_(store), pictures_(pictures) {}

void DitheringModel::load() {
    const std::optional<QString> stored = store_.readText(group, modeName);
    apply(stored ? ditherModeNamed(*stored).value_or(DitherMode::None) : DitherMode::None);
}

void DitheringModel::choose(DitherMode mode) {
    store_.writeText(group, modeName, ditherModeName(mode));
    apply(mode);
}

void DitheringModel::apply(DitherMode mode) {
    pictures_.setDither(mode);
    assign(mode_, mode);
}

} // namespace logosmith
