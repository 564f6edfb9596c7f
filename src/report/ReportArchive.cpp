#include "report/ReportArchive.h"

#include "data/Errors.h"
#include "data/FileIo.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/RoundResults.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vel {

namespace {

[[noreturn]] void refuse(const QString& path, const QString& what) {
    throw AppError(QStringLiteral("Soubor údajů o kole „%1“: %2").arg(path, what));
}

QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0))
            c = u' ';
    return text;
}

} // namespace

RoundInfo readRoundInfo(const QString& path) {
    return parseRoundInfo(readSmallFile(path, 1 << 20), path);
}

RoundInfo parseRoundInfo(const QByteArray& json, const QString& path) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        refuse(path, QStringLiteral("není platný JSON (chyba u znaku %1)").arg(error.offset));
    if (!doc.isObject())
        refuse(path, QStringLiteral("musí obsahovat jeden objekt JSON"));
    RoundInfo info;
    info.issueDate = QDate::currentDate();
    const QJsonObject o = doc.object();
    const QStringList keys{"provider", "coordinator", "samples",   "reference_origin",
                           "comment",  "status",      "issue_date"};
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString key = it.key();
        if (!keys.contains(key))
            refuse(path, QStringLiteral("neznámý klíč „%1“").arg(key));
        if (!it.value().isString())
            refuse(path, QStringLiteral("hodnota klíče „%1“ musí být text").arg(key));
        const QString value = it.value().toString();
        if (key == QStringLiteral("provider"))
            info.provider = value;
        else if (key == QStringLiteral("coordinator"))
            info.coordinator = value;
        else if (key == QStringLiteral("samples"))
            info.samples = value;
        else if (key == QStringLiteral("reference_origin"))
            info.referenceOrigin = value;
        else if (key == QStringLiteral("comment"))
            info.advice = value;
        else if (key == QStringLiteral("status")) {
            if (value == QStringLiteral("preliminary"))
                info.status = RoundStatus::Preliminary;
            else if (value == QStringLiteral("final"))
                info.status = RoundStatus::Final;
            else
                refuse(path, QStringLiteral("stav „%1“ není „preliminary“ ani „final“").arg(value));
        } else {
            info.issueDate = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
            if (!info.issueDate.isValid())
                refuse(path,
                       QStringLiteral("datum vydání „%1“ není platné datum RRRR-MM-DD").arg(value));
        }
    }
    return info;
}

Round roundOfWorkspace(const FileWorkspace& ws, const OverallRecord& record,
                       const std::vector<int>& codes) {
    Round round;
    round.references = ws.references();
    for (size_t i = 0; i < ws.sheets().size(); ++i) {
        Sheet sheet = sheetOf(ws.sheets()[i].caption, ws.sheets()[i].texts);
        sheet.participantCode = i < codes.size() ? codes[i] : 0;
        round.sheets.push_back(std::move(sheet));
    }
    round.testDate = record.roundTestDate();
    round.results = roundResultsOf(record);
    round.programVersion = QStringLiteral("1.0");
    return round;
}

FileWorkspace workspaceOfRound(const Round& round) {
    std::vector<WorkspaceSheet> sheets;
    for (const Sheet& s : round.sheets)
        sheets.push_back({s.caption, textsOf(s)});
    return FileWorkspace(std::move(sheets), round.references);
}

Round anonymousRound(const Round& round) {
    Round out = round;
    for (Sheet& s : out.sheets) {
        s.caption = QString::number(s.participantCode);
        s.fields[kInstrumentIdField] = s.caption;
    }
    return out;
}

OverallRecord testOfRound(const Round& round) {
    FileWorkspace ws = workspaceOfRound(round);
    OverallRecord record;
    overallTest(ws, ws.overall, ws.calibration, &record);
    return record;
}

QByteArray listLines(const std::vector<RoundListing>& rounds) {
    QByteArray out;
    for (const RoundListing& r : rounds) {
        const QStringList fields{
            oneLine(r.name), oneLine(r.testDate), QString::number(r.instruments),
            r.hasResults ? QStringLiteral("ano") : QStringLiteral("ne"), roundStatusText(r.status)};
        out += fields.join(u'\t').toUtf8() + '\n';
    }
    return out;
}

} // namespace vel
