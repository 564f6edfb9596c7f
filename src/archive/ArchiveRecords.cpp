#include "archive/ArchiveRecords.h"

namespace vel {

QString roundStatusText(RoundStatus status) {
    return status == RoundStatus::Final ? QStringLiteral("konečná") : QStringLiteral("předběžná");
}

} // namespace vel
