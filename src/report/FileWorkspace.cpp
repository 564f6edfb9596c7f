#include "report/FileWorkspace.h"

namespace vel {

namespace {
// The texts the window's fields show after "nový test" with this record: counts in plain
// decimal, the identifier as the tab's caption.
WorkspaceSheet sheetOf(const InstrumentRecord& rec) {
    WorkspaceSheet s;
    s.caption = rec.id;
    s.texts.header = {rec.id, rec.time, rec.temperature, rec.received, rec.testDate};
    for (int i = 0; i < kCounts; ++i)
        s.texts.counts[i] = QString::number(rec.counts[i]);
    return s;
}

std::array<QString, 10> textsOf(const ReferenceValues& values) {
    std::array<QString, 10> texts;
    for (int k = 0; k < 10; ++k)
        texts[k] = QString::number(values[k]);
    return texts;
}
} // namespace

FileWorkspace::FileWorkspace(const std::vector<InstrumentRecord>& sheets,
                             const ReferenceValues& references)
    : m_references(textsOf(references)) {
    m_sheets.reserve(sheets.size());
    for (const InstrumentRecord& rec : sheets)
        m_sheets.push_back(sheetOf(rec));
}

FileWorkspace::FileWorkspace(std::vector<WorkspaceSheet> sheets,
                             const std::array<QString, 10>& references)
    : m_sheets(std::move(sheets)), m_references(references) {}

FileWorkspace FileWorkspace::fromFiles(const QStringList& instrumentFiles,
                                       const QString& referenceFile) {
    std::vector<InstrumentRecord> sheets;
    sheets.reserve(instrumentFiles.size());
    for (const QString& file : instrumentFiles)
        sheets.push_back(readInstrumentFile(file));
    return FileWorkspace(sheets, readReferenceFile(referenceFile));
}

QString FileWorkspace::countText(int r, int c) const {
    return m_sheets.at(m_current).texts.counts[countIndex(r, c)];
}

QString FileWorkspace::referenceText(int k) const {
    return m_references.at(k - 1);
}

} // namespace vel
