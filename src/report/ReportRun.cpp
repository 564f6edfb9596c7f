#include "report/ReportRun.h"

#include "data/Conversion.h"
#include "data/Errors.h"
#include "data/FileIo.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/ReportPdf.h"
#include "report/ResultCsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <optional>
#include <utility>
#include <vector>

namespace vel {

namespace {

// Writes every file; when one fails, the files written before it are taken back.
void writeAllOrNone(const std::vector<std::pair<QString, QByteArray>>& outputs) {
    struct Written {
        QString path;
        bool existed;
        std::optional<QByteArray> before;
    };
    std::vector<Written> written;
    try {
        for (const auto& [path, data] : outputs) {
            Written w{path, QFileInfo(path).isFile(), std::nullopt};
            if (w.existed) {
                QFile old(path);
                if (old.open(QIODevice::ReadOnly))
                    w.before = old.readAll();
            }
            writeWholeFile(path, data, WriteErrors::Stream);
            written.push_back(std::move(w));
        }
    } catch (...) {
        for (auto it = written.rbegin(); it != written.rend(); ++it) {
            try {
                if (it->before)
                    writeWholeFile(it->path, *it->before, WriteErrors::Stream);
                else if (!it->existed)
                    QFile::remove(it->path);
            } catch (...) {
            }
        }
        throw;
    }
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
    QStringList outputs{QFileInfo(out.pdf).absoluteFilePath()};
    for (const QString* o : {&out.summary, &out.csv}) {
        if (o->isEmpty())
            continue;
        const QString abs = QFileInfo(*o).absoluteFilePath();
        if (outputs.contains(abs))
            return usage(QStringLiteral("výstupní soubory musí být různé"));
        outputs << abs;
    }
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

    std::vector<std::pair<QString, QByteArray>> outputs;
    if (!args.summary.isEmpty())
        outputs.emplace_back(args.summary, ws.summary.fileBytes());
    if (!args.csv.isEmpty())
        outputs.emplace_back(args.csv, resultCsv(record, decimalSeparator()));
    outputs.emplace_back(args.pdf, makeReportPdf(record, charts).pdf);
    writeAllOrNone(outputs);
}

} // namespace vel
