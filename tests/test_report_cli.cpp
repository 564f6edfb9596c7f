// velimor-report on the command line: its summary byte for byte as the real window's
// export, its results table read back by Python's csv module, its errors and usage. Every
// program run here has a time limit.
#include "app/AppWindows.h"
#include "archive/Archive.h"
#include "data/FileIo.h"
#include "data/FileNames.h"
#include "overall/OverallRecord.h"
#include "report/ReportArchive.h"
#include "report/RoundResults.h"

#include <gtest/gtest.h>

#include "support/ReportSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

using namespace vel;
using namespace testing_support;

TEST_F(ReportTest, SummaryOfTheCommandLineIsTheWindowsExport) {
    const QStringList generated = writeRound(dir.path(), generatedRound());
    for (const QStringList& files : {exampleFiles, generated}) {
        ScriptedDialogs dialogs;
        AppWindows app;
        const QByteArray fromWindow = windowExport(app, dialogs, files, "window.txt");
        ASSERT_GT(fromWindow.size(), 1000);

        const ProgramRun r = report(QStringList{"--reference", reference, "--pdf", path("r.pdf"),
                                                "--summary", path("cli.txt")} +
                                    files);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_TRUE(testing_support::readAll(path("cli.txt")) == fromWindow)
            << "instruments: " << files.size();
    }
}

TEST_F(ReportTest, ResultsTableReadBackByPython) {
    std::vector<InstrumentRecord> round = generatedRound();
    const QStringList files = writeRound(dir.path(), round);
    const QString csvFile = path("results.csv");
    const QString archive = path("archiv.sqlite");
    const ProgramRun r = report(QStringList{"--reference", reference, "--pdf", path("r.pdf"),
                                            "--csv", csvFile, "--archive", archive, "--store",
                                            "2027/1"} +
                                files);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(testing_support::readAll(csvFile).startsWith("\xEF\xBB\xBF"));

    const ProgramRun py = run(QStringLiteral("python3"),
                              {"-c",
                               "import csv, json, sys\n"
                               "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                               "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n",
                               csvFile});
    ASSERT_EQ(py.status, 0) << py.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(py.out).array();
    ASSERT_EQ(rows.size(), 31);
    QStringList header;
    for (const QJsonValue& v : rows[0].toArray())
        header << v.toString();
    EXPECT_EQ(header,
              (QStringList{"kolo", "datum testu", "id stroje", "kód účastníka",
                           "průměrná chyba [tis. buněk/ml]",
                           "směrodatná odchylka chyby [tis. buněk/ml]", "výsledek testu",
                           "reziduální chyba Sy,x [tis. buněk/ml]", "1 − r²", "kvalita kalibrace",
                           "slepý pokus nad limitem", "vliv přenosu nad 2 %",
                           "opakovatelnost nad limity"}));
    const Round stored = Archive(ArchiveLocation::parse(archive)).load("2027/1");

    // The numbers read back to the very values of the test; the warnings where raised.
    const OverallRecord record = recordOf(files, reference);
    // The Czech decimal separator itself: a comma, never a point.
    auto number = [](const QJsonValue& v) {
        bool ok = false;
        EXPECT_FALSE(v.toString().contains(u'.')) << v.toString().toStdString();
        const double d = v.toString().replace(u',', u'.').toDouble(&ok);
        EXPECT_TRUE(ok) << v.toString().toStdString();
        return d;
    };
    auto flag = [](bool raised) { return raised ? QStringLiteral("ano") : QString(); };
    for (int i = 0; i < 30; ++i) {
        QJsonArray row = rows[i + 1].toArray();
        const InstrumentOutcome& o = record.instruments[i];
        ASSERT_EQ(row.size(), 13);
        EXPECT_EQ(row[0].toString(), "2027/1");
        EXPECT_EQ(row[1].toString(), "05.03.2027"); // the round's most frequent test date
        EXPECT_EQ(row[3].toString(), QString::number(stored.sheets[i].participantCode));
        row.removeAt(3); // the code, then the date and the round: the columns as before
        row.removeAt(1);
        row.removeAt(0);
        EXPECT_EQ(row[0].toString(), round[i].id);
        EXPECT_EQ(number(row[1]), o.d);
        EXPECT_EQ(number(row[2]), o.s);
        EXPECT_EQ(row[3].toString(), o.testVerdict);
        EXPECT_EQ(number(row[4]), o.E);
        EXPECT_EQ(number(row[5]), o.Q);
        EXPECT_EQ(row[6].toString(), o.calibrationVerdict);
        const int n = i + 1;
        EXPECT_EQ(row[7].toString(), flag(n % 7 == 0)) << n;
        EXPECT_EQ(row[8].toString(), flag(n % 5 == 0)) << n;
        EXPECT_EQ(row[9].toString(), flag(n % 9 == 0)) << n;
    }
}

