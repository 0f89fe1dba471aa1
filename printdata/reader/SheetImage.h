#pragma once

#include "printdata/reader/StreamView.h"

#include <QImage>

namespace logosmith::prn {

// A drawn sheet as an indexed picture, one pixel per printer unit, each ink combination in its
// printed colour: four colours, so a third of the size of a true-colour picture.
QImage sheetImage(const InkRaster& raster);

} // namespace logosmith::prn
