#pragma once

#include "platform/SettingModel.h"

#include <array>

namespace logosmith {

// The four vertical alignment values of the run, one per print mode (low, normal, high speed,
// colour), each the position 1..7 of the value -3..+3 in its row. Every run starts at -3 in
// every row; nothing is stored.
class AlignmentModel : public SettingModel {
    Q_OBJECT
  public:
    using SettingModel::SettingModel;

    const std::array<int, 4>& positions() const { return positions_; }
    // row 0..3, position 1..7; anything else is ignored.
    void choose(int row, int position) {
        if (row < 0 || row > 3 || position < 1 || position > 7)
            return;
        std::array<int, 4> next = positions_;
        next[std::size_t(row)] = position;
        assign(positions_, next);
    }

  private:
    std::array<int, 4> positions_{1, 1, 1, 1};
};

} // namespace logosmith
