#include "report/FileWorkspace.h"

namespace vel {

FileWorkspace::FileWorkspace(std::vector<InstrumentRecord> sheets,
                             const ReferenceValues& references)
    : m_sheets(std::move(sheets)), m_references(references) {}

FileWorkspace FileWorkspace::fromFiles(const QStringList& instrumentFiles,
                                       const QString& referenceFile) {
    std::vector<InstrumentRecord> sheets;
    sheets.reserve(instrumentFiles.size());
    for (const QString& file : instrumentFiles)
        sheets.push_back(readInstrumentFile(file));
    return FileWorkspace(std::move(sheets), readReferenceFile(referenceFile));
}

// The texts the window's fields show: counts and reference values in plain decimal.
QString FileWorkspace::countText(int r, int c) const {
    return QString::number(m_sheets.at(m_current).count(r, c));
}

QString FileWorkspace::referenceText(int k) const {
    return QString::number(m_references.at(k - 1));
}

} // namespace vel