TEST_F(ReportTest, CommandLineErrorsAndUsage) {
    const QString pdf = path("out.pdf"), summary = path("out.txt"), csv = path("out.csv");
    auto noOutput = [&] {
        return !QFile::exists(pdf) && !QFile::exists(summary) && !QFile::exists(csv);
    };

    ProgramRun r = report({});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains("Použití: velimor-report"));

    r = report({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--reference", "--pdf", "--summary", "--csv"})
        EXPECT_TRUE(r.out.contains(option)) << option;

    for (const QStringList& bad :
         {QStringList{"--reference", reference, "--pdf", pdf, "--colour", "x", exampleFiles[0]},
          QStringList{"--reference", reference, "--pdf"},
          QStringList{"--reference", reference, exampleFiles[0], exampleFiles[1]},
          QStringList{"--reference", reference, "--pdf", pdf},
          QStringList{"--reference", reference, "--pdf", pdf, "--pdf", path("b.pdf")} +
              exampleFiles}) {
        r = report(bad);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains("Použití: velimor-report"));
    }

    // Errors: the error box's text on standard error, status 1, nothing written.
    auto fails = [&](const QStringList& args, const QString& message) {
        const ProgramRun e = report(args);
        EXPECT_EQ(e.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(e.err), message + u'\n');
        EXPECT_TRUE(noOutput()) << args.join(' ').toStdString();
    };
    const QStringList outputs{"--pdf", pdf, "--summary", summary, "--csv", csv};
    fails(QStringList{"--reference", reference} + outputs +
              QStringList{exampleFiles[0], path("missing.dat")},
          "File not found.");
    fails(QStringList{"--reference", path("missing.ref")} + outputs + exampleFiles,
          "File not found.");
    fails(QStringList{"--reference", reference} + outputs + QStringList{exampleFiles[0]},
          "Invalid floating point operation.");
    // A round that cannot be stored: no output either.
    testing_support::writeAll(path("junk.sqlite"), "not an archive");
    fails(QStringList{"--archive", path("junk.sqlite"), "--store", "2026/2", "--reference",
                      reference} +
              outputs + exampleFiles,
          QStringLiteral("Soubor „%1“ není archiv kol: není to databáze SQLite.")
              .arg(path("junk.sqlite")));

    // A file that cannot be written takes back the ones written before it: a new file goes,
    // an old one of the same name comes back as it was.
    testing_support::writeAll(summary, "old summary\r\n");
    const ProgramRun w = report(QStringList{"--reference", reference, "--summary", summary, "--csv",
                                            csv, "--pdf", path("no/such/folder/r.pdf")} +
                                exampleFiles);
    EXPECT_EQ(w.status, 1);
    EXPECT_TRUE(QString::fromUtf8(w.err).startsWith("Cannot create file \""))
        << w.err.toStdString();
    EXPECT_EQ(testing_support::readAll(summary), "old summary\r\n");
    EXPECT_FALSE(QFile::exists(csv));
}

TEST_F(ReportTest, InstrumentFileWhoseNameIsNotUtf8) {
    // The first instrument under a name with the byte 0xFF, given to the program as bytes.
    const QString name = fileNameFromNative(nativeFileName(dir.path()) + "/p\xFF.dat");
    writeWholeFile(name, testing_support::readAll(exampleFiles[0]), WriteErrors::Io);
    const char* script =
        "exe=$1 ref=$2 pdf=$3 d=$4; shift 4; "
        "exec \"$exe\" --reference \"$ref\" --pdf \"$pdf\" \"$d/p$(printf '\\377').dat\" \"$@\"";
    const ProgramRun r =
        run(QStringLiteral("/bin/sh"),
            QStringList{"-c", script, "sh", reportProgram(), reference, path("r.pdf"), dir.path()} +
                exampleFiles.mid(1));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
}

