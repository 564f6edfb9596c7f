#pragma once
// The header of a report issued for a round, on every page: the provider, the round's name,
// the report's number, its status ("předběžná" or "konečná"), the issue date and
// "strana N z M". Pages with this header start their content at kRoundTop.

#include "archive/ArchiveRecords.h"
#include "report/PageFlow.h"

#include <QString>

class QPainter;

namespace vel {

inline constexpr double kRoundTop = 56;

struct RoundHeader {
    QString provider; // its lines joined on one line
    QString round;
    QString number; // empty for a report without a number
    QString status;
    QString issued; // the issue date, dd.MM.yyyy, or empty
    // Stands where the number would, in bold: the confidentiality of the provider's report.
    QString mark;
};

// The header of a report of the round named `name` with this information; number as given.
RoundHeader roundHeader(const QString& name, const RoundInfo& info, const QString& number);

// The number of a participant's report: the round's name and the participant's code.
QString participantReportNumber(const QString& roundName, int code);

// The lines of a text of the round information, the first after its label; `none` in their
// place when it has none, nothing when `none` is empty too.
void roundInfoLines(page::Flow& flow, const QString& label, const QString& text,
                    const QString& none = QString());

// Paints the header of page `number` of `count`, whose right margin is at `right`. A
// provider too long for its line is cut short with "…" (the first page of a report gives
// it whole). A round without a name is one not stored in the archive.
void paintRoundHeader(QPainter& p, const page::Fonts& fonts, const RoundHeader& header, int number,
                      int count, double right = page::kRight);

} // namespace vel
