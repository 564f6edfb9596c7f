#include "examples/ExpectedOutput.h"

#include "data/FileIo.h"
#include "data/SheetGeometry.h"
#include "eval/Evaluations.h"
#include "examples/ExampleData.h"
#include "output/InputTable.h"
#include "overall/OverallCharts.h"
#include "overall/OverallEvaluation.h"
#include "report/FileWorkspace.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <memory>

namespace examples {

namespace {

QJsonArray lines(const QStringList& l) {
    return QJsonArray::fromStringList(l);
}

// The workspace after one command on sheet i, started on a freshly loaded window.
std::unique_ptr<vel::FileWorkspace> after(const std::vector<vel::InstrumentRecord>& all, int i,
                                          const std::function<void(vel::Workspace&)>& command) {
    auto ws = std::make_unique<vel::FileWorkspace>(all, referenceValues());
    ws->setCurrentSheet(i);
    command(*ws);
    return ws;
}

// The main pane after one evaluation of sheet i.
QJsonArray mainPaneAfter(const std::vector<vel::InstrumentRecord>& all, int i,
                         const std::function<void(vel::Workspace&)>& evaluation) {
    return lines(after(all, i, evaluation)->main.lines());
}

// The 52 count fields of a loaded sheet as the window shows them, replicate-major.
QStringList countTexts(const vel::InstrumentRecord& rec) {
    QStringList out;
    for (int c = 1; c <= vel::kReplicates; ++c)
        for (int r = 1; r <= vel::kRows; ++r)
            out << QString::number(rec.count(r, c));
    return out;
}

QJsonArray counts(const vel::InstrumentRecord& rec) {
    QJsonArray rows;
    for (int r = 1; r <= vel::kRows; ++r) {
        QJsonArray row;
        for (int c = 1; c <= vel::kReplicates; ++c)
            row.append(rec.count(r, c));
        rows.append(row);
    }
    return rows;
}

} // namespace

QString expectedFileName() {
    return QStringLiteral("expected.json");
}

QByteArray expectedJson() {
    const auto all = instruments();
    QJsonObject root;
    root[QStringLiteral("about")] = QStringLiteral(
        "Written by make_examples with the program's own evaluations: what the program shows "
        "for the example files of this folder under Czech regional settings. Main pane lines "
        "after each single evaluation of a freshly loaded test, the summary pane after the "
        "batch run of each instrument and after the overall test of all of them.");
    QJsonArray refs;
    for (int v : referenceValues())
        refs.append(v);
    root[QStringLiteral("reference_file")] = referenceFileName();
    root[QStringLiteral("references")] = refs;

    QJsonArray list;
    for (int i = 0; i < int(all.size()); ++i) {
        QJsonObject o;
        o[QStringLiteral("file")] = instrumentFileName(i + 1);
        o[QStringLiteral("id")] = all[i].id;
        o[QStringLiteral("counts")] = counts(all[i]);
        o[QStringLiteral("blank_check")] = mainPaneAfter(all, i, vel::blankCheck);
        o[QStringLiteral("repeatability")] = mainPaneAfter(all, i, vel::repeatability);
        o[QStringLiteral("carry_over")] = mainPaneAfter(all, i, vel::carryOver);
        o[QStringLiteral("linearity")] = mainPaneAfter(all, i, vel::linearity);
        o[QStringLiteral("batch")] = lines(after(all, i, vel::batchEvaluation)->summary.lines());
        o[QStringLiteral("input_table")] = lines(vel::inputTableLines(all[i].id, countTexts(all[i])));
        list.append(o);
    }
    root[QStringLiteral("instruments")] = list;

    vel::FileWorkspace ws(all, referenceValues());
    vel::overallTest(ws, ws.overall, ws.calibration);
    root[QStringLiteral("overall")] = lines(ws.summary.lines());

    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void writeExpected(const QString& dir) {
    vel::writeWholeFile(QDir(dir).filePath(expectedFileName()), expectedJson(),
                        vel::WriteErrors::Io);
}

} // namespace examples
