"""Prints the three charts on a real (PDF) printer through the real window.

    printing.py PROGRAM XCLOSE EXAMPLES-DIR ARTEFACTS-DIR

Starts a private print server of its own (own configuration, spool and socket; needs
root, since the PDF backend runs as root), adds a PDF queue, and checks first that with
no default printer "tisk grafu" stops with the error box, then, with the queue made the
default, that each chart arrives as a one-page job titled "Chart1" bearing the chart's
title. Exits 77 (skipped) when not run as root.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from controls import (CELKOVY_TEST, FORM3_TISK, FORM5_TISK, KONTROLA_LINEARITY,  # noqa: E402
                      MEMO1, TISK_GRAFU, load_examples, wait_text)
import expected  # noqa: E402
from desktop import (CALIBRATION_TITLE, OVERALL_TITLE, SUMMARY_TITLE, Failure,  # noqa: E402
                     Session, check, check_equal, log, main_entry)

QUEUE = "VelimorPDF"
PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
BACKEND = "/usr/lib/cups/backend/cups-pdf"


class PrintServer:
    """A print server with one PDF queue, private to this test."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="velimor-cups-")
        os.chmod(self.root, 0o755)
        self.socket = os.path.join(self.root, "cups.sock")
        self.instance = f"velimore2e{os.getpid()}"
        # The PDF backend reads its settings only from the system's configuration folder,
        # from a file named after the instance in the device address.
        self.backend_conf = f"/etc/cups/cups-pdf-{self.instance}.conf"
        self.daemon = None
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("LPDEST", "PRINTER", "CUPS_SERVER", "CUPS_USER")}
        self.env.update(CUPS_SERVER=self.socket, LC_ALL="C.UTF-8", LANG="C.UTF-8")

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start(self):
        for d in ("conf", "conf/ppd", "spool", "cache", "state", "log", "pdf", "pdfspool"):
            os.makedirs(self.path(d), exist_ok=True)
            os.chmod(self.path(d), 0o755)
        os.makedirs(self.path("tmp"), exist_ok=True)
        os.chmod(self.path("tmp"), 0o1777)
        with open(self.path("conf", "cupsd.conf"), "w") as f:
            f.write(f"""Listen {self.socket}
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobFiles Yes
PreserveJobHistory Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
""")
        with open(self.path("conf", "cups-files.conf"), "w") as f:
            f.write(f"""User lp
Group lp
SystemGroup root
ServerRoot {self.path('conf')}
RequestRoot {self.path('spool')}
CacheDir {self.path('cache')}
StateDir {self.path('state')}
TempDir {self.path('tmp')}
AccessLog {self.path('log', 'access_log')}
ErrorLog {self.path('log', 'error_log')}
PageLog {self.path('log', 'page_log')}
""")
        with open(self.backend_conf, "w") as f:
            f.write(f"""Out {self.path('pdf')}
AnonDirName {self.path('pdf')}
Spool {self.path('pdfspool')}
Log {self.path('log')}
LogType 3
Grp root
""")
        self.daemon = subprocess.Popen(
            ["cupsd", "-f", "-c", self.path("conf", "cupsd.conf"),
             "-s", self.path("conf", "cups-files.conf")],
            stdin=subprocess.DEVNULL, stdout=open(self.path("log", "cupsd.out"), "wb"),
            stderr=subprocess.STDOUT, env=self.env)
        deadline = time.monotonic() + 30
        while "scheduler is running" not in self.run("lpstat", "-r", check=False):
            check(self.daemon.poll() is None, "the print server ended at start: "
                  + self.log_text("cupsd.out") + self.log_text("error_log"))
            check(time.monotonic() < deadline, "the print server did not start")
            time.sleep(0.1)
        # Printing through the PostScript path loses the text of letters such as "ř"; the
        # cairo renderer keeps most of it.
        self.run("lpadmin", "-p", QUEUE, "-E", "-v", f"cups-pdf:/{self.instance}", "-P", PPD,
                 "-o", "pdftops-renderer-default=pdftocairo")
        log(f"print server on {self.socket}, queue {QUEUE}")

    def run(self, *args, check=True):
        r = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=60)
        if check and r.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {r.stderr.strip()}")
        return r.stdout + r.stderr

    def log_text(self, name):
        try:
            with open(self.path("log", name), errors="replace") as f:
                return f.read()[-3000:]
        except OSError:
            return ""

    def make_default(self):
        self.run("lpadmin", "-d", QUEUE)
        check(QUEUE in self.run("lpstat", "-d"), "the queue did not become the default")

    def job_names(self):
        """Job id -> job name, from the print server's page log."""
        names = {}
        for line in self.log_text("page_log").splitlines():
            # printer user job-id [date] total pages billing host job-name media sides
            m = re.match(r"(\S+) (\S+) (\d+) \[[^\]]*\] total \S+ \S+ \S+ (\S+)", line)
            if m and m.group(1) == QUEUE:
                names[int(m.group(3))] = m.group(4)
        return names

    def outputs(self):
        return sorted(f for f in os.listdir(self.path("pdf")) if f.endswith(".pdf"))

    def wait_jobs(self, count, timeout=90):
        """Waits until count jobs have been printed to PDF files and nothing is pending."""
        deadline = time.monotonic() + timeout
        while True:
            pending = self.run("lpstat", "-o", check=False).strip()
            if len(self.outputs()) >= count and not pending:
                return self.outputs()
            if time.monotonic() > deadline:
                raise Failure(f"{count} print jobs expected, {len(self.outputs())} printed; "
                              f"pending: {pending!r}; server log:\n{self.log_text('error_log')}")
            time.sleep(0.2)

    def spooled_document(self, job):
        return self.path("spool", f"d{job:05d}-001")

    def keep(self, artefacts):
        os.makedirs(artefacts, exist_ok=True)
        for name in self.outputs():
            shutil.copy(self.path("pdf", name), os.path.join(artefacts, f"printing-{name}"))
        for name in ("error_log", "page_log"):
            if os.path.exists(self.path("log", name)):
                shutil.copy(self.path("log", name), os.path.join(artefacts, f"printing-cups-{name}"))

    def close(self):
        if self.daemon is not None and self.daemon.poll() is None:
            self.daemon.terminate()
            try:
                self.daemon.wait(15)
            except subprocess.TimeoutExpired:
                self.daemon.kill()
        if os.path.exists(self.backend_conf):
            os.unlink(self.backend_conf)
        shutil.rmtree(self.root, ignore_errors=True)


