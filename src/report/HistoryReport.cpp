#include "report/HistoryReport.h"

#include "archive/Archive.h"
#include "data/Conversion.h"
#include "data/Errors.h"
#include "data/FileIo.h"
#include "history/HistoryCharts.h"
#include "output/NumberFormat.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

namespace vel {

using namespace page;

namespace {

void driftLines(Flow& flow, const QStringList& found, const QString& rules) {
    flow.gap(3);
    if (found.isEmpty())
        flow.line(QStringLiteral("Posun podle pravidel níže nezjištěn."), BodyBold);
    for (const QString& l : found)
        flow.line(l, BodyBold);
    flow.line(rules, Small);
    flow.gap(10);
}

} // namespace

void historyContent(Flow& flow, const InstrumentHistory& h, HistoryPictures& pictures,
                    const QFont& chartFont) {
    const QChar separator = decimalSeparator();
    const QStringList titles = historyColumnTitles();
    std::vector<QStringList> results, scores;
    for (std::size_t i = 0; i < h.entries.size(); ++i) {
        const QStringList row = historyRow(
            h, i, [](double v) { return formatGeneral(v); }, separator);
        results.push_back(row.mid(0, titles.size() - kScoreKinds));
        scores.push_back(QStringList{row[0]} + row.mid(titles.size() - kScoreKinds));
    }
    flow.line(QStringLiteral("Výsledky v jednotlivých kolech"), Heading);
    flow.table(titles.mid(0, titles.size() - kScoreKinds), results,
               {false, false, true, true, false, true, true, false, false});
    flow.gap(8);
    flow.line(QStringLiteral("Skóre na jednotné stupnici (1 = mez kola)"), Heading);
    flow.table(QStringList{titles[0]} + titles.mid(titles.size() - kScoreKinds), scores,
               {false, true, true, true, true, true, true});
    flow.gap(3);
    flow.line(QStringLiteral("kruh d/R: vzdálenost bodu [průměrná chyba; směrodatná odchylka "
                             "chyby] od středu kola dělená poloměrem kružnice R; elipsa: "
                             "√((d − M)²/a² + (s − Med)²/b²); E/CE, Q/CQ: Sy,x a 1 − r² "
                             "dělené 95% mezemi spolehlivosti kola; E/LE, Q/LQ: dělené mezemi "
                             "náhodné chyby. Skóre chybí, je-li mez kola nulová (uvedeno "
                             "v tabulce) nebo nemá-li kolo výsledky."),
              Small);
    if (!h.ambiguous.isEmpty())
        flow.line(QStringLiteral("Vynechaná kola: %1 – přístroj s identifikátorem %2 v nich byl "
                                 "uveden vícekrát, takže nelze určit, který byl váš.")
                      .arg(h.ambiguous.join(QStringLiteral(", ")), h.id),
                  Small);
    flow.gap(10);
    if (h.points().size() < 2) {
        flow.line(h.entries.size() <= 1
                      ? QStringLiteral("Toto je první kolo přístroje %1 v archivu kol; vývoj "
                                       "v čase ukážou zprávy dalších kol.")
                            .arg(h.id)
                      : QStringLiteral("Výsledky celkového testu má přístroj %1 jen z jednoho "
                                       "kola; grafy vývoje potřebují aspoň dvě.")
                            .arg(h.id),
                  Body);
        return;
    }
    pictures.test = testScoreChart(h);
    pictures.calibration = calibrationScoreChart(h);
    const std::vector<HistoryPoint> points = h.points();
    flow.chart(*pictures.test, pictures.testState, kHistoryChartSize, chartFont);
    driftLines(flow, testDrift(points), testDriftRules());
    flow.chart(*pictures.calibration, pictures.calibrationState, kHistoryChartSize, chartFont);
    driftLines(flow, calibrationDrift(points), calibrationDriftRules());
}

QByteArray makeHistoryPdf(const InstrumentHistory& h, const QFont& chartFont) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        const QString title = QStringLiteral("Historie přístroje %1").arg(h.id);
        QPdfWriter writer(&buffer);
        setUpWriter(writer, title);
        const Fonts fonts(&writer);
        Flow flow(fonts);
        flow.newPage(title);
        flow.line(title, Title);
        flow.line(QStringLiteral("Kola archivu, v nichž je přístroj s identifikátorem „%1“: %2, "
                                 "v pořadí podle data testu.")
                      .arg(h.id, roundCount(int(h.entries.size()))),
                  Body);
        for (const InstrumentListing& s : h.similar)
            flow.line(QStringLiteral("Podobný identifikátor v archivu (liší se jen velikostí "
                                     "písmen nebo mezerami): „%1“, %2.")
                          .arg(s.instrumentId, roundCount(s.rounds)),
                      Body);
        flow.gap(8);
        HistoryPictures pictures;
        historyContent(flow, h, pictures, chartFont);
        paintPages(
            writer, flow.pages, fonts, chartFont,
            [&](QPainter& p, const Page& page, int number, int count) {
                const double u = kResolution / 72.0;
                drawText(p, fonts, QPointF(kLeft, kHeaderBaseline), page.subject, SmallBold);
                p.setPen(QPen(Qt::black, 0.5 * u));
                p.drawLine(QLineF(kLeft * u, kHeaderRule * u, kRight * u, kHeaderRule * u));
                p.setPen(Qt::black);
                const QString folio = QStringLiteral("strana %1 z %2").arg(number).arg(count);
                drawText(p, fonts,
                         QPointF((kPageWidth - fonts.advance(Small, folio)) / 2, kFooterBaseline),
                         folio, Small);
            });
    }
    buffer.close();
    return pdf;
}

ArchivedRounds archivedRoundsOf(const ArchiveLocation& location) {
    auto archive = std::make_shared<Archive>(location);
    return [archive](const QString& id) {
        if (archive->open(OpenFor::Reading) == 0)
            return std::vector<InstrumentRound>();
        return archive->instrumentRounds(id);
    };
}

QString historyUsageProblem(const ReportArguments& a) {
    if (a.list || !a.reference.isEmpty() || !a.summary.isEmpty() || !a.store.isEmpty() ||
        !a.info.isEmpty() || !a.fromArchive.isEmpty() || !a.participants.isEmpty() ||
        !a.copyTo.isEmpty() || a.anonymous || !a.instruments.isEmpty())
        return QStringLiteral(
            "volba --history se kombinuje jen s volbami --pdf, --csv a --archive");
    if (a.pdf.isEmpty() && a.csv.isEmpty())
        return QStringLiteral("volba --history potřebuje výstup --pdf nebo --csv");
    return QString();
}

QByteArray runHistory(const ReportArguments& args, const ArchiveLocation& location) {
    Archive archive(location);
    const InstrumentHistory h = readHistory(archive, args.history);
    if (h.entries.empty()) {
        QString message = QStringLiteral("Přístroj „%1“ v archivu kol „%2“ není")
                              .arg(args.history, location.displayName());
        QStringList similar;
        for (const InstrumentListing& s : h.similar)
            similar << QStringLiteral("„%1“").arg(s.instrumentId);
        if (!similar.isEmpty())
            message +=
                QStringLiteral("; podobné identifikátory: ") + similar.join(QStringLiteral(", "));
        throw AppError(message);
    }
    StagedFiles files(WriteErrors::Stream, Links::Follow, Waiting::ForReader);
    if (!args.pdf.isEmpty())
        files.add(args.pdf, makeHistoryPdf(h, QGuiApplication::font()));
    if (!args.csv.isEmpty())
        files.add(args.csv, historyCsv(h, decimalSeparator()));
    files.commit();
    return QByteArray();
}

} // namespace vel
