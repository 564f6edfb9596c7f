#include "output/NumberFormat.h"

#include "data/Conversion.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vel {

QString formatGeneral(double value, QChar separator) {
    // An infinity has no digits to round (to_chars gives "inf"); like NaN it shows as 0.
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    // Every double has a finite decimal expansion of at most 767 significant digits;
    // with all of them the rounding below sees the exact value.
    char buf[800];
    auto res = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value),
                             std::chars_format::scientific, 780);
    if (res.ec != std::errc())
        return QStringLiteral("0");
    *res.ptr = '\0';
    // buf: d.ddddd...e[+-]xx
    const char* e = buf;
    while (*e != 'e')
        ++e;
    int exp10 = std::atoi(e + 1);
    int d[3] = {buf[0] - '0', buf[2] - '0', buf[3] - '0'};
    if (buf[4] >= '5') { // halves away from zero
        int k = 2;
        while (k >= 0 && d[k] == 9) {
            d[k] = 0;
            --k;
        }
        if (k >= 0) {
            ++d[k];
        } else {
            d[0] = 1;
            ++exp10;
        }
    }
    const int E = exp10 + 1; // value = 0.d1d2d3 * 10^E
    int used = 3;
    while (used > 1 && d[used - 1] == 0)
        --used;

    QString out;
    if (value < 0)
        out += u'-';
    if (E >= -3 && E <= 3) {
        if (E <= 0) {
            out += u'0';
            out += separator;
            for (int z = 0; z < -E; ++z)
                out += u'0';
            for (int k = 0; k < used; ++k)
                out += QChar(u'0' + d[k]);
        } else {
            for (int k = 0; k < E; ++k)
                out += QChar(u'0' + (k < 3 ? d[k] : 0));
            if (used > E) {
                out += separator;
                for (int k = E; k < used; ++k)
                    out += QChar(u'0' + d[k]);
            }
        }
    } else {
        out += QChar(u'0' + d[0]);
        if (used > 1) {
            out += separator;
            for (int k = 1; k < used; ++k)
                out += QChar(u'0' + d[k]);
        }
        out += u'E';
        int x = E - 1;
        if (x < 0)
            out += u'-';
        out += QStringLiteral("%1").arg(std::abs(x), 3, 10, QChar(u'0'));
    }
    return out;
}

QString formatGeneral(double value) {
    return formatGeneral(value, decimalSeparator());
}

} // namespace vel
