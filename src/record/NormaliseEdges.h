// Turns the edges of the prototype record into ordinary columns where the
// user asked for them (a typed record begin or end, byte marks outside the
// columns, or no column at all), by rewriting markers in the row store.
#pragma once

#include "record/RecordLayout.h"
#include "marks/Marks.h"

namespace zorbik {

// Runs after a successful ValidateLayout. Adjusts walkFrom (lowered by one
// for a leading column) and columnCount.
void NormaliseEdges(Marks& store, RecordLayout& layout);

} // namespace zorbik
