#include "report/ReportRun.h"

#include "archive/Archive.h"
#include "archive/ParticipantCodes.h"
#include "data/Conversion.h"
#include "data/Errors.h"
#include "data/FileIo.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/HistoryReport.h"
#include "report/ParticipantReport.h"
#include "report/ReportArchive.h"
#include "report/ReportPdf.h"
#include "report/ResultCsv.h"
#include "report/RoundResults.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>

#include <optional>
#include <vector>

namespace vel {

namespace {

// The first output that is an input or an earlier output, once links are followed: the
// usage error that names both files; empty when every output is a file of its own. The
// archive file counts as an input.
QString outputClash(const ReportArguments& args, const QString& archiveFile) {
    struct Named {
        QString path;
        FileIdentity identity;
        const char* kind;
    };
    std::vector<Named> seen;
    auto input = [&seen](const QString& path, const char* kind) {
        if (!path.isEmpty())
            seen.push_back({path, fileIdentity(path), kind});
    };
    input(args.reference, "se souborem referenčních hodnot");
    input(args.info, "se souborem údajů o kole");
    input(archiveFile, "s archivem kol");
    for (const QString& i : args.instruments)
        input(i, "se vstupním souborem");
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

// Gives the round's sheets without a code the codes that storing it would give them: a
// sheet of the same "id stroje" in the round it replaces keeps that round's code.
void giveCodes(Round& round, const ArchiveLocation& location) {
    std::vector<std::pair<QString, int>> previous;
    Archive archive(location);
    if (archive.contains(round.name))
        for (const Sheet& s : archive.load(round.name).sheets)
            previous.emplace_back(s.instrumentId(), s.participantCode);
    assignParticipantCodes(round.sheets, previous, round.name, *QRandomGenerator::global());
}

// A participant's report that would be an input or another output: an error naming both.
void refuseClash(const ReportArguments& args, const ArchiveLocation& archive, const QString& path) {
    const FileIdentity identity = fileIdentity(path);
    QStringList others{args.reference, args.info, args.pdf, args.summary, args.csv};
    if (archive.kind == ArchiveKind::SqliteFile)
        others << archive.path;
    others += args.instruments;
    for (const QString& other : others)
        if (!other.isEmpty() && fileIdentity(other) == identity)
            throw AppError(
                QStringLiteral("Zpráva účastníka %1 by přepsala soubor %2").arg(path, other));
}

// The archive the arguments name, or the window's.
ArchiveLocation archiveOf(const ReportArguments& args) {
    return args.archive.isEmpty() ? defaultArchiveLocation() : ArchiveLocation::parse(args.archive);
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
        if (name == QStringLiteral("--list") || name == QStringLiteral("--anonymous")) {
            bool& flag = name == QStringLiteral("--list") ? out.list : out.anonymous;
            if (value)
                return usage(QStringLiteral("volba %1 nemá hodnotu").arg(name));
            if (flag)
                return usage(QStringLiteral("volba %1 je uvedena vícekrát").arg(name));
            flag = true;
            continue;
        }
        struct Option {
            const char* name;
            QString* target;
            const char* value; // what the option is missing without its value
        };
        const Option options[] = {
            {"--reference", &out.reference, "jméno souboru"},
            {"--pdf", &out.pdf, "jméno souboru"},
            {"--summary", &out.summary, "jméno souboru"},
            {"--csv", &out.csv, "jméno souboru"},
            {"--info", &out.info, "jméno souboru"},
            {"--archive", &out.archive, "archiv"},
            {"--store", &out.store, "název kola"},
            {"--from-archive", &out.fromArchive, "název kola"},
            {"--participants", &out.participants, "složka"},
            {"--history", &out.history, "identifikátor přístroje"},
            {"--copy-to", &out.copyTo, "archiv"},
        };
        const Option* option = nullptr;
        for (const Option& o : options)
            if (name == QLatin1String(o.name))
                option = &o;
        if (!option)
            return usage(QStringLiteral("neznámá volba %1").arg(name));
        const QString missing =
            QStringLiteral("volbě %1 chybí %2").arg(name, QString::fromUtf8(option->value));
        if (!value) {
            if (i + 1 >= args.size())
                return usage(missing);
            value = args[++i];
        }
        if (value->isEmpty())
            return usage(missing);
        if (!option->target->isEmpty())
            return usage(QStringLiteral("volba %1 je uvedena vícekrát").arg(name));
        *option->target = *value;
    }
    const bool anyOutput = !out.pdf.isEmpty() || !out.summary.isEmpty() || !out.csv.isEmpty() ||
                           !out.store.isEmpty() || !out.participants.isEmpty();
    if (!out.history.isEmpty()) {
        if (const QString problem = historyUsageProblem(out); !problem.isEmpty())
            return usage(problem);
    } else if (!out.copyTo.isEmpty()) {
        if (out.list || anyOutput || !out.reference.isEmpty() || !out.fromArchive.isEmpty() ||
            !out.info.isEmpty() || !out.instruments.isEmpty())
            return usage(
                QStringLiteral("volba --copy-to se nekombinuje s jinými volbami než --archive"));
        try {
            ArchiveLocation::parse(out.copyTo);
        } catch (const AppError& e) {
            return usage(e.message());
        }
    } else if (out.list) {
        if (anyOutput || !out.reference.isEmpty() || !out.fromArchive.isEmpty() ||
            !out.info.isEmpty() || !out.instruments.isEmpty())
            return usage(
                QStringLiteral("volba --list se nekombinuje s jinými volbami než --archive"));
    } else if (!out.fromArchive.isEmpty()) {
        if (!out.reference.isEmpty() || !out.instruments.isEmpty())
            return usage(QStringLiteral(
                "volba --from-archive nahrazuje volbu --reference i soubory přístrojů"));
    } else {
        if (out.reference.isEmpty())
            return usage(QStringLiteral("chybí volba --reference"));
        if (out.instruments.isEmpty())
            return usage(QStringLiteral("chybí soubory přístrojů"));
    }
    if (!out.list && out.copyTo.isEmpty() && !anyOutput)
        return usage(QStringLiteral("chybí volba --pdf"));
    if (!out.info.isEmpty() && out.store.isEmpty())
        return usage(QStringLiteral("volba --info patří k volbě --store"));
    if (!out.store.isEmpty())
        if (const QString problem = roundNameProblem(out.store); !problem.isEmpty())
            return usage(problem);
    if (out.anonymous) {
        // The codes come from the archive; the summary is the pane's very text, which
        // names every instrument.
        if (out.store.isEmpty() && out.fromArchive.isEmpty())
            return usage(QStringLiteral("volba --anonymous potřebuje kolo v archivu: "
                                        "--store NÁZEV nebo --from-archive NÁZEV"));
        if (!out.summary.isEmpty())
            return usage(QStringLiteral("volba --anonymous se nekombinuje s volbou --summary, "
                                        "jejíž souhrn jmenuje všechny přístroje"));
        if (out.pdf.isEmpty() && out.csv.isEmpty())
            return usage(QStringLiteral("volba --anonymous patří k volbě --pdf nebo --csv"));
    }
    if (!out.participants.isEmpty()) {
        // The codes and the round information come from the archive.
        if (out.store.isEmpty() && out.fromArchive.isEmpty())
            return usage(QStringLiteral("volba --participants potřebuje kolo v archivu: "
                                        "--store NÁZEV nebo --from-archive NÁZEV"));
        if (!QFileInfo(out.participants).isDir())
            return usage(QStringLiteral("složka %1 pro volbu --participants neexistuje")
                             .arg(out.participants));
    }
    QString archiveFile;
    try {
        const ArchiveLocation location = archiveOf(out);
        if (location.kind == ArchiveKind::SqliteFile)
            archiveFile = location.path;
    } catch (const AppError& e) {
        return usage(e.message());
    }
    if (const QString clash = outputClash(out, archiveFile); !clash.isEmpty())
        return usage(clash);
    out.action = ReportArguments::Action::Run;
    return out;
}

QString reportUsage() {
    return QStringLiteral(
        "Použití: velimor-report --reference REFERENCE [--pdf ZPRÁVA.pdf] [--summary SOUHRN.txt]\n"
        "                        [--csv VÝSLEDKY.csv] [--store NÁZEV [--info ÚDAJE.json]\n"
        "                        [--participants SLOŽKA] [--anonymous]] [--archive ARCHIV]\n"
        "                        PŘÍSTROJ.dat [PŘÍSTROJ.dat ...]\n"
        "        velimor-report --from-archive NÁZEV [--pdf ...] [--summary ...] [--csv ...]\n"
        "                        [--store NÁZEV [--info ÚDAJE.json]] [--participants SLOŽKA]\n"
        "                        [--anonymous] [--archive ARCHIV]\n"
        "        velimor-report --list [--archive ARCHIV]\n"
        "        velimor-report --history ID [--pdf HISTORIE.pdf] [--csv HISTORIE.csv]\n"
        "                        [--archive ARCHIV]\n"
        "        velimor-report [--archive ARCHIV] --copy-to CÍL\n"
        "\n"
        "Načte soubory přístrojů v uvedeném pořadí a soubor referenčních hodnot, provede\n"
        "celkový test jako \"provedení celkového testu\" a zapíše zprávu o testu.\n"
        "\n"
        "  --reference SOUBOR  soubor referenčních hodnot\n"
        "  --pdf SOUBOR        zpráva o testu ve formátu PDF\n"
        "  --summary SOUBOR    souhrnné výsledky, tytéž bajty jako \"export výstupu.\"\n"
        "  --csv SOUBOR        tabulka výsledků přístrojů pro tabulkový procesor\n"
        "                      (UTF-8, středníky, desetinný oddělovač podle nastavení)\n"
        "  --store NÁZEV       uloží kolo s výsledky do archivu kol pod tímto názvem\n"
        "                      (kolo téhož názvu nahradí)\n"
        "  --info SOUBOR       údaje o kole pro --store (JSON: provider, coordinator,\n"
        "                      samples, reference_origin, comment, status \"preliminary\"\n"
        "                      nebo \"final\", issue_date RRRR-MM-DD)\n"
        "  --from-archive NÁZEV  vstupy (přístroje, referenční hodnoty, údaje o kole)\n"
        "                      z kola uloženého v archivu místo ze souborů\n"
        "  --participants SLOŽKA  zprávy účastníkům, pro každý přístroj jedna\n"
        "                      (\"<kolo> – <id stroje>.pdf\"), do existující složky; jen\n"
        "                      s --store nebo --from-archive (kódy a údaje o kole z archivu)\n"
        "  --anonymous         zpráva --pdf a tabulka --csv ke zveřejnění: přístroje jen\n"
        "                      kódy účastníků; jen s --store nebo --from-archive\n"
        "  --list              vypíše kola archivu, na řádek jedno: název, datum testu,\n"
        "                      počet přístrojů, výsledky ano/ne, stav (odděleno tabulátory)\n"
        "  --history ID        historie přístroje s tímto id stroje (přesně, včetně velikosti\n"
        "                      písmen a mezer) ve všech kolech archivu: --pdf tabulka,\n"
        "                      grafy skóre a upozornění na posun, --csv tabulka\n"
        "  --archive ARCHIV    soubor archivu kol nebo adresa databáze PostgreSQL\n"
        "                      (postgresql://uživatel@server/databáze); jinak\n"
        "                      $VELIMOR_ARCHIVE, jinak velimor/archiv.sqlite\n"
        "                      v $XDG_DATA_HOME (~/.local/share)\n"
        "  --copy-to CÍL       zkopíruje všechna kola archivu do archivu CÍL (soubor nebo\n"
        "                      adresa), s časy uložení a kódy účastníků; nic, když už\n"
        "                      CÍL kolo téhož názvu má\n"
        "  -h, --help          vypíše tuto nápovědu\n"
        "\n"
        "Je třeba aspoň jeden z výstupů --pdf, --summary, --csv, --store, --participants.\n"
        "\n"
        "Návratový kód: 0 hotovo; 1 chyba (hlášení na standardním chybovém výstupu,\n"
        "žádný soubor se nezapíše, archiv se nezmění); 2 chybné volání.\n");
}

QByteArray runReport(const ReportArguments& args) {
    const ArchiveLocation location = archiveOf(args);
    if (args.list)
        return listLines(Archive(location).list());
    if (!args.history.isEmpty())
        return runHistory(args, location);
    if (!args.copyTo.isEmpty()) {
        const int copied = copyArchive(location, ArchiveLocation::parse(args.copyTo));
        return QStringLiteral("Zkopírováno kol: %1\n").arg(copied).toUtf8();
    }

    // Everything read first: the round or the files, and the round information.
    std::optional<Round> source;
    if (!args.fromArchive.isEmpty())
        source = Archive(location).load(args.fromArchive);
    std::optional<RoundInfo> info;
    if (!args.info.isEmpty())
        info = readRoundInfo(args.info);
    FileWorkspace ws = source ? workspaceOfRound(*source)
                              : FileWorkspace::fromFiles(args.instruments, args.reference);
    OverallRecord record;
    overallTest(ws, ws.overall, ws.calibration, &record);

    // The round as it is stored, with its name, information and participant codes.
    std::optional<Round> stored;
    if (!args.store.isEmpty()) {
        std::vector<int> codes;
        if (source)
            for (const Sheet& sheet : source->sheets)
                codes.push_back(sheet.participantCode);
        stored = roundOfWorkspace(ws, record, codes);
        stored->name = args.store;
        if (info) {
            stored->info = *info;
        } else if (source) {
            stored->info = source->info;
        } else {
            stored->info.issueDate = QDate::currentDate();
        }
        // The reports name the codes before the round is stored: they are given here as
        // storing would give them, and storing keeps them.
        giveCodes(*stored, location);
    }
    // The round the outputs name, with its codes; none for a run on files alone.
    const Round* round = stored ? &*stored : source ? &*source : nullptr;
    // For publication: the same test on the round with every instrument named by its code.
    std::optional<Round> anonymous;
    std::optional<OverallRecord> anonymousRecord;
    if (args.anonymous) {
        anonymous = anonymousRound(*round);
        anonymousRecord = testOfRound(*anonymous);
    }
    const OverallRecord& published = anonymousRecord ? *anonymousRecord : record;
    const Round* publishedRound = anonymous ? &*anonymous : round;
    std::vector<int> codes;
    if (round)
        for (const Sheet& sheet : round->sheets)
            codes.push_back(sheet.participantCode);

    // Every file is made and written beside its target before any of them takes its place.
    // A pipe or terminal named as an output gets everything, as fast as its reader reads.
    StagedFiles files(WriteErrors::Stream, Links::Follow, Waiting::ForReader);
    if (!args.summary.isEmpty())
        files.add(args.summary, ws.summary.fileBytes());
    if (!args.csv.isEmpty())
        files.add(args.csv, resultCsv(published, decimalSeparator(),
                                      round ? round->name : QString(), codes));
    if (!args.pdf.isEmpty() || !args.participants.isEmpty()) {
        // The charts as the windows show them right after the test, with the labels of the
        // calibration-quality chart moved apart as "uspořádat" would.
        ReportCharts charts;
        charts.font = QGuiApplication::font();
        if (!args.pdf.isEmpty()) {
            arrangeChartLabels(*published.calibrationChart, published.calibrationChart->Series1,
                               charts.calibration, charts.font);
            files.add(args.pdf,
                      makeReportPdf(published, charts, {publishedRound, args.anonymous}).pdf);
        }
        // Names the program chose: a link of that name is replaced, never followed.
        if (!args.participants.isEmpty()) {
            const QDir dir(args.participants);
            for (const ParticipantFile& f :
                 makeParticipantReports(record, *round, charts, archivedRoundsOf(location))) {
                const QString path = dir.filePath(f.name);
                refuseClash(args, location, path);
                files.add(path, f.pdf, Links::Replace);
            }
        }
    }
    // The round goes into the archive once everything written in place has been written,
    // and before any file takes its place: a run that fails changes neither.
    files.commit([&] {
        if (stored)
            Archive(location).store(*stored, IfStored::Replace);
    });
    return QByteArray();
}

} // namespace vel
