"""What the program must show and write for the example instruments of examples/.

The example generator (make_examples, `make examples`) writes it into examples/expected.json
beside the example files, computed by the program's own evaluations: the end-to-end tests
check that the real window shows and saves the same.
"""

import json
import os


class Examples:
    """examples/expected.json; instruments by their index in tab order, from 0."""

    def __init__(self, folder):
        with open(os.path.join(folder, "expected.json"), encoding="utf-8") as f:
            data = json.load(f)
        self.references = data["references"]      # the ten reference values
        self.reference_file = data["reference_file"]
        self._instruments = data["instruments"]
        self.ids = [i["id"] for i in self._instruments]
        self.files = [i["file"] for i in self._instruments]
        self.overall = data["overall"]            # summary pane after the overall test

    # The main pane after each single evaluation of the instrument.
    def blank_check(self, index):
        return self._instruments[index]["blank_check"]

    def repeatability(self, index):
        return self._instruments[index]["repeatability"]

    def carry_over(self, index):
        return self._instruments[index]["carry_over"]

    def linearity(self, index):
        return self._instruments[index]["linearity"]

    def batch(self, index):
        """The summary pane after the batch run: the instrument's block of the summary."""
        return self._instruments[index]["batch"]

    def input_table(self, index):
        """The lines of output.html."""
        return self._instruments[index]["input_table"]


def load(folder):
    return Examples(folder)