TEST_F(ReportTest, RoundStoredListedAndIssuedAgainFromTheArchive) {
    const QString archive = path("archiv.sqlite");
    testing_support::writeAll(path("info.json"),
                              R"({"provider": "Laboratoř\nUlice 1", "status": "final",
                                  "issue_date": "2026-12-03"})");
    ProgramRun r =
        report(QStringList{"--archive", archive, "--summary", path("first.txt"), "--store",
                           "2026/2", "--info", path("info.json"), "--reference", reference} +
               exampleFiles);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // Issued again from the archive (named by the environment, as the window's is), then
    // copied under another name with its codes.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELIMOR_ARCHIVE", archive);
    r = report({"--from-archive", "2026/2", "--summary", path("again.txt"), "--store", "kopie"},
               env);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(testing_support::readAll(path("again.txt")),
              testing_support::readAll(path("first.txt")));
    r = report({"--list"}, env);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(QString::fromUtf8(r.out),
              "kopie\t03.12.2026\t6\tano\tkonečná\n2026/2\t03.12.2026\t6\tano\tkonečná\n");
    Archive stored(ArchiveLocation::parse(archive));
    const Round first = stored.load("2026/2"), copy = stored.load("kopie");
    // The results are the overall test's, each in its own place.
    const OverallRecord record = recordOf(exampleFiles, reference);
    ASSERT_TRUE(first.results);
    const RoundResults& x = *first.results;
    EXPECT_EQ(
        (std::vector<double>{x.M, x.Med, x.R, x.a, x.b, x.CE, x.CQ, x.LE, x.LQ}),
        (std::vector<double>{record.overall.M, record.overall.Med, record.overall.R,
                             record.overall.a, record.overall.b, record.calibration.CE,
                             record.calibration.CQ, record.calibration.LE, record.calibration.LQ}));
    ASSERT_EQ(x.instruments.size(), record.instruments.size());
    for (size_t i = 0; i < x.instruments.size(); ++i) {
        const InstrumentResult& r = x.instruments[i];
        const InstrumentOutcome& o = record.instruments[i];
        EXPECT_EQ((std::vector<double>{r.d, r.s, r.E, r.Q}),
                  (std::vector<double>{o.d, o.s, o.E, o.Q}))
            << i;
    }
    EXPECT_EQ(first.info.provider, "Laboratoř\nUlice 1");
    EXPECT_EQ(copy.info, first.info);
    ASSERT_EQ(copy.sheets.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(copy.sheets[i].participantCode, first.sheets[i].participantCode);
    // Stored again from the files, with its participants' reports: the codes it had.
    ASSERT_TRUE(QDir().mkpath(path("out")));
    r = report(
        QStringList{"--store", "2026/2", "--participants", path("out"), "--reference", reference} +
            exampleFiles,
        env);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const Round again = stored.load("2026/2");
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(again.sheets[i].participantCode, first.sheets[i].participantCode);

    // A failing run stores nothing; usage errors are refused before anything is read.
    testing_support::writeAll(path("bad.json"), R"({"status": "draft"})");
    r = report(QStringList{"--archive", archive, "--store", "x", "--info", path("bad.json"),
                           "--reference", reference} +
               exampleFiles);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        QString::fromUtf8(r.err),
        QStringLiteral("Soubor údajů o kole „%1“: stav „draft“ není „preliminary“ ani „final“.\n")
            .arg(path("bad.json")));
    EXPECT_FALSE(stored.contains("x"));
    // An output written in place that fails (a full device) comes before the store.
    r = report(QStringList{"--archive", archive, "--store", "plný", "--summary", "/dev/full",
                           "--reference", reference} +
               exampleFiles);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(stored.contains("plný"));
    for (const QStringList& bad :
         {QStringList{"--list", "--pdf", path("l.pdf")},
          QStringList{"--from-archive", "2026/2", "--reference", reference, "--csv", path("l.csv")},
          QStringList{"--reference", reference, "--pdf", path("l.pdf"), "--info", path("info.json"),
                      exampleFiles[0]},
          QStringList{"--archive", archive, "--from-archive", "2026/2", "--pdf", archive},
          QStringList{"--from-archive", "2026/2", "--store"},
          QStringList{"--from-archive", "2026/2", "--store", "a\nb"},
          // Participants' reports need the archive's codes, and a folder that is there.
          QStringList{"--reference", reference, "--participants", dir.path(), exampleFiles[0]},
          QStringList{"--from-archive", "2026/2", "--participants", path("missing")},
          // The anonymous version needs the codes, and never comes with the summary, whose
          // lines name every instrument.
          QStringList{"--reference", reference, "--anonymous", "--pdf", path("a.pdf"),
                      exampleFiles[0]},
          QStringList{"--from-archive", "2026/2", "--anonymous", "--summary", path("a.txt")},
          QStringList{"--from-archive", "2026/2", "--anonymous", "--participants", dir.path()},
          // A copy of the archive is all the run does.
          QStringList{"--copy-to", path("kopie.sqlite"), "--list"},
          QStringList{"--copy-to", path("kopie.sqlite"), "--from-archive", "2026/2"}}) {
        r = report(bad, env);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
    }
    EXPECT_EQ(stored.list().size(), 2u);
}

