"""Bad input through the real window: each mistake ends in the error box, the program
keeps running, and no existing file is harmed.

    bad_input.py PROGRAM XCLOSE EXAMPLES-DIR ARTEFACTS-DIR
"""

import errno
import hashlib
import re
import os
import shutil
import struct
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from controls import (KONTROLA_LINEARITY, MEMO1, NOVY_TEST, OPAKOVATELNOST, OTEVRIT,  # noqa: E402
                      SLEPE_POKUSY, ULOZENI_VYSTUPU, ULOZIT_REFERENCE, crlf_lines, reference_values,
                      tabs, wait_file, wait_reference_values, wait_text)
import expected  # noqa: E402
from desktop import (MAIN_TITLE, Session, check, check_equal, log,  # noqa: E402
                     main_entry, walk)

INTEGER_ERROR = "'{}' is not a valid integer value."
SHORT_FILE = "Read beyond end of file."


def count_fields(session, main):
    """The count fields of the current sheet, by (row, replicate), found by their places:
    13 rows 23 pixels apart, four columns at 155, 210, 265 and 320 of the page."""
    w = session.accessible_window(MAIN_TITLE)
    fields = [n for n in walk(w) if n["role"] == "text" and "showing" in n["states"]
              and n.get("extents", [0, 0, 0, 0])[2:] == [50, 20]
              and n["extents"][0] != main.x + 850]  # not the reference value fields
    xs = sorted({n["extents"][0] for n in fields})
    ys = sorted({n["extents"][1] for n in fields})
    check(len(xs) == 4 and len(ys) == 13, f"count fields: columns {xs}, rows {ys}")
    check_equal([x - xs[0] for x in xs], [0, 55, 110, 165], "columns of the count fields")
    check_equal([y - ys[0] for y in ys], [23 * i for i in range(13)], "rows of the count fields")
    return {(ys.index(n["extents"][1]) + 1, xs.index(n["extents"][0]) + 1): n for n in fields}


