#!/usr/bin/env python3
"""The layer check: every quoted include is written from the repository root and names a
header of the including file's own layer or of a layer below it.

The layers, bottom up, are written down here and nowhere else. A layer may include itself and
every layer listed under it (transitively); tests/ and bench/ sit above everything.
"""
import os
import re
import sys

# layer: the layers directly below it
LAYERS = {
    "ociabi": [],                     # OCI's C types and the one list of entry points
    "ocilite/types": [],              # Oracle's datatypes, no SQLite
    "ocilite/engine": ["ocilite/types"],
    "ocilite/api": ["ocilite/engine", "ociabi"],   # libocilite.so: the C surface
    "ocilite/console": ["ocilite/engine"],         # ocilite-sql
    "oci": ["ociabi"],                # the client layer: loads any OCI library at run time
    "transfer": ["oci"],              # settings, delimited text, engines, thread, log
    "app": ["transfer"],              # headless core: command line, settings store, grid
                                      # model, previews, controllers, start sequence
    "windows": ["app"],               # Qt widgets only
    "main": ["windows"],              # the program
}
TOP_LEVEL = {"tests", "bench"}        # may include any layer

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def below(layer, seen=None):
    seen = set() if seen is None else seen
    for lower in LAYERS[layer]:
        if lower not in seen:
            seen.add(lower)
            below(lower, seen)
    return seen


def layer_of(path):
    best = None
    for layer in LAYERS:
        if path == layer or path.startswith(layer + "/"):
            if best is None or len(layer) > len(best):
                best = layer
    return best


def main(root):
    problems = []
    sources = []
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        for name in files:
            if name.endswith((".h", ".hpp", ".c", ".cc", ".cpp", ".def")):
                sources.append(os.path.normpath(os.path.join(rel, name)))
    for source in sorted(sources):
        top = source.split("/", 1)[0]
        own = layer_of(source)
        if own is None and top not in TOP_LEVEL:
            continue
        allowed = None if own is None else {own} | below(own)
        with open(os.path.join(root, source), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            line = text.count("\n", 0, match.start()) + 1
            if not os.path.isfile(os.path.join(root, target)):
                problems.append(f"{source}:{line}: \"{target}\" is not a path from the repository root")
                continue
            target_layer = layer_of(target)
            if allowed is None or target_layer is None:
                continue
            if target_layer not in allowed:
                problems.append(f"{source}:{line}: layer {own} includes \"{target}\" of layer {target_layer}")
    for problem in problems:
        print(problem)
    print(f"{len(sources)} files checked, {len(problems)} problems")
    return 1 if problems else 0


def self_test():
    """Plants an upward include, a flat include and an allowed one in a scratch tree and
    checks that exactly the first two are reported."""
    import contextlib
    import io
    import tempfile
    files = {
        "app/Core.h": "#pragma once\n",
        "transfer/Engine.h": '#include "app/Core.h"\n',       # upward: refused
        "transfer/Flat.h": '#include "Engine.h"\n',           # not from the root: refused
        "windows/View.h": '#include "transfer/Engine.h"\n',   # downward: allowed
        "tests/x/T.cpp": '#include "windows/View.h"\n',       # tests see everything
    }
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = main(root)
    report = out.getvalue()
    ok = (status == 1 and "transfer/Engine.h:1: layer transfer includes \"app/Core.h\"" in report
          and "transfer/Flat.h:1: \"Engine.h\" is not a path" in report
          and "5 files checked, 2 problems" in report)
    print(report + ("self test passed" if ok else "self test FAILED"))
    return 0 if ok else 1


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