TEST(RoundInformation, FileThatIsNotOneObjectOfKnownTexts) {
    const RoundInfo info = parseRoundInfo(
        R"({"coordinator": "Ing. K.", "issue_date": "2026-02-28", "status": "preliminary"})",
        "i.json");
    EXPECT_EQ(info.coordinator, "Ing. K.");
    EXPECT_EQ(info.issueDate, QDate(2026, 2, 28));
    EXPECT_EQ(info.status, RoundStatus::Preliminary);
    const std::pair<const char*, const char*> cases[] = {
        {R"({"provider": "a",})", "není platný JSON (chyba u znaku 18)"},
        {R"(["provider"])", "musí obsahovat jeden objekt JSON"},
        {R"({"provider": 7})", "hodnota klíče „provider“ musí být text"},
        {R"({"comments": "a"})", "neznámý klíč „comments“"},
        {R"({"issue_date": "2026-02-30"})",
         "datum vydání „2026-02-30“ není platné datum RRRR-MM-DD"},
    };
    for (const auto& [json, message] : cases)
        EXPECT_EQ(errorOf([&] { parseRoundInfo(json, "i.json"); }),
                  QStringLiteral("Soubor údajů o kole „i.json“: ") + QString::fromUtf8(message))
            << json;
}

TEST(RoundInformation, EachKeyFillsItsOwnField) {
    RoundInfo expected;
    expected.provider = QStringLiteral("Laboratoř\nUlice 1");
    expected.coordinator = QStringLiteral("koordinátor");
    expected.samples = QStringLiteral("vzorky");
    expected.referenceOrigin = QStringLiteral("původ");
    expected.advice = QStringLiteral("komentář");
    expected.status = RoundStatus::Final;
    expected.issueDate = QDate(2026, 12, 3);
    const QByteArray json = R"({"provider": "Laboratoř\nUlice 1", "coordinator": "koordinátor",
        "samples": "vzorky", "reference_origin": "původ", "comment": "komentář",
        "status": "final", "issue_date": "2026-12-03"})";
    EXPECT_EQ(parseRoundInfo(json, "info.json"), expected);
}

TEST(RoundList, OneLinePerRoundWhateverItsName) {
    const std::vector<RoundListing> rounds{{QStringLiteral("a\tb\r\nc"),
                                            QStringLiteral("03.12.2026"),
                                            6,
                                            true,
                                            RoundStatus::Final,
                                            {}}};
    EXPECT_EQ(QString::fromUtf8(listLines(rounds)), "a b  c\t03.12.2026\t6\tano\tkonečná\n");
}
