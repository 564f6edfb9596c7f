#pragma once
// velimor-report: the overall test of archived files without a window, and its report.
//
//   velimor-report --reference reference.ref [--pdf report.pdf] [--summary summary.txt]
//                  [--csv results.csv] [--store NAME [--info INFO.json]
//                  [--participants DIR]] [--archive ARCHIVE] instrument1.dat ...
//   velimor-report --from-archive NAME [--pdf ...] [--summary ...] [--csv ...] [--store ...]
//                  [--participants DIR]
//   velimor-report --list [--archive ARCHIVE]
//   velimor-report --history ID [--pdf history.pdf] [--csv history.csv] [--archive ARCHIVE]
//   velimor-report [--archive SOURCE] --copy-to TARGET
//
// The instrument files are loaded in the order given, then the reference values, and the
// overall test runs on them exactly as "provedení celkového testu" runs on the same files
// loaded in the same order into the window. --from-archive takes the sheets, reference
// values and round information of a stored round instead; --store keeps the round with its
// results in the archive (the window's, $VELIMOR_ARCHIVE included, unless --archive names
// another), replacing a round of that name. --participants writes a report for each
// participant into the folder DIR, for the round stored (--store) or taken from the archive
// (--from-archive): its name, information and participant codes. The PDF and the results
// table name that round and its codes; --anonymous writes them with the codes in place of
// the identifiers, for publication. --history writes the history of the instrument of that
// "id stroje" across the archive's rounds. --copy-to copies every round of
// the archive into another, of either kind (copyArchive()).

#include <QString>
#include <QStringList>

namespace vel {

struct ReportArguments {
    enum class Action { Run, Help, Usage };
    Action action = Action::Usage;
    QString problem; // with Usage: what is wrong, or empty when nothing was given
    QString reference, pdf, summary, csv;
    QString archive;     // --archive; empty for the window's archive
    QString store, info; // --store NAME, --info INFO.json
    QString fromArchive; // --from-archive NAME
    QString participants; // --participants DIR, an existing folder
    QString copyTo;       // --copy-to TARGET
    bool list = false;   // --list
    bool anonymous = false; // --anonymous
    QString history;     // --history ID
    QStringList instruments;
};

// The arguments after the program's name. Options take their value as the next argument
// or after "="; "--" ends the options. An output that is an input or another output once
// links are followed (the same device and inode; for a file not there yet, the same folder
// and name) is a usage error that names both.
ReportArguments parseReportArguments(const QStringList& args);

// The usage text printed by --help and after a usage error.
QString reportUsage();

// Runs the round and writes the files asked for: the PDF, the summary pane's text file
// (the bytes "export výstupu." writes), the results table and the participants' reports;
// stores the round when asked.
// Needs an application object. Raises the program's errors. Every output is written
// completely beside its target before any takes its place, and the round is stored after
// that and before they do, so a run that fails leaves every file as it was (see
// StagedFiles) and the archive too. A pipe or terminal named as an output gets everything:
// the run waits for its reader. Gives what goes to standard output (the lines of --list).
QByteArray runReport(const ReportArguments& args);

} // namespace vel
