"""The checksum file written beside each download: FILE.sha256 in sha256sum's format."""

import hashlib
import os


def write_checksum(path):
    """Writes PATH.sha256, which `sha256sum -c` checks (from the folder PATH is in)."""
    with open(path, "rb") as data:
        digest = hashlib.sha256(data.read()).hexdigest()
    with open(path + ".sha256", "w", encoding="ascii", newline="\n") as out:
        out.write(f"{digest}  {os.path.basename(path)}\n")
