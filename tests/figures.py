"""What an end-to-end harness measured, kept for --figures: scripts/performance-report reads the
JSON file instead of the harness's log."""

import json
from pathlib import Path


class Figures(dict):
    """By name, each value in the order measured (the timing scenario measures twice)."""

    def __init__(self, prefix):
        super().__init__()
        self.prefix = prefix  # how the harness's log lines begin

    def add(self, name, value, text):
        """Keeps a measurement and shows it in the log."""
        self.setdefault(name, []).append(value)
        print(f"{self.prefix}figure {text}")

    def write(self, path):
        Path(path).write_text(json.dumps(self, indent=2) + "\n")
