#include "separation/controls/DitheringModel.h"

#include "platform/SettingsStore.h"
#include "separation/controls/ColourControlsModel.h"

namespace logosmith {

namespace {

const QString group = QStringLiteral("Dithering");
const QString modeName = QStringLiteral("Mode");

} // namespace

DitheringModel::DitheringModel(SettingsStore& store, ColourControlsModel& pictures, QObject* parent)
    : SettingModel(parent), store_(store), pictures_(pictures) {
    // A mode put back by an undo is the choice again, kept as if chosen.
    connect(&pictures_, &ColourControlsModel::changed, this, [this] {
        const DitherMode now = pictures_.settings().dither;
        if (now == mode_)
            return;
        store_.writeText(group, modeName, ditherModeName(now));
        assign(mode_, now);
    });
}

void DitheringModel::load() {
    const std::optional<QString> stored = store_.readText(group, modeName);
    apply(stored ? ditherModeNamed(*stored).value_or(DitherMode::None) : DitherMode::None);
}

void DitheringModel::choose(DitherMode mode) {
    store_.writeText(group, modeName, ditherModeName(mode));
    apply(mode);
}

void DitheringModel::apply(DitherMode mode) {
    // The mode first, so the pictures' change is not taken for one of an undo.
    const bool changedHere = mode_ != mode;
    mode_ = mode;
    pictures_.setDither(mode);
    if (changedHere)
        emit changed();
}

} // namespace logosmith
