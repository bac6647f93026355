// The biometric units the framework lists: the attached USB readers it serves.
#pragma once

#include <optional>
#include <vector>

#include "platform/winbio_types.h"
#include "simulator/machine/bus.h"

namespace winbio {

// Index n of a generation is unit n + 1 + 10 * (type - 3): every unit id is
// unique on the machine, and (id - 1) mod 10 is the reader's index.
WINBIO_UNIT_ID UnitIdOf(const sim::Reader& reader);

// The served readers, in the framework's order (by unit id).
std::vector<sim::Reader> ServedReaders();

// The served reader behind a unit id; nullopt when there is none now.
std::optional<sim::Reader> ReaderOfUnit(WINBIO_UNIT_ID unitId);

// The unit's schema: maker "Tolvane", a model text with the generation's name.
void FillUnitSchema(const sim::Reader& reader, WINBIO_UNIT_SCHEMA& schema);

}  // namespace winbio