def pdf_info(path):
    r = subprocess.run(["pdfinfo", path], capture_output=True, text=True, timeout=60)
    check(r.returncode == 0, f"pdfinfo cannot read {path}: {r.stderr.strip()}")
    return dict((k.strip(), v.strip()) for k, v in
                (l.split(":", 1) for l in r.stdout.splitlines() if ":" in l))


def pdf_text(path):
    r = subprocess.run(["pdftotext", "-enc", "UTF-8", path, "-"], capture_output=True,
                       timeout=60)
    check(r.returncode == 0, f"pdftotext cannot read {path}")
    return " ".join(r.stdout.decode("utf-8", "replace").split())


def printed_title_pattern(title):
    """The chart title as it survives the PostScript stage of the PDF printer: letters
    outside the Western code page may come out as a blank or not at all."""
    parts = []
    for ch in title:
        try:
            ch.encode("cp1252")
            parts.append(r"\s*" if ch == " " else re.escape(ch))
        except UnicodeEncodeError:
            parts.append(r"\s?\S?\s?")
    return re.compile("".join(parts))


def check_job(server, job, output, chart_title):
    what = f"print job {job} ({chart_title})"
    # What the program sent: the document as the print server received it.
    sent = server.spooled_document(job)
    check(os.path.exists(sent), f"{what}: the print server kept no document")
    info = pdf_info(sent)
    check_equal(info.get("Pages"), "1", f"{what}: pages sent")
    check_equal(info.get("Title"), "Chart1", f"{what}: document title sent")
    check(chart_title in pdf_text(sent), f"{what}: {chart_title!r} not in the document sent: "
                                         f"{pdf_text(sent)[:300]!r}")
    # What came out of the printer.
    printed = server.path("pdf", output)
    info = pdf_info(printed)
    check_equal(info.get("Pages"), "1", f"{what}: pages printed")
    check(output.lower().startswith("chart1"), f"{what}: printed file {output!r} not named "
                                               "after the job title")
    check(info.get("Title", "").strip("()") == "Chart1", f"{what}: printed title {info.get('Title')!r}")
    text = pdf_text(printed)
    log(f"job {job}: {output}, {info.get('Pages')} page, text {text[:80]!r}")
    check(printed_title_pattern(chart_title).search(text),
          f"{what}: title not on the printed page: {text[:300]!r}")
    check_equal(server.job_names().get(job), "Chart1", f"{what}: job name")


def run(program, xclose, examples, artefacts):
    if os.geteuid() != 0:
        print("printing needs root for its own print server; skipped")
        sys.exit(77)
    for tool in ("cupsd", "lpadmin", "pdfinfo", "pdftotext"):
        check(shutil.which(tool) or os.path.exists(f"/usr/sbin/{tool}"), f"{tool} is not installed")
    check(os.path.exists(BACKEND) and os.path.exists(PPD), "the CUPS-PDF printer is not installed")
    examples = os.path.abspath(examples)
    X = expected.load(examples)

    with PrintServer() as server:
        try:
            with Session(program, artefacts, "printing",
                         extra_env={"CUPS_SERVER": server.socket}) as s:
                check(s.atspi, "the accessibility bus is needed to read the window")
                main = s.start_program()
                load_examples(s, main, examples)

                log("no default printer")
                s.button(main, *TISK_GRAFU)
                s.answer_box("There is no default printer currently selected.", True,
                             what="printing without a default printer")
                s.no_box()
                check_equal(server.run("lpstat", "-W", "all", "-o").strip(), "",
                            "jobs after the failed print")
                check_equal(server.outputs(), [], "printed files after the failed print")

                server.make_default()

                log("deviation chart")
                s.button(main, *KONTROLA_LINEARITY)
                wait_text(s, main, MEMO1, X.linearity(0), "linearity of SCC-01")
                s.button(main, *TISK_GRAFU)
                s.no_box()
                first = server.wait_jobs(1)

                log("overall charts")
                s.button(main, *CELKOVY_TEST)
                s.wait_window(SUMMARY_TITLE)
                form3 = s.wait_window(OVERALL_TITLE)
                form5 = s.wait_window(CALIBRATION_TITLE)
                s.no_box()
                s.button(form3, *FORM3_TISK)
                s.no_box()
                second = [f for f in server.wait_jobs(2) if f not in first]
                s.button(form5, *FORM5_TISK)
                s.no_box()
                third = [f for f in server.wait_jobs(3) if f not in first + second]
                check(s.program_running(), "the program ended")

                log("checking the printed jobs")
                check_equal(sorted(server.job_names()), [1, 2, 3], "jobs printed")
                check_job(server, 1, first[0], "Odchylky měření pro přístroj: SCC-01")
                check_job(server, 2, second[0], "celkové vyhodnocení testu")
                check_job(server, 3, third[0],
                          "Graf korelací a reziduálních chyb regrese přístrojů v testu.")
                s.end_program(main, xclose)
        except BaseException:
            server.keep(artefacts)
            raise


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main_entry(lambda: run(*sys.argv[1:]))
