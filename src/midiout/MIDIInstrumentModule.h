#pragma once

#include <QString>

namespace tq {

// The name of General MIDI program index (0 to 127) as the instrument list shows it; an
// empty text for any other index.
QString InstrumentName(int index);

} // namespace tq
