#include "ui/AxisScale.h"

#include <QFontMetrics>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace ui {

int textWidth(const QFontMetrics& fm, const QStringList& texts) {
    int w = 0;
    for (const QString& t : texts)
        w = std::max(w, fm.horizontalAdvance(t));
    return w;
}

namespace {

void nameTicks(AxisScale& s, const Axis& axis, int pixels, const QFontMetrics& fm,
               bool horizontal) {
    s.ticks.clear();
    s.labels.clear();
    const bool along = horizontal && axis.labelAngle != 90; // the texts' width along the axis
    const double need = along ? textWidth(fm, axis.names) + 10 : fm.height() + 2;
    const double perUnit = std::max(pixels - 1, 1) / (s.max - s.min);
    const int every = std::max(1, int(std::ceil(need / perUnit - 1e-9)));
    s.step = every;
    const int last = int(axis.names.size()) - 1;
    const int from = std::max(0, int(std::ceil(s.min - 1e-9)));
    const int to = std::min(last, int(std::floor(s.max + 1e-9)));
    for (int i = from; i <= to; ++i)
        if ((last - i) % every == 0) {
            s.ticks.push_back(i);
            s.labels.push_back(axis.names[i]);
        }
}

} // namespace

void makeTicks(AxisScale& s, const Axis& axis, int pixels, const QFontMetrics& fm,
               bool horizontal) {
    if (!axis.names.isEmpty())
        return nameTicks(s, axis, pixels, fm, horizontal);
    const double resolution = labelResolution(axis.labelFormat);
    double spacing = 50;
    for (int attempt = 0; attempt < 2; ++attempt) {
        s.step = std::max(niceStep(s.max - s.min, std::max(pixels, 1), spacing), resolution);
        s.ticks.clear();
        s.labels.clear();
        const double eps = s.step * 1e-9;
        const double first =
            axis.firstLabelRounded ? std::ceil(s.min / s.step - 1e-9) * s.step : s.min;
        // The step is a whole number of the format's last digits: each label is its tick
        // rounded to those digits, counted on from the first, so that a tick that lies
        // halfway between two readings cannot repeat its neighbour's text.
        const double units = resolution > 0 ? std::round(s.step / resolution) : 0;
        const double firstUnit = resolution > 0 ? std::round(first / resolution) : 0;
        for (int i = 0; i < 1000; ++i) {
            double v = first + i * s.step;
            if (v > s.max + eps)
                break;
            s.ticks.push_back(v);
            const double shown = resolution > 0 ? (firstUnit + i * units) * resolution : v;
            s.labels.push_back(formatAxisLabel(shown, axis.labelFormat, s.step));
        }
        // Side by side labels need room for their width.
        if (!horizontal || axis.labelAngle == 90)
            break;
        const double need = textWidth(fm, s.labels) + 10;
        if (need <= spacing || s.step * (pixels - 1) / (s.max - s.min) >= need)
            break;
        spacing = need;
    }
}

double niceStep(double range, double pixels, double minSpacing) {
    if (!(range > 0) || !std::isfinite(range))
        return 1;
    const double labels = std::max(1.0, std::floor(pixels / std::max(1.0, minSpacing)));
    const double raw = range / labels;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw * (1 - 1e-9))
            return m * magnitude;
    return 10 * magnitude;
}

double labelResolution(const QString& format) {
    if (format.isEmpty())
        return 0;
    const int dot = format.indexOf(u'.');
    const int decimals =
        dot < 0 ? 0 : int(format.mid(dot + 1).count(u'0') + format.mid(dot + 1).count(u'#'));
    return std::pow(10.0, -decimals);
}

QString formatAxisLabel(double value, const QString& format, double step) {
    if (step > 0 && std::abs(value) < step * 1e-9)
        value = 0; // a sum of steps that should have been zero
    QLocale locale = QLocale::system();
    if (format.isEmpty()) {
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'g', 10);
    }
    const int dot = format.indexOf(u'.');
    const QString whole = dot < 0 ? format : format.left(dot);
    const QString decimals = dot < 0 ? QString() : format.mid(dot + 1);
    const int minDecimals = int(decimals.count(u'0'));
    const int maxDecimals = minDecimals + int(decimals.count(u'#'));
    locale.setNumberOptions(whole.contains(u',') ? QLocale::NumberOptions()
                                                 : QLocale::OmitGroupSeparator);
    if (std::abs(value) < 0.5 * std::pow(10.0, -maxDecimals))
        value = 0; // no "-0"
    QString text = locale.toString(value, 'f', maxDecimals);
    const QString point = locale.decimalPoint();
    const int at = text.lastIndexOf(point);
    if (at >= 0) {
        const QString zero = locale.zeroDigit();
        const int keep = at + int(point.size()) + minDecimals;
        while (text.size() > keep && text.endsWith(zero))
            text.chop(zero.size());
        if (minDecimals == 0 && text.endsWith(point))
            text.chop(point.size());
    }
    if (!whole.contains(u'0')) { // "#.##": no lone zero before the decimal separator
        const QString zero = locale.zeroDigit() + point;
        const int sign =
            text.startsWith(locale.negativeSign()) ? int(locale.negativeSign().size()) : 0;
        if (text.mid(sign).startsWith(zero))
            text.remove(sign, locale.zeroDigit().size());
    }
    return text;
}

} // namespace ui
