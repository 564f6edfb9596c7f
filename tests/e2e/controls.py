"""The program's windows as a user sees them: where the controls are, how to read the
panes and tabs, how to load the example data, and how saved text files look."""

import os
import re
import time

import expected
from desktop import MAIN_TITLE, Failure, check, check_equal, walk

# Controls, in pixels of their window's client area: left, top, width, height.
NOVY_TEST = (24, 24, 75, 25)
SLEPE_POKUSY = (152, 24, 75, 25)
OPAKOVATELNOST = (248, 24, 89, 25)
VLIV_PRENOSU = (360, 24, 97, 25)
KONTROLA_LINEARITY = (480, 24, 97, 25)
CELKOVY_TEST = (600, 24, 145, 25)
AKTUALNI_VYBER = (768, 24, 177, 25)
OTEVRIT = (856, 80, 75, 25)
ULOZIT_REFERENCE = (856, 104, 75, 25)
TISK_ZADANI = (856, 488, 89, 25)
ULOZENI_VYSTUPU = (856, 520, 89, 25)
ULOZIT_TEST = (856, 552, 89, 25)
MEMO1 = (8, 520, 833, 129)
FORM2_EXPORT = (368, 472, 89, 25)
FORM2_ZAVRIT = (496, 472, 75, 25)
FORM2_ZPRAVA_PDF = (608, 472, 89, 25)
FORM2_MEMO = (8, 8, 889, 457)
FORM3_ULOZIT = (392, 648, 75, 25)
FORM5_ULOZIT = (544, 655, 75, 25)
FORM3_TISK = (480, 648, 75, 25)
FORM5_TISK = (632, 655, 75, 25)
# "tisk grafu" sits inside the deviation chart (384, 248), at 360, 216 of the chart.
TISK_GRAFU = (384 + 360, 248 + 216, 75, 25)


def reference_field(k):
    return (850, 137 + 23 * k, 50, 20)


def node_at(session, window, rect, role="text", tree=None):
    """The accessible element of a window that lies exactly at a client rectangle."""
    w = session.accessible_window(window.title, tree)
    check(w is not None, f"window {window.title!r} cannot be read")
    want = [window.x + rect[0], window.y + rect[1], rect[2], rect[3]]
    for n in walk(w):
        if n["role"] == role and n.get("extents") == want:
            return n
    raise Failure(f"no {role} at {rect} of {window.title!r}")


def wait_text(session, window, rect, expected_lines, what, timeout=15):
    """Waits until the text pane at rect shows exactly the given lines."""
    want = "\n".join(expected_lines)
    deadline = time.monotonic() + timeout
    while True:
        text = node_at(session, window, rect).get("text")
        if text == want:
            return
        if time.monotonic() > deadline:
            got = (text or "").split("\n")
            diff = next((i for i, (a, b) in enumerate(zip(got, expected_lines)) if a != b),
                        min(len(got), len(expected_lines)))
            raise Failure(f"{what}: {len(got)} lines instead of {len(expected_lines)}; first "
                          f"difference at line {diff + 1}: "
                          f"{got[diff] if diff < len(got) else None!r} instead of "
                          f"{expected_lines[diff] if diff < len(expected_lines) else None!r}")
        time.sleep(0.2)


def tabs(session, main):
    w = session.accessible_window(MAIN_TITLE)
    return [n for n in walk(w) if n["role"] == "page tab"]


def click_tab(session, main, caption):
    for t in tabs(session, main):
        if t["name"] == caption:
            x, y, wd, ht = t["extents"]
            session.click(main, x - main.x + wd // 2, y - main.y + ht // 2)
            deadline = time.monotonic() + 10
            # Qt 6.4 reports the current tab as "focused" (and names the tab list after it).
            while not any(n["name"] == caption and ("selected" in n["states"] or "focused" in n["states"])
                          for n in tabs(session, main)):
                check(time.monotonic() < deadline, f"tab {caption!r} did not become current")
                time.sleep(0.1)
            return
    raise Failure(f"no tab {caption!r}")


def wait_file(path, timeout=15):
    deadline = time.monotonic() + timeout
    while not os.path.exists(path):
        check(time.monotonic() < deadline, f"{path} was not written")
        time.sleep(0.05)
    with open(path, "rb") as f:
        return f.read()


def crlf_lines(data, what):
    check(data.endswith(b"\r\n"), f"{what} does not end with CR LF")
    body = data[:-2].split(b"\r\n")
    check(all(b"\r" not in l and b"\n" not in l for l in body), f"{what} has a bare CR or LF")
    return [l.decode("cp1250") for l in body]


def file_dialog(session, timeout=10):
    """The file dialog that is open: its caption, its folder ("Hledat v"), the text of its
    file name field and the captions of its buttons, read once its folder shows."""
    dialog = session.wait_window(re.compile(r"(Open|Save As|Save|Otev.*|Ulo.*)"), timeout)
    deadline = time.monotonic() + timeout
    while True:
        w = next((w for w in (session.dump() or {}).get("windows", [])
                  if w.get("name") == dialog.title and "showing" in w.get("states", [])), None)
        nodes = [n for n in walk(w) if "showing" in n["states"]] if w else []
        folder = next((n["name"] for n in nodes if n["role"] == "combo box"), "")
        if folder or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    check(w is not None, f"the file dialog {dialog.title!r} cannot be read")
    return {"title": dialog.title, "folder": folder,
            "name": next((n.get("text") for n in nodes if n["role"] == "text"), None),
            "buttons": [n["name"] for n in nodes if n["role"] == "push button"]}


def load_examples(session, main, examples):
    """Loads the six example instruments with "nový test" and the reference values with
    "otevřít", and checks that the window shows them."""
    X = expected.load(examples)
    for i in range(1, 7):
        session.button(main, *NOVY_TEST)
        if i <= 2:
            # Qt's own dialog speaks Czech under a Czech locale; the dialog of "nový test"
            # opens in the working folder at first, then where its last file was, with
            # that file's name.
            shown = file_dialog(session)
            check_equal(shown["title"], "Otevřít", "caption of the open dialog")
            check("Otevřít" in shown["buttons"] and "Zrušit" in shown["buttons"],
                  f"buttons of the open dialog: {shown['buttons']}")
            where = (session.cwd, "") if i == 1 else (os.path.abspath(examples), "instrument1.dat")
            check_equal((shown["folder"], shown["name"]), where,
                        f"folder and file name of the open dialog of sheet {i}")
        session.choose_file(os.path.join(examples, f"instrument{i}.dat"))
    session.no_box()
    check_equal([t["name"] for t in tabs(session, main)], X.ids,
                "tab captions after loading")
    session.button(main, *OTEVRIT)
    session.choose_file(os.path.join(examples, "reference.ref"))
    session.no_box()
    wait_reference_values(session, main, [str(v) for v in X.references])


def reference_values(session, main):
    tree = session.dump()
    return [node_at(session, main, reference_field(k), tree=tree).get("text") for k in range(1, 11)]


def wait_reference_values(session, main, values, timeout=10):
    deadline = time.monotonic() + timeout
    while True:
        got = reference_values(session, main)
        if got == values or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    check_equal(got, values, "reference value fields")
