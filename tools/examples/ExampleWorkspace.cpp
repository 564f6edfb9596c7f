#include "examples/ExampleWorkspace.h"

#include "data/SheetGeometry.h"

namespace examples {

ExampleWorkspace::ExampleWorkspace(const std::vector<vel::InstrumentRecord>& instruments,
                                   const vel::ReferenceValues& references)
    : m_sheets(instruments), m_references(references) {}

QStringList ExampleWorkspace::countTexts(int sheet) const {
    QStringList out;
    for (int c = 1; c <= vel::kReplicates; ++c)
        for (int r = 1; r <= vel::kRows; ++r)
            out << QString::number(m_sheets.at(sheet).count(r, c));
    return out;
}

QString ExampleWorkspace::countText(int r, int c) const {
    return QString::number(m_sheets.at(m_current).count(r, c));
}

QString ExampleWorkspace::idTextOf(int i) const {
    return m_sheets.at(i).id;
}

QString ExampleWorkspace::referenceText(int k) const {
    return QString::number(m_references.at(k - 1));
}

} // namespace examples
