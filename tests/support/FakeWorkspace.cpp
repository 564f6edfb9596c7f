#include "support/FakeWorkspace.h"

namespace testing_support {

void FakeSheet::setRow(int r, int c1, int c2, int c3, int c4) {
    count(r, 1) = QString::number(c1);
    count(r, 2) = QString::number(c2);
    count(r, 3) = QString::number(c3);
    count(r, 4) = QString::number(c4);
}

FakeWorkspace::FakeWorkspace() {
    references.fill(QStringLiteral("0"));
}

FakeSheet& FakeWorkspace::addSheet(const QString& id) {
    FakeSheet s;
    s.counts.fill(QStringLiteral("0"));
    s.id = id;
    s.caption = id;
    sheets.push_back(s);
    if (current < 0)
        current = 0;
    return sheets.back();
}

void FakeWorkspace::setReferences(const std::array<int, 10>& refs) {
    for (int k = 0; k < 10; ++k)
        references[k] = QString::number(refs[k]);
}

QString FakeWorkspace::countText(int r, int c) const {
    return sheets.at(current).counts.at(vel::countIndex(r, c));
}

void FakeWorkspace::setCountYellow(int r, int c, bool y) {
    sheets.at(current).yellow.at(vel::countIndex(r, c)) = y;
}

} // namespace testing_support
