"""A whole proficiency test with the example data, through the real window only.

    proficiency.py PROGRAM XCLOSE EXAMPLES-DIR ARTEFACTS-DIR

Loads the six example instruments and the reference values, runs every single
evaluation, the batch run, the input table export and the overall test, saves both panes,
both chart images and the reference values, and checks what was shown and written.
"""

import os
import struct
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import expected  # noqa: E402
from controls import (AKTUALNI_VYBER, CELKOVY_TEST, FORM2_EXPORT, FORM2_MEMO,  # noqa: E402
                      FORM2_ZAVRIT, FORM3_ULOZIT, FORM5_ULOZIT, KONTROLA_LINEARITY, MEMO1,
                      OPAKOVATELNOST, SLEPE_POKUSY, TISK_ZADANI, ULOZENI_VYSTUPU,
                      ULOZIT_REFERENCE, VLIV_PRENOSU, click_tab, crlf_lines, load_examples,
                      wait_file, wait_text)
from desktop import (CALIBRATION_TITLE, OVERALL_TITLE, SUMMARY_TITLE, Session,  # noqa: E402
                     check, check_equal, log, main_entry)

def check_bmp(data, width, height, what):
    check(data[:2] == b"BM", f"{what} is not a BMP file (starts with {data[:2]!r})")
    size, = struct.unpack_from("<I", data, 2)
    check_equal(size, len(data), f"{what}: file size in the header")
    offset, header = struct.unpack_from("<II", data, 10)
    check(header >= 40, f"{what}: header of {header} bytes")
    w, h, planes, bpp, compression = struct.unpack_from("<iiHHI", data, 18)
    check_equal((w, abs(h)), (width, height), f"{what}: image size")
    check(bpp in (24, 32), f"{what}: {bpp} bits per pixel")
    check_equal(compression, 0, f"{what}: compression (0 = uncompressed)")
    stride = (width * bpp // 8 + 3) // 4 * 4
    check(len(data) >= offset + stride * height, f"{what}: pixel data is short")
    pixels = data[offset:offset + stride * height]
    check(len(set(pixels[i] for i in range(0, len(pixels), 97))) > 2,
          f"{what}: the picture is blank")


def check_summary(lines, X):
    """The summary pane after the overall test of the six example instruments."""
    # Each instrument's block first: its heading, its four evaluations, in tab order.
    starts = [n for n, l in enumerate(lines) if l.startswith("Výsledky testu pro stroj: ")]
    check_equal([lines[n] for n in starts], [X.batch(i)[1] for i in range(len(X.ids))],
                "instrument headings of the summary")
    for i, n in enumerate(starts):
        block = X.batch(i)
        got = lines[n - 1:n - 1 + len(block)]
        for j, (a, b) in enumerate(zip(got, block)):
            check(a == b, f"summary block of {X.ids[i]}, line {j + 1}: {a!r} instead of {b!r}")
        check_equal(len(got), len(block), f"lines of the block of {X.ids[i]}")
    # Then the verdicts and notes of the overall test and of the calibration quality.
    for j, (a, b) in enumerate(zip(lines, X.overall)):
        check(a == b, f"summary line {j + 1}: {a!r} instead of {b!r}")
    check_equal(len(lines), len(X.overall), "lines of the summary")


def run(program, xclose, examples, artefacts):
    examples = os.path.abspath(examples)
    X = expected.load(examples)
    with Session(program, artefacts, "proficiency") as s:
        check(s.atspi, "the accessibility bus is needed to read the window")
        out = os.path.join(s.work, "saved")
        os.makedirs(out)
        main = s.start_program()
        check_equal((main.x, main.y, main.width, main.height), (465, 258, 990, 684),
                    "main window centred on the 1920 x 1200 screen")

        log("loading the examples")
        load_examples(s, main, examples)

        log("single evaluations")
        click_tab(s, main, "SCC-03")
        s.button(main, *SLEPE_POKUSY)
        s.answer_box("Střední hodnota vod přesahuje 3000 buněk/ml.", False, what="blank centre")
        s.answer_box("Slepý vzorek přesahuje limit.", False, what="single blank")
        wait_text(s, main, MEMO1, X.blank_check(2), "blank check of SCC-03")
        s.no_box()

        s.button(main, *OPAKOVATELNOST)
        wait_text(s, main, MEMO1, X.repeatability(2), "repeatability of SCC-03")
        s.no_box()

        click_tab(s, main, "SCC-04")
        s.button(main, *VLIV_PRENOSU)
        s.answer_box("Vliv přenosu je větší než 2 %.", False, what="carry-over")
        wait_text(s, main, MEMO1, X.carry_over(3), "carry-over of SCC-04")
        s.no_box()

        s.button(main, *KONTROLA_LINEARITY)
        wait_text(s, main, MEMO1, X.linearity(3), "linearity of SCC-04")
        s.no_box()

        log("batch run of the current sheet")
        s.button(main, *AKTUALNI_VYBER)
        form2 = s.wait_window(SUMMARY_TITLE)
        check_equal((form2.x, form2.y, form2.width, form2.height), (502, 335, 915, 530),
                    "summary window centred")
        wait_text(s, form2, FORM2_MEMO, X.batch(3), "summary pane after the batch run")
        wait_text(s, main, MEMO1, X.linearity(3), "main pane after the batch run")
        s.no_box()
        # A second run while the summary window is open behind the main window brings it to
        # the front again.
        s.raise_window(main)
        check(s.stacking().index(form2.wid) < s.stacking().index(main.wid),
              "the main window was raised over the summary window")
        s.button(main, *AKTUALNI_VYBER)
        deadline = time.monotonic() + 5
        while s.stacking().index(form2.wid) < s.stacking().index(main.wid):
            check(time.monotonic() < deadline,
                  "the summary window comes to the front again on a second batch run")
            time.sleep(0.05)
        s.no_box()
        s.button(form2, *FORM2_ZAVRIT)
        s.wait_gone(form2)

        log("input table export")
        s.button(main, *TISK_ZADANI)
        html = os.path.join(s.cwd, "output.html")
        data = wait_file(html)
        deadline = time.monotonic() + 10
        while not os.path.exists(s.opened_log):
            check(time.monotonic() < deadline, "the program did not ask to open output.html")
            time.sleep(0.05)
        s.no_box()
        check_equal(crlf_lines(data, "output.html"), X.input_table(3), "lines of output.html")
        with open(s.opened_log) as f:
            opened = f.read().split()
        check_equal(opened, ["file://" + html], "what the desktop was asked to open")

        log("overall test")
        s.button(main, *CELKOVY_TEST)
        form2 = s.wait_window(SUMMARY_TITLE)
        form3 = s.wait_window(OVERALL_TITLE)
        form5 = s.wait_window(CALIBRATION_TITLE)
        check_equal((form3.x, form3.y, form3.width, form3.height), (450, 247, 1088, 706),
                    "overall chart window")
        check_equal((form5.x, form5.y, form5.width, form5.height), (255, 305, 1416, 712),
                    "calibration chart window")
        check_equal((form2.x, form2.y, form2.width, form2.height), (502, 335, 915, 530),
                    "summary window")
        s.no_box()
        # The last sheet is current and its linearity check is the last thing in the pane.
        wait_text(s, main, MEMO1, X.linearity(5), "main pane after the overall test")

        log("saving")
        summary = os.path.join(out, "souhrn.txt")
        s.button(form2, *FORM2_EXPORT)
        s.choose_file(summary)
        overall_bmp = os.path.join(out, "celkove.bmp")
        s.button(form3, *FORM3_ULOZIT)
        s.choose_file(overall_bmp)
        calibration_bmp = os.path.join(out, "kalibrace")  # no extension: still a BMP
        s.button(form5, *FORM5_ULOZIT)
        s.choose_file(calibration_bmp)
        main_pane = os.path.join(out, "vystup.txt")
        s.button(main, *ULOZENI_VYSTUPU)
        s.choose_file(main_pane)
        reference = os.path.join(out, "hodnoty.ref")
        s.button(main, *ULOZIT_REFERENCE)
        s.choose_file(reference)
        s.no_box()

        log("checking the saved files")
        check_summary(crlf_lines(wait_file(summary), "summary text"), X)
        check_equal(crlf_lines(wait_file(main_pane), "main pane text"), X.linearity(5),
                    "saved main pane")
        raw = wait_file(main_pane)
        check(b"Korela\xe8n\xed koeficient: 1\r\n" in raw, "main pane not written in Windows-1250")
        check_bmp(wait_file(overall_bmp), 1049, 624, "overall chart image")
        check_bmp(wait_file(calibration_bmp), 1385, 641, "calibration chart image")
        check_equal(wait_file(reference), struct.pack("<10i", *X.references),
                    "bytes of the saved reference values")
        check_equal(wait_file(summary), b"".join(l.encode("cp1250") + b"\r\n" for l in X.overall),
                    "bytes of the saved summary")

        log("closing")
        check(s.program_running(), "the program ended")
        s.end_program(main, xclose)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main_entry(lambda: run(*sys.argv[1:]))
