#include "report/RoundHeader.h"

#include <QPainter>

namespace vel {

using namespace page;

namespace {
constexpr double kFirstBaseline = 26;
constexpr double kSecondBaseline = 36;
constexpr double kRule = 41;
} // namespace

RoundHeader roundHeader(const QString& name, const RoundInfo& info, const QString& number) {
    RoundHeader h;
    QStringList lines;
    for (const QString& l : info.provider.split(u'\n'))
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    h.provider = lines.join(QStringLiteral(", "));
    h.round = name;
    h.number = number;
    h.status = roundStatusText(info.status);
    if (info.issueDate.isValid())
        h.issued = info.issueDate.toString(QStringLiteral("dd.MM.yyyy"));
    return h;
}

QString participantReportNumber(const QString& roundName, int code) {
    return QStringLiteral("%1-%2").arg(roundName).arg(code);
}

void roundInfoLines(Flow& flow, const QString& label, const QString& text, const QString& none) {
    QStringList lines;
    for (const QString& l : text.split(u'\n'))
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    if (lines.isEmpty() && none.isEmpty())
        return;
    if (lines.isEmpty())
        lines << none;
    flow.line(label + lines.takeFirst(), Body);
    for (const QString& l : lines)
        flow.line(l, Body);
}

void paintRoundHeader(QPainter& p, const Fonts& fonts, const RoundHeader& header, int number,
                      int count, double rightEdge) {
    const double u = kResolution / 72.0; // device units per point
    auto right = [&](double baseline, const QString& text, Role role) {
        drawText(p, fonts, QPointF(rightEdge - fonts.advance(role, text), baseline), text, role);
        return fonts.advance(role, text);
    };
    const QString numberText = !header.mark.isEmpty() ? header.mark
                               : header.number.isEmpty()
                                   ? QString()
                                   : QStringLiteral("číslo zprávy: ") + header.number;
    const double numberWidth = right(kFirstBaseline, numberText, SmallBold);
    QString provider =
        header.provider.isEmpty() ? QStringLiteral("organizátor neuveden") : header.provider;
    const double room = rightEdge - kLeft - numberWidth - 12;
    if (fonts.advance(SmallBold, provider) > room) {
        while (!provider.isEmpty() && fonts.advance(SmallBold, provider + u'…') > room)
            provider.chop(1);
        provider = provider.trimmed() + u'…';
    }
    drawText(p, fonts, QPointF(kLeft, kFirstBaseline), provider, SmallBold);

    const QString issued = header.issued.isEmpty() ? QStringLiteral("datum vydání neuvedeno")
                                                   : QStringLiteral("vydáno ") + header.issued;
    const QString round = header.round.isEmpty() ? QStringLiteral("kolo neuloženo v archivu")
                                                 : QStringLiteral("kolo ") + header.round;
    drawText(p, fonts, QPointF(kLeft, kSecondBaseline),
             QStringLiteral("%1    stav zprávy: %2    %3").arg(round, header.status, issued), Small);
    right(kSecondBaseline, QStringLiteral("strana %1 z %2").arg(number).arg(count), Small);
    p.setPen(QPen(Qt::black, 0.5 * u));
    p.drawLine(QLineF(kLeft * u, kRule * u, rightEdge * u, kRule * u));
    p.setPen(Qt::black);
}

} // namespace vel
