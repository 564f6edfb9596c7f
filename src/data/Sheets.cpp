#include "data/Sheets.h"

#include <QLabel>
#include <QLineEdit>

namespace vel {

namespace {
constexpr int kColumnLeft[kReplicates] = {155, 210, 265, 320};
constexpr int kHeadingLeft[kReplicates] = {155, 210, 265, 325};

int rowTop(int r) {
    return 50 + 23 * (r - 1);
}

QLabel* label(QWidget* page, const QString& text, int left, int top) {
    auto* l = new QLabel(text, page);
    l->adjustSize();
    l->move(left, top);
    l->show();
    return l;
}

QLineEdit* headerField(QWidget* page, const QString& caption, int top) {
    label(page, caption, 550, top);
    auto* e = new QLineEdit(page);
    e->setAccessibleName(caption);
    e->setGeometry(650, top, 121, e->sizeHint().height());
    e->show();
    return e;
}
} // namespace

void placeInTabOrder(const mereni& rec, QWidget* after) {
    // Within the page: header fields top to bottom, then the counts row by row. The fields
    // are created in this order, so these calls normally find them in place and return at
    // once; they only guard the order against a change in how the page is built.
    QWidget* prev = rec.idStroje;
    auto next = [&prev](QWidget* w) {
        QWidget::setTabOrder(prev, w);
        prev = w;
    };
    for (QWidget* w : {rec.datumTestu, rec.datumPrijeti, rec.teplota, rec.casMereni})
        next(w);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kReplicates; ++c)
            next(rec.count(r, c));

    // Then the page goes behind `after` as one block: setTabOrder moves a compound widget
    // (one whose focus proxy is its own child) together with its children. Moving the
    // fields one by one left the pages and labels of all earlier sheets at the end of the
    // window's focus chain, and every move walked back over them, so that each sheet took
    // longer than the one before. The page is a compound widget only for this call, so
    // that Tab and a change of page treat it as before. The policy goes on before the
    // proxy and off after it, because a widget passes a new policy on to its proxy.
    QWidget* page = rec.idStroje->parentWidget();
    page->setFocusPolicy(Qt::TabFocus);
    page->setFocusProxy(rec.idStroje);
    QWidget::setTabOrder(after, page);
    page->setFocusProxy(nullptr);
    page->setFocusPolicy(Qt::NoFocus);
}

void createSheetLabels(QWidget* page) {
    for (int c = 1; c <= kReplicates; ++c)
        label(page, QStringLiteral("naber %1").arg(c), kHeadingLeft[c - 1], 35);
    for (int r = 1; r <= kRows; ++r)
        label(page, rowLabel(r), 100, rowTop(r));
}

void createHeaderFields(QWidget* page, mereni& rec) {
    rec.idStroje = headerField(page, QStringLiteral("id stroje"), 50);
    rec.datumTestu = headerField(page, QStringLiteral("datum testu"), 70);
    rec.datumPrijeti = headerField(page, QStringLiteral("datum přijetí"), 90);
    rec.teplota = headerField(page, QStringLiteral("teplota"), 110);
    rec.casMereni = headerField(page, QStringLiteral("čas měření"), 130);
}

// Sets a field's text showing its beginning, as a freshly loaded field should.
static void setFieldText(QLineEdit* e, const QString& text) {
    e->setText(text);
    e->setCursorPosition(0);
}

void fillSheet(QWidget* page, mereni& rec, const InstrumentRecord& data) {
    setFieldText(rec.idStroje, data.id);
    setFieldText(rec.casMereni, data.time);
    setFieldText(rec.teplota, data.temperature);
    setFieldText(rec.datumPrijeti, data.received);
    setFieldText(rec.datumTestu, data.testDate);
    for (int r = 1; r <= kRows; ++r) {
        for (int c = 1; c <= kReplicates; ++c) {
            auto* e = new QLineEdit(page);
            e->setGeometry(kColumnLeft[c - 1], rowTop(r), 50, 20);
            e->setAccessibleName(countFieldName(r, c));
            setFieldText(e, QString::number(data.count(r, c)));
            e->show();
            rec.counts[countIndex(r, c)] = e;
        }
    }
}

namespace {
// The header fields in the order of the instrument record.
std::array<QLineEdit*, 5> headerFields(const mereni& rec) {
    return {rec.idStroje, rec.casMereni, rec.teplota, rec.datumPrijeti, rec.datumTestu};
}
} // namespace

SheetTexts sheetTexts(const mereni& rec) {
    SheetTexts t;
    const auto header = headerFields(rec);
    for (size_t i = 0; i < header.size(); ++i)
        t.header[i] = header[i]->text();
    for (int i = 0; i < kCounts; ++i)
        t.counts[i] = rec.counts[i]->text();
    return t;
}

void setSheetTexts(const mereni& rec, const SheetTexts& texts) {
    const auto header = headerFields(rec);
    for (size_t i = 0; i < header.size(); ++i)
        setFieldText(header[i], texts.header[i]);
    for (int i = 0; i < kCounts; ++i)
        setFieldText(rec.counts[i], texts.counts[i]);
}

} // namespace vel
