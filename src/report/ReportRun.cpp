#include "report/ReportRun.h"

#include "data/Conversion.h"
#include "data/Errors.h"
#include "data/FileIo.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/ReportPdf.h"
#include "report/ResultCsv.h"

#include <QGuiApplication>

#include <optional>
#include <vector>

namespace vel {

namespace {

// The first output that is an input or an earlier output, once links are followed: the
// usage error that names both files; empty when every output is a file of its own.
QString outputClash(const ReportArguments& args) {
    struct Named {
        QString path;
        FileIdentity identity;
        const char* kind;
    };
    std::vector<Named> seen{
        {args.reference, fileIdentity(args.reference), "se souborem referenčních hodnot"}};
    for (const QString& i : args.instruments)
        seen.push_back({i, fileIdentity(i), "se vstupním souborem"});
    for (const QString* o : {&args.pdf, &args.summary, &args.csv}) {
        if (o->isEmpty())
            continue;
        const FileIdentity identity = fileIdentity(*o);
        for (const Named& n : seen)
            if (n.identity == identity)
                return QStringLiteral("výstupní soubor %1 je totožný %2 %3")
                    .arg(*o, QString::fromUtf8(n.kind), n.path);
        seen.push_back({*o, identity, "s výstupním souborem"});
    }
    return QString();
}

} // namespace

ReportArguments parseReportArguments(const QStringList& args) {
    ReportArguments out;
    auto usage = [](const QString& problem) {
        ReportArguments u;
        u.action = ReportArguments::Action::Usage;
        u.problem = problem;
        return u;
    };
    if (args.isEmpty())
        return usage(QString());
    bool optionsEnd = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnd || !a.startsWith(u'-') || a == QStringLiteral("-")) {
            out.instruments << a;
            continue;
        }
        if (a == QStringLiteral("--")) {
            optionsEnd = true;
            continue;
        }
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            out.action = ReportArguments::Action::Help;
            return out;
        }
        QString name = a;
        std::optional<QString> value;
        if (const qsizetype eq = a.indexOf(u'='); eq > 0) {
            name = a.left(eq);
            value = a.mid(eq + 1);
        }
        QString* target = name == QStringLiteral("--reference") ? &out.reference
                          : name == QStringLiteral("--pdf")     ? &out.pdf
                          : name == QStringLiteral("--summary") ? &out.summary
                          : name == QStringLiteral("--csv")     ? &out.csv
                                                                : nullptr;
        if (!target)
            return usage(QStringLiteral("neznámá volba %1").arg(name));
        if (!value) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("volbě %1 chybí jméno souboru").arg(name));
            value = args[++i];
        }
        if (value->isEmpty())
            return usage(QStringLiteral("volbě %1 chybí jméno souboru").arg(name));
        if (!target->isEmpty())
            return usage(QStringLiteral("volba %1 je uvedena vícekrát").arg(name));
        *target = *value;
    }
    if (out.reference.isEmpty())
        return usage(QStringLiteral("chybí volba --reference"));
    if (out.pdf.isEmpty())
        return usage(QStringLiteral("chybí volba --pdf"));
    if (out.instruments.isEmpty())
        return usage(QStringLiteral("chybí soubory přístrojů"));
    if (const QString clash = outputClash(out); !clash.isEmpty())
        return usage(clash);
    out.action = ReportArguments::Action::Run;
    return out;
}

QString reportUsage() {
    return QStringLiteral(
        "Použití: velimor-report --reference REFERENCE --pdf ZPRÁVA.pdf [--summary SOUHRN.txt]\n"
        "                        [--csv VÝSLEDKY.csv] PŘÍSTROJ.dat [PŘÍSTROJ.dat ...]\n"
        "\n"
        "Načte soubory přístrojů v uvedeném pořadí a soubor referenčních hodnot, provede\n"
        "celkový test jako \"provedení celkového testu\" a zapíše zprávu o testu.\n"
        "\n"
        "  --reference SOUBOR  soubor referenčních hodnot (povinný)\n"
        "  --pdf SOUBOR        zpráva o testu ve formátu PDF (povinná)\n"
        "  --summary SOUBOR    souhrnné výsledky, tytéž bajty jako \"export výstupu.\"\n"
        "  --csv SOUBOR        tabulka výsledků přístrojů pro tabulkový procesor\n"
        "                      (UTF-8, středníky, desetinný oddělovač podle nastavení)\n"
        "  -h, --help          vypíše tuto nápovědu\n"
        "\n"
        "Návratový kód: 0 hotovo; 1 chyba (hlášení na standardním chybovém výstupu,\n"
        "žádný soubor se nezapíše); 2 chybné volání.\n");
}

void runReport(const ReportArguments& args) {
    FileWorkspace ws = FileWorkspace::fromFiles(args.instruments, args.reference);
    OverallRecord record;
    overallTest(ws, ws.overall, ws.calibration, &record);

    // The charts as the windows show them right after the test, with the labels of the
    // calibration-quality chart moved apart as "uspořádat" would.
    ReportCharts charts;
    charts.font = QGuiApplication::font();
    arrangeChartLabels(*record.calibrationChart, record.calibrationChart->Series1,
                       charts.calibration, charts.font);

    // Every file is made and written beside its target before any of them takes its place.
    // A pipe or terminal named as an output gets everything, as fast as its reader reads.
    StagedFiles files(WriteErrors::Stream, Links::Follow, Waiting::ForReader);
    if (!args.summary.isEmpty())
        files.add(args.summary, ws.summary.fileBytes());
    if (!args.csv.isEmpty())
        files.add(args.csv, resultCsv(record, decimalSeparator()));
    files.add(args.pdf, makeReportPdf(record, charts).pdf);
    files.commit();
}

} // namespace vel
