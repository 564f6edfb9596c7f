#include "archive/ParticipantCodes.h"

#include "data/Errors.h"

#include <array>

namespace vel {

void assignParticipantCodes(std::vector<Sheet>& sheets,
                            const std::vector<std::pair<QString, int>>& previous,
                            const QString& roundName, QRandomGenerator& random) {
    constexpr int kCodes = kLastParticipantCode - kFirstParticipantCode + 1;
    if (sheets.size() > std::size_t(kCodes))
        throw AppError(
            QStringLiteral("Kolo „%1“ má %2 přístrojů, ale trojmístných kódů "
                           "účastníků je jen %3")
                .arg(roundName, QString::number(sheets.size()), QString::number(kCodes)));
    std::array<bool, kCodes> taken{};
    auto take = [&](int code) { taken[code - kFirstParticipantCode] = true; };
    auto isTaken = [&](int code) { return taken[code - kFirstParticipantCode]; };
    for (const Sheet& s : sheets) {
        if (s.participantCode == 0)
            continue;
        if (s.participantCode < kFirstParticipantCode || s.participantCode > kLastParticipantCode)
            throw AppError(QStringLiteral("Kód účastníka %1 listu „%2“ kola „%3“ není trojmístné "
                                          "číslo")
                               .arg(QString::number(s.participantCode), s.caption, roundName));
        if (isTaken(s.participantCode))
            throw AppError(QStringLiteral("Kód účastníka %1 má v kole „%2“ více listů")
                               .arg(QString::number(s.participantCode), roundName));
        take(s.participantCode);
    }
    for (Sheet& s : sheets) {
        const QString id = s.instrumentId().trimmed();
        if (s.participantCode != 0 || id.isEmpty())
            continue;
        for (const auto& [previousId, code] : previous) {
            if (previousId.trimmed() == id && code >= kFirstParticipantCode &&
                code <= kLastParticipantCode && !isTaken(code)) {
                s.participantCode = code;
                take(code);
                break;
            }
        }
    }
    std::vector<int> free;
    for (int code = kFirstParticipantCode; code <= kLastParticipantCode; ++code)
        if (!isTaken(code))
            free.push_back(code);
    for (Sheet& s : sheets) {
        if (s.participantCode != 0)
            continue;
        const auto pick = std::size_t(random.bounded(quint32(free.size())));
        s.participantCode = free[pick];
        free[pick] = free.back();
        free.pop_back();
    }
}

} // namespace vel
