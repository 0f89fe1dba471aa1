#include "printdata/settings/ResolutionModel.h"

#include "platform/SettingsStore.h"

namespace logosmith {

namespace {

const QString group = QStringLiteral("resol");
const QString indexName = QStringLiteral("index");

int named(std::optional<int> index) {
    return index && *index >= 1 && *index <= 4 ? *index : 0;
}

} // namespace

ResolutionModel::ResolutionModel(SettingsStore& store, QObject* parent)
    : SettingModel(parent), store_(store) {}

void ResolutionModel::load() {
    if (!store_.groupExists(group)) {
        choose(1);
        store_.writeInteger(group, indexName, 1);
        store_.sync();
        return;
    }
    choose(named(store_.readInteger(group, indexName)));
}

void ResolutionModel::save() {
    if (index_ == 0 || !store_.groupExists(group))
        return;
    store_.writeInteger(group, indexName, index_);
    store_.sync();
}

void ResolutionModel::choose(int index) {
    assign(index_, named(index));
}

Density ResolutionModel::density() const {
    return densityForIndex(index_ == 0 ? std::nullopt : std::optional<int>(index_));
}

} // namespace logosmith
