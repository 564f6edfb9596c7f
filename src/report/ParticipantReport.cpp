#include "report/ParticipantReport.h"

#include "data/Conversion.h"
#include "data/Errors.h"
#include "data/FileNames.h"
#include "output/NumberFormat.h"
#include "overall/OverallRecord.h"
#include "report/PageFlow.h"
#include "report/ResultMeaning.h"
#include "report/RoundHeader.h"

#include <QBuffer>
#include <QHash>
#include <QPdfWriter>

namespace vel {

using namespace page;

namespace {

// An instrument's name in the texts of its own report.
QString ownName(const InstrumentOutcome& o, int code) {
    return o.id.trimmed().isEmpty() ? QStringLiteral("kód %1").arg(code) : o.id;
}

QString fixed2(double v) {
    return QString::number(v, 'f', 2).replace(u'.', decimalSeparator());
}

void firstPage(Flow& flow, const OverallRecord& record, const Round& round, int i) {
    const InstrumentOutcome& o = record.instruments[i];
    const int code = round.sheets[i].participantCode;
    const QString unit = QString::fromUtf8(kCountUnit);
    flow.newPage(QStringLiteral("Vaše výsledky"));
    flow.line(QStringLiteral("Vaše výsledky"), Title);
    flow.line(QStringLiteral("Přístroj %1, kód účastníka %2").arg(ownName(o, code)).arg(code),
              Heading);
    const QString date = record.roundTestDate();
    flow.line(QStringLiteral("Kolo %1, datum testu %2, přístrojů v kole: %3")
                  .arg(round.name, date.isEmpty() ? QStringLiteral("neuvedeno") : date)
                  .arg(record.instruments.size()),
              Body);
    roundInfoLines(flow, QStringLiteral("Organizátor: "), round.info.provider,
              QStringLiteral("neuveden"));
    if (!round.info.coordinator.trimmed().isEmpty())
        roundInfoLines(flow, QStringLiteral("Koordinátor: "), round.info.coordinator, QString());
    if (!round.info.samples.trimmed().isEmpty())
        roundInfoLines(flow, QStringLiteral("Vzorky: "), round.info.samples, QString());
    flow.gap(8);

    flow.box(verdictBox(record, i));
    flow.gap(10);

    flow.line(QStringLiteral("Výsledky vzorků"), Heading);
    {
        const QStringList header{
            QStringLiteral("vzorek"), QStringLiteral("referenční hodnota [%1]").arg(unit),
            QStringLiteral("průměr 4 měření [%1]").arg(unit),
            QStringLiteral("rozdíl průměru a referenční hodnoty [%1]").arg(unit),
            QStringLiteral("směrodatná odchylka 4 měření [%1]").arg(unit)};
        std::vector<QStringList> rows;
        const auto samples = sampleRows(record, i);
        for (int k = 0; k < 10; ++k)
            rows.push_back({QString::number(k + 1), QString::number(samples[k].reference),
                            fixed2(samples[k].mean), fixed2(samples[k].difference),
                            fixed2(samples[k].sd)});
        flow.table(header, rows, {false, true, true, true, true});
    }
    flow.gap(3);
    flow.line(QStringLiteral("Směrodatná odchylka je výběrová (dělitel 3). Průměrná chyba "
                             "přístroje je průměr 40 rozdílů měření a referenční hodnoty "
                             "(10 vzorků po 4 měřeních), směrodatná odchylka chyby jejich "
                             "výběrová směrodatná odchylka."),
              Small);
    flow.gap(10);

    flow.line(QStringLiteral("Údaje celého kola"), Heading);
    roundFigureLines(flow, record);
    flow.gap(3);
    flow.line(QStringLiteral("Sy,x je reziduální směrodatná chyba regrese referenčních hodnot "
                             "na 40 měřeních přístroje (dělitel 38); 1 − r² je doplněk "
                             "koeficientu determinace r² této regrese do jedné (0 pro body "
                             "přesně na přímce)."),
              Small);
    flow.gap(10);

    flow.line(QStringLiteral("Referenční hodnoty a komentář organizátora"), Heading);
    roundInfoLines(flow, QStringLiteral("Jak byly referenční hodnoty získány: "),
              round.info.referenceOrigin, QStringLiteral("neuvedeno"));
    roundInfoLines(flow, QStringLiteral("Komentář organizátora: "), round.info.advice,
              QStringLiteral("bez komentáře"));
    flow.gap(10);

    flow.line(QStringLiteral("Důvěrnost"), Heading);
    flow.line(QStringLiteral("Totožnost ostatních účastníků je důvěrná: v této zprávě i v jejích "
                             "grafech jsou uvedeni jen svými kódy. Váš kód %1 zná jen organizátor "
                             "a vy.")
                  .arg(code),
              Body);
}

// A round with another number of sheets than the test had instruments is not the round
// of that test; nor is a record without its charts a test that finished.
void checkRound(const OverallRecord& record, const Round& round, bool charts = true) {
    if (round.sheets.size() != record.instruments.size() ||
        (charts && (!record.overallChart || !record.calibrationChart)))
        throw AppError(QStringLiteral("Kolo „%1“ nepatří k výsledkům posledního celkového testu")
                           .arg(round.name));
}

} // namespace

ParticipantDocument makeParticipantReport(const OverallRecord& record, const Round& round, int i,
                                          const ReportCharts& charts,
                                          const InstrumentHistory& history) {
    checkRound(record, round);
    const InstrumentOutcome& o = record.instruments.at(i);
    const int code = round.sheets[i].participantCode;
    std::vector<int> codes;
    for (const Sheet& s : round.sheets)
        codes.push_back(s.participantCode);

    ParticipantDocument doc;
    doc.charts = participantCharts(record, codes, i, ownName(o, code));
    // Both charts on one portrait page, their text readable on paper.
    const auto width = [](QSize size) {
        return Flow::chartWidth(size, Orientation::Portrait, kRoundTop);
    };
    ChartPicture overall{
        readableChartSize(charts.overall.size, charts.font, width), {}};
    ChartPicture calibration{
        readableChartSize(charts.calibration.size, charts.font, width),
        {}};
    arrangeParticipantLabels(doc.charts, calibration, charts.font);
    ui::ChartState deviationState;

    const RoundHeader header =
        roundHeader(round.name, round.info, participantReportNumber(round.name, code));
    QBuffer buffer(&doc.pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        setUpWriter(writer,
                    QStringLiteral("Zpráva pro účastníka %1, kolo %2").arg(code).arg(round.name));
        const Fonts fonts(&writer);
        Flow flow(fonts, kRoundTop);
        firstPage(flow, record, round, i);

        flow.newPage(QStringLiteral("Grafy"));
        flow.line(QStringLiteral("Celkové vyhodnocení testu"), Heading);
        flow.chart(*doc.charts.overall, overall.state, overall.size, charts.font);
        flow.gap(12);
        flow.line(QStringLiteral("Kvalita kalibrace"), Heading);
        flow.chart(*doc.charts.calibration, calibration.state, calibration.size, charts.font);
        flow.gap(6);
        flow.line(QStringLiteral("Váš přístroj je v obou grafech vyznačen větším modrým bodem a "
                                 "popsán označením %1; ostatní přístroje jsou popsány jen svými "
                                 "kódy.")
                      .arg(ownName(o, code)),
                  Body);

        flow.newPage(QStringLiteral("Přístroj"));
        flow.line(QStringLiteral("Přístroj %1: odchylky měření a souhrnné výsledky")
                      .arg(ownName(o, code)),
                  Heading);
        if (o.deviation) {
            flow.chart(*o.deviation, deviationState,
                       readableChartSize(charts.deviation, charts.font, width),
                       charts.font);
            flow.gap(8);
        }
        for (const QString& l : record.block(i))
            flow.line(l, Body);

        HistoryPictures pictures;
        flow.newPage(QStringLiteral("Vývoj v čase"));
        flow.line(QStringLiteral("Vývoj v čase"), Title);
        if (history.id.trimmed().isEmpty()) {
            flow.line(QStringLiteral("Přístroj nemá identifikátor (id stroje), podle kterého by "
                                     "se daly najít jeho výsledky v dřívějších kolech."),
                      Body);
        } else {
            flow.line(QStringLiteral("Přístroj %1 v kolech archivu až po toto kolo, v pořadí "
                                     "podle data testu.")
                          .arg(history.id),
                      Body);
            flow.gap(6);
            historyContent(flow, history, pictures, charts.font);
        }

        paintPages(writer, flow.pages, fonts, charts.font,
                   [&](QPainter& p, const Page&, int number, int count) {
                       paintRoundHeader(p, fonts, header, number, count);
                   });
        doc.placed = std::move(flow.charts);
    }
    buffer.close();
    return doc;
}

QStringList participantFileNames(const OverallRecord& record, const Round& round) {
    checkRound(record, round, false);
    QStringList names;
    for (std::size_t i = 0; i < record.instruments.size(); ++i) {
        const QString id = record.instruments[i].id.trimmed();
        const int code = round.sheets[i].participantCode;
        names << fileNameOf(round.name + QStringLiteral(" – ") +
                            (id.isEmpty() ? QStringLiteral("kód %1").arg(code) : id));
    }
    QHash<QString, int> count;
    for (const QString& n : names)
        ++count[n];
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (count.value(names[i]) > 1)
            names[i] += QStringLiteral(" – %1").arg(round.sheets[std::size_t(i)].participantCode);
        names[i] += QStringLiteral(".pdf");
    }
    return names;
}

std::vector<ParticipantFile> makeParticipantReports(const OverallRecord& record, const Round& round,
                                                    const ReportCharts& charts,
                                                    const ArchivedRounds& archived) {
    const QStringList names = participantFileNames(record, round);
    std::vector<ParticipantFile> files;
    for (int i = 0; i < int(record.instruments.size()); ++i) {
        const QString& id = round.sheets[std::size_t(i)].instrumentId();
        const InstrumentHistory history = participantHistory(
            id.trimmed().isEmpty() ? std::vector<InstrumentRound>() : archived(id), round, i);
        files.push_back({names[i], makeParticipantReport(record, round, i, charts, history).pdf});
    }
    return files;
}

} // namespace vel
