"""Every file dialog of the program, answered by typing a path into its name field and
pressing Return: once it has closed, the X server shows only the program's own windows,
and the next click on "nový test" opens its dialog.

    file_dialogs.py PROGRAM XCLOSE EXAMPLES-DIR ARTEFACTS-DIR

Typing lets the dialog's name completion list appear, also after the dialog has closed,
once the folder of the typed path has been read; a list left on screen takes the next
click for itself. Each file saved replaces an empty one of the same name, so that the list
has something to show for the save dialogs too.
"""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from controls import (CELKOVY_TEST, FORM2_EXPORT, FORM3_ULOZIT, FORM5_ULOZIT,  # noqa: E402
                      FORM2_ZPRAVA_PDF, NOVY_TEST, OTEVRIT, ULOZENI_VYSTUPU, ULOZIT_REFERENCE,
                      ULOZIT_TEST,
                      load_examples)
from desktop import (CALIBRATION_TITLE, MAIN_TITLE, OVERALL_TITLE, SUMMARY_TITLE,  # noqa: E402
                     Session, check, log, main_entry)


def wait_written(path, timeout=15):
    deadline = time.monotonic() + timeout
    while os.path.getsize(path) == 0:
        check(time.monotonic() < deadline, f"{path} was not written")
        time.sleep(0.05)


def run(program, xclose, examples, artefacts):
    examples = os.path.abspath(examples)
    with Session(program, artefacts, "file_dialogs") as s:
        out = os.path.join(s.work, "out")
        os.makedirs(out)
        main = s.start_program()
        # The open dialogs of "nový test" and "otevřít", seven times in all.
        load_examples(s, main, examples)
        s.button(main, *CELKOVY_TEST)
        windows = {MAIN_TITLE: main}
        for title in (SUMMARY_TITLE, OVERALL_TITLE, CALIBRATION_TITLE):
            windows[title] = s.wait_window(title)
        s.no_box()

        # (window, button, typed path, the file it writes)
        cases = [
            (MAIN_TITLE, NOVY_TEST, os.path.join(examples, "instrument2.dat"), False),
            (MAIN_TITLE, OTEVRIT, os.path.join(examples, "reference.ref"), False),
            (MAIN_TITLE, ULOZIT_REFERENCE, os.path.join(out, "hodnoty.ref"), True),
            (MAIN_TITLE, ULOZENI_VYSTUPU, os.path.join(out, "vystup.txt"), True),
            (MAIN_TITLE, ULOZIT_TEST, os.path.join(out, "pristroj.dat"), True),
            (SUMMARY_TITLE, FORM2_EXPORT, os.path.join(out, "souhrn.txt"), True),
            (SUMMARY_TITLE, FORM2_ZPRAVA_PDF, os.path.join(out, "zprava.pdf"), True),
            (OVERALL_TITLE, FORM3_ULOZIT, os.path.join(out, "celkove.bmp"), True),
            (CALIBRATION_TITLE, FORM5_ULOZIT, os.path.join(out, "kalibrace.bmp"), True),
        ]
        for title, button, path, writes in cases:
            if writes:
                open(path, "wb").close()
        for title, button, path, writes in cases:
            log(f"{os.path.basename(path)} typed into the dialog of {title!r}")
            s.button(windows[title], *button)
            dialog = s.choose_file(path)
            if writes:
                wait_written(path)
            s.check_own_windows(dialog, boxes=False, settle=1.0)
            # The next click reaches the button: its dialog opens, and is cancelled.
            s.button(main, *NOVY_TEST)
            again = s.wait_window(re.compile(r"Otev.*"), timeout=5)
            s.wait_focus(again)
            s.key("Escape")
            s.wait_gone(again)
            s.check_own_windows(again, boxes=False)
        s.end_program(main, xclose)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main_entry(lambda: run(*sys.argv[1:]))
