"""What the program must show and write for the six example instruments of examples/.

The example instruments read, for every sample k, reference(k) + error(replicate): the
errors are listed below per instrument; the water rows are listed as they are in the files.
"""

from decimal import Decimal, ROUND_HALF_UP

REFERENCES = [100 * k for k in range(1, 11)]

# id, errors of replicates 1..4, water blank (row 1), water rows 12 and 13
INSTRUMENTS = [
    ("SCC-01", (2, -2, 2, -2), (2, 1, 3, 2), (3, 2, 2, 3), (1, 1, 0, 2)),
    ("SCC-02", (4, 0, 4, 0), (1, 2, 2, 1), (4, 3, 3, 2), (1, 2, 1, 1)),
    ("SCC-03", (3, -1, 3, -1), (4, 9, 3, 5), (2, 3, 2, 2), (1, 0, 1, 1)),
    ("SCC-04", (6, 2, 6, 2), (1, 1, 2, 2), (25, 25, 26, 24), (1, 0, 1, 1)),
    ("SCC-05", (-10, -10, -10, -10), (3, 2, 2, 2), (2, 2, 3, 1), (1, 1, 1, 0)),
    ("SCC-06", (1, 1, 1, 1), (0, 1, 1, 0), (1, 2, 1, 2), (0, 0, 1, 0)),
]

TEST_VERDICTS = ["vyhověl", "vyhověl", "vyhověl", "vyhověl", "nevyhověl", "s výhradami"]
# Sy,x of instruments 1 to 4 lies between the random-error limit and the 95 % limit;
# instruments 5 and 6 fit exactly.
CALIBRATION_VERDICTS = ["dobrý", "dobrý", "dobrý", "dobrý", "výborný", "výborný"]

H57 = "-" * 57
H43 = "-" * 43


def counts(index):
    """The 13 x 4 counts of an example instrument, rows 1..13, replicates 1..4."""
    _, errors, blank, water1, water2 = INSTRUMENTS[index]
    rows = [list(blank)]
    for k in range(10):
        rows.append([REFERENCES[k] + e for e in errors])
    rows.append(list(water1))
    rows.append(list(water2))
    return rows


def fmt(value):
    """Three significant digits, comma as decimal separator, as the panes write reals."""
    if value == 0:
        return "0"
    d = Decimal(repr(float(value)))
    exp = d.adjusted()  # value = m * 10^exp with 1 <= m < 10
    q = d.scaleb(-exp).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    if abs(q) >= 10:
        exp += 1
        q = (q / 10).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    sign = "-" if q < 0 else ""
    digits = str(abs(q)).replace(".", "")  # three digits d1 d2 d3
    e = exp + 1  # value = 0.d1d2d3 * 10^e
    if -3 <= e <= 3:
        if e <= 0:
            text = "0," + "0" * (-e) + digits
        else:
            text = digits[:e] + ("," + digits[e:] if e < 3 else "")
        if "," in text:
            text = text.rstrip("0").rstrip(",")
        return sign + text
    rest = digits[1:].rstrip("0")
    mant = digits[0] + ("," + rest if rest else "")
    return f"{sign}{mant}E{'-' if exp < 0 else ''}{abs(exp):03d}"


def blank_values(index):
    w = counts(index)[0]
    return w, (max(w) + min(w)) / 2


def blank_main_lines(index):
    w, m = blank_values(index)
    lines = ["Slepé pokusy", "------------", "Střední hodnota slepých pokusů: " + fmt(m)]
    if m > 3:
        lines.append("Střední hodnota vod přesahuje 3000 buněk/ml.")
    lines += [f"Vzorek {c} přesahuje limit." for c in range(1, 5) if w[c - 1] > 8]
    return lines


def blank_summary_lines(index):
    w, m = blank_values(index)
    lines = [H57, "Výsledky testu pro stroj: " + INSTRUMENTS[index][0], H57, "",
             "Slepé pokusy", "------------", "Sřední hodnota slepých pokusů: " + fmt(m)]
    if m > 3:
        lines.append("Střední hodnota vod přesahuje 3000 buněk/ml.")
    lines += [f"Vzorek {c} přesahuje limit." for c in range(1, 5) if w[c - 1] > 8]
    lines.append("Dle normy: střední hodnota měření vod nesmí přesahovat 3000 buněk/ml, "
                 "žádné z měření vod nevykazuje 8000 buněk/ml")
    return lines


LEVELS = [(150, "<150*10^3", 25), (300, "150-300*10^3", 42), (450, "300-450*10^3", 50),
          (750, "450-750*10^3", 63), (1500, "750-1500*10^3", 126)]
PAIRS = [("1-2", 0, 1), ("1-3", 0, 2), ("1-4", 0, 3), ("2-3", 1, 2), ("2-4", 1, 3), ("3-4", 2, 3)]


