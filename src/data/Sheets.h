#pragma once
// Instrument sheets: one tab page per instrument with 13 rows by 4 replicates of count
// fields and five header fields. The data live only in these fields; the sheet control
// record `mereni` lets the rest of the program reach them.

#include "data/InstrumentFile.h"

#include <QString>

#include <array>
#include <vector>

class QLineEdit;
class QWidget;

namespace vel {

struct mereni {
    QLineEdit* idStroje = nullptr;     // "id stroje"
    QLineEdit* casMereni = nullptr;    // "čas měření"
    QLineEdit* teplota = nullptr;      // "teplota"
    QLineEdit* datumPrijeti = nullptr; // "datum přijetí"
    QLineEdit* datumTestu = nullptr;   // "datum testu"
    // Replicate-major (countIndex); empty until the sheet has been filled.
    std::array<QLineEdit*, kCounts> counts{};
    QString testVerdict;        // written by the overall test
    QString calibrationVerdict; // written by the calibration-quality evaluation
    int participantCode = 0;    // given by the archive of rounds when the round is stored

    QLineEdit* count(int r, int c) const { return counts[countIndex(r, c)]; }
};

// The growable array of sheet control records, element i belonging to tab page i.
using all = std::vector<mereni>;

// Column headings and row labels of a new page.
void createSheetLabels(QWidget* page);
// Header fields with their labels, top to bottom, in the record.
void createHeaderFields(QWidget* page, mereni& rec);
// Header texts from the instrument's record, then the count fields row by row.
void fillSheet(QWidget* page, mereni& rec, const InstrumentRecord& data);

// The texts the sheet's fields hold, and setting them (each field showing its beginning).
SheetTexts sheetTexts(const mereni& rec);
void setSheetTexts(const mereni& rec, const SheetTexts& texts);

// Puts the sheet's fields into the tab order right after `after`: header fields top to
// bottom, then the counts row by row. Takes the same time however many sheets exist.
void placeInTabOrder(const mereni& rec, QWidget* after);


} // namespace vel
