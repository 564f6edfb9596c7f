#pragma once
// Participant codes: three digits (100 to 999), unique within a round, each participant
// learning only its own. A code once given stays with the sheet.

#include "archive/ArchiveRecords.h"

#include <QRandomGenerator>
#include <QString>

#include <utility>
#include <vector>

namespace vel {

// Gives every sheet without a code (0) one. A sheet's own code stays. Then a sheet whose
// "id stroje" (trimmed, not empty) is that of a sheet in `previous` (the "id stroje" and code
// of each sheet of the round being replaced, in tab order) takes the first such code not yet
// taken; the rest get a random free code. Raises for more than 900 sheets, a code out of
// range or a code on two sheets; roundName is for the messages.
void assignParticipantCodes(std::vector<Sheet>& sheets,
                            const std::vector<std::pair<QString, int>>& previous,
                            const QString& roundName, QRandomGenerator& random);

} // namespace vel