def level(ref):
    for upper, label, limit in LEVELS:
        if ref <= upper:
            return label, limit
    return ">1500*10^3", 126


def repeatability_lines(index):
    rows = counts(index)
    main = ["", "Vyhodnocení opakovatelností celého setu.", "-" * 34]
    summary = list(main)
    total, exceeding = 0, 0
    for s in range(1, 11):
        label, limit = level(REFERENCES[s - 1])
        main.append(f"vzorky {s}")
        partial = 0
        for name, a, b in PAIRS:
            d = abs(rows[s][a] - rows[s][b])
            star = "*" if d > limit else ""
            exceeding += bool(star)
            main.append(f"vzorky {name}: diference na hladině {label}: {d}{star}")
            summary.append(f" diference na hladině {label}: {d}{star}")
            partial += d * d
        total += partial
        main.append("parciální opakovatelnost: " + fmt((partial / 12) ** 0.5))
        summary.append(f"parciální opakovatelnost vzorku {s} : " + fmt((partial / 12) ** 0.5))
    share = fmt(exceeding * 100 / 60)
    summary += ["", "celková opakovatelnost: " + fmt((total / 120) ** 0.5),
                f"Rozdíl mezi vzorky na daných hladiná dle normy je v: {share} % případů.",
                "* - diference na dané hladině je mezi vzorky větší než předepisuje norma",
                "Parciální opakovatelnost je určena jako směrodatná odchylka pro diference mezi "
                "kombinacemi měření jednotlivých vzorků (6 kombinací)",
                "Celková opakovatelnost je určena jako směrodatná odchylka pro diference mezi "
                "všemi možnými kombinacemi měření jednotlivých vzorků (60 kombinací)"]
    main += ["celková opakovatelnost: " + fmt((total / 120) ** 0.5),
             f"Rozdíl mezi vzorky je v: {share} % případů.",
             "* - diference je větší než předepisuje norma"]
    return main, summary


def carry_over(index):
    rows = counts(index)
    l1, l2, h = sum(rows[11]), sum(rows[12]), sum(rows[10])
    return (l1 - l2) / (h - l2) * 100


def carry_over_main_lines(index):
    return ["Vliv přenosu je: " + fmt(carry_over(index)) + " %"]


def carry_over_summary_lines(index):
    return ["", "Vliv přenosu", "-------------", "Vliv přenosu je: " + fmt(carry_over(index)) + " %"]


def linearity_lines(index):
    """The seven lines of the linearity check. Every example instrument reads each sample
    off by the same mean error, so the deviations are equal (rc 0), the slope is 1 and the
    intercept is the mean error."""
    errors = INSTRUMENTS[index][1]
    mean_error = sum(errors) / 4
    n = 10
    su = sum(REFERENCES)
    suv = sum(r * (r + mean_error) for r in REFERENCES)
    sv = sum(r + mean_error for r in REFERENCES)
    covariance = (suv - su * sv / n) / (n - 1)
    return ["Výsledky regrese", "-" * 16, "Hodnota rc: 0 %",
            f"Rovnice regrese: {fmt(mean_error)} +1*x", "Korelační koeficient: 1",
            "Koeficient determinace: 1", "Kovariance korelace: " + fmt(covariance)]


def summary_block(index):
    """The lines that the batch run or the overall test writes for one instrument."""
    return (blank_summary_lines(index) + repeatability_lines(index)[1]
            + carry_over_summary_lines(index) + [""] + linearity_lines(index))


OVERALL_HEADING = ("Vyhodnocení odlehlosti jednotlivých přístrojů v celkovém porovnání testu, "
                   "příloha ke grafu kruhového testu:")
CALIBRATION_HEADING = ("Vyhodnocení odlehlosti jednotlivých přístrojů v testu vzhledem k "
                       "referenčním hodnotám a kvalitě proložení, příloha ke grafu:")
OVERALL_NOTES_START = "V grafu jsou vyneseny jednotlivé přístroje v souřadnicích"
CALIBRATION_NOTES_START = "V grafu jsou vyneseny souřadnice jednotlivých přístrojů"


def input_table(index):
    """The 201 lines of output.html for an example instrument."""
    rows = counts(index)
    lines = ["<html>", "Naměřená data pro přístroj: " + INSTRUMENTS[index][0], "<table border=1>",
             "<tr><td></td><td>náběr 1</td><td>náběr 2</td><td>náběr 3</td><td>náběr 4</td></tr>"]
    for r in range(1, 14):
        lines += ["<tr>", "<td><b>w</b></td>" if r in (1, 12, 13) else f"<td><b>{r - 1}</b></td>"]
        for c in range(4):
            lines += ["<td>", str(rows[r - 1][c]), "</td>"]
        lines.append("</tr>")
    return lines + ["</table>", "</html>"]