def set_field(session, main, node, text):
    """Clicks into an edit field, selects all it holds and types the new text."""
    x, y, wd, ht = node["extents"]
    session.click(main, x - main.x + wd // 2, y - main.y + ht // 2)
    session.key("ctrl+a")
    if text:
        session.type_text(text)
    else:
        session.key("BackSpace")
    deadline = time.monotonic() + 10
    while True:
        now = count_fields(session, main)
        field = next(n for n in now.values() if n["extents"] == node["extents"])
        if field.get("text") == text:
            return
        check(time.monotonic() < deadline, f"field shows {field.get('text')!r}, not {text!r}")
        time.sleep(0.1)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def run(program, xclose, examples, artefacts):
    examples = os.path.abspath(examples)
    X = expected.load(examples)
    with Session(program, artefacts, "bad_input") as s:
        check(s.atspi, "the accessibility bus is needed to read the window")
        data = os.path.join(s.work, "data")
        os.makedirs(data)
        instrument = os.path.join(data, "instrument1.dat")
        reference = os.path.join(data, "reference.ref")
        shutil.copy(os.path.join(examples, "instrument1.dat"), instrument)
        shutil.copy(os.path.join(examples, "reference.ref"), reference)
        short_reference = os.path.join(data, "short.ref")
        with open(short_reference, "wb") as f:
            f.write(struct.pack("<10i", *range(7, 17))[:39])
        short_instrument = os.path.join(data, "short.dat")
        with open(instrument, "rb") as f:
            whole = f.read()
        check_equal(len(whole), 296, "size of an instrument file")
        with open(short_instrument, "wb") as f:
            f.write(whole[:295])
        originals = {p: digest(p) for p in (instrument, reference, short_reference, short_instrument)}

        main = s.start_program()
        s.button(main, *NOVY_TEST)
        s.choose_file(instrument)
        s.button(main, *OTEVRIT)
        s.choose_file(reference)
        s.no_box()
        wait_reference_values(s, main, [str(v) for v in X.references])

        log("count fields that are not whole numbers")
        fields = count_fields(s, main)
        first = fields[(2, 1)]  # sample 1, replicate 1
        check_equal(first.get("text"), "102", "row 2, replicate 1 of SCC-01")
        for bad in ("12,5", "", "abc", "99999999999"):
            set_field(s, main, first, bad)
            s.button(main, *OPAKOVATELNOST)
            s.answer_box(INTEGER_ERROR.format(bad), True, what=f"count {bad!r}")
            # The run stopped at the first pair of sample 1, after its heading lines.
            wait_text(s, main, MEMO1, ["", "Vyhodnocení opakovatelností celého setu.", "-" * 34,
                                       "vzorky 1"], f"main pane after the count {bad!r}")
            s.no_box()
            check(s.program_running(), "the program ended")
        set_field(s, main, first, "102")
        s.button(main, *OPAKOVATELNOST)
        wait_text(s, main, MEMO1, X.repeatability(0), "repeatability after the repair")
        s.no_box()

        log("a reference values file of 39 bytes")
        s.button(main, *OTEVRIT)
        s.choose_file(short_reference)
        s.answer_box(SHORT_FILE, True, what="39-byte reference file")
        check_equal(reference_values(s, main), [str(v) for v in X.references],
                    "reference values after the failed load")

        log("an instrument file of 295 bytes")
        before = [t["name"] for t in tabs(s, main)]
        s.button(main, *NOVY_TEST)
        s.choose_file(short_instrument)
        s.answer_box(SHORT_FILE, True, what="295-byte instrument file")
        after = [t["name"] for t in tabs(s, main)]
        check(after == before or after == before + ["měření 2"],
              f"tabs after the failed load: {after}")
        s.button(main, *SLEPE_POKUSY)  # the current sheet still works
        wait_text(s, main, MEMO1, X.blank_check(0), "blank check after the failed load")
        s.no_box()

        log("a named pipe chosen as an instrument file")
        # Nothing ever writes into it: the program must not wait for data.
        pipe = os.path.join(data, "roura.dat")
        os.mkfifo(pipe)
        before = [t["name"] for t in tabs(s, main)]
        s.button(main, *NOVY_TEST)
        s.choose_file(pipe)
        s.answer_box("File access denied.", True, timeout=10, what="named pipe as an instrument file")
        check(s.program_running(), "the program ended")
        after = [t["name"] for t in tabs(s, main)]
        check(after[:len(before)] == before and len(after) - len(before) in (0, 1),
              f"tabs after the refused pipe: {after}")
        s.no_box()

        log("a folder where a file is expected")
        # Qt's file dialog opens a folder that is typed in instead of returning it, so a
        # folder never reaches the program; the dialog stays open until it is cancelled.
        s.button(main, *OTEVRIT)
        dialog = s.wait_window(re.compile(r"Open|Otev.*"))
        s.wait_focus(dialog)
        s.key("ctrl+a")
        s.type_text(data)
        s.key("Return")
        s.sync_idle(0.5)
        check(s.is_shown(dialog), "the dialog returned a folder")
        # Closed with its close button: a key would go first to its name completion list,
        # which shows under the field what the typed folder completes to. The list goes
        # with the dialog.
        s.close_window(dialog, xclose)
        s.wait_gone(dialog)
        s.check_own_windows(dialog, boxes=False)
        check_equal(reference_values(s, main), [str(v) for v in X.references],
                    "reference values after the cancelled dialog")

        log("saving where it cannot be written")
        out = os.path.join(s.work, "out")
        os.makedirs(out)
        kept = os.path.join(out, "vystup.txt")
        s.button(main, *ULOZENI_VYSTUPU)
        s.choose_file(kept)
        check_equal(crlf_lines(wait_file(kept), "main pane"), X.blank_check(0), "saved main pane")
        kept_digest = digest(kept)

        s.button(main, *ULOZENI_VYSTUPU)
        s.choose_file("/dev/full")
        s.answer_box("Stream write error.", True, what="main pane to /dev/full")

        missing = os.path.join(out, "chybi", "vystup.txt")
        s.button(main, *ULOZENI_VYSTUPU)
        s.choose_file(missing)
        s.answer_box(f'Cannot create file "{missing}". {s.system_message(errno.ENOENT)}.', True,
                     what="main pane into a missing folder")
        check(not os.path.exists(os.path.dirname(missing)), "the missing folder was created")

        if os.geteuid() == 0:
            # Root may write everywhere except on a file system that refuses it.
            locked = "/sys/velimor-hodnoty.ref" if os.path.ismount("/sys") else None
        else:
            locked_dir = os.path.join(out, "zamceno")
            os.makedirs(locked_dir)
            os.chmod(locked_dir, 0o555)
            locked = os.path.join(locked_dir, "hodnoty.ref")
        if locked:
            s.button(main, *ULOZIT_REFERENCE)
            s.choose_file(locked)
            s.answer_box("File access denied.", True, what="reference values where writing is refused")
            check(not os.path.exists(locked), "the refused file exists")
        else:
            log("no place that refuses writing; the refused save is left out")

        s.no_box()
        check_equal(sorted(os.listdir(out)), ["vystup.txt"] + (["zamceno"] if os.geteuid() else []),
                    "files in the output folder (no leftovers)")
        check_equal(digest(kept), kept_digest, "the earlier saved pane")
        for path, d in originals.items():
            check_equal(digest(path), d, f"{os.path.basename(path)} after the run")

        log("the program still works")
        check(s.program_running(), "the program ended")
        s.button(main, *KONTROLA_LINEARITY)
        wait_text(s, main, MEMO1, X.linearity(0), "linearity at the end")
        s.no_box()
        s.end_program(main, xclose)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main_entry(lambda: run(*sys.argv[1:]))
