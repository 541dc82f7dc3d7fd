#!/usr/bin/env python3
"""Include arrows between the source folders.

  layers.py check ROOT TABLE   fails (exit 1) on an include the layer table does not allow
  layers.py graph ROOT [TABLE] prints folder -> folder include counts; with the table, arrows
                               that run from a lower layer to a higher one are marked "up"

The table (written by cmake/Layers.cmake) has one line per layer, bottom layer first:
"folder: folder folder ..." names the folders its files may include besides its own.
Quoted includes without a folder are generated headers; their targets' include paths
already decide who may use them.
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

# System headers that belong to one folder: the rest of the code must not see them.
PRIVATE_SYSTEM = {"boost/": "server/websocket", "ltc.h": "time"}


def read_table(path):
    order, allowed = [], {}
    for line in pathlib.Path(path).read_text().splitlines():
        if ":" not in line:
            continue
        folder, uses = line.split(":", 1)
        order.append(folder.strip())
        allowed[folder.strip()] = set(uses.split())
    return order, allowed


def source_folders(root):
    """Every folder (relative to ROOT) that holds a source or header of ours."""
    skip = {"tests", "bench", "build", "node_modules", "resources", "cmake", "scripts"}
    folders = set()
    for f in root.rglob("*"):
        if f.suffix in (".h", ".cpp") and f.parent != root:
            rel = f.parent.relative_to(root)
            if rel.parts[0] not in skip and not rel.parts[0].startswith((".", "build")):
                folders.add(rel.as_posix())
    return sorted(folders)


def includes(root, folder):
    """(file, line number, '<' or '"', included path) for the files directly in the folder."""
    for f in sorted((root / folder).glob("*")):
        if f.suffix not in (".h", ".cpp"):
            continue
        for n, text in enumerate(f.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(text)
            if m:
                yield f.relative_to(root).as_posix(), n, m.group(1), m.group(2)


def target_folder(path):
    return path.rsplit("/", 1)[0] if "/" in path else None


def check(root, table):
    order, allowed = read_table(table)
    errors = []
    for folder in order:
        if not (root / folder).is_dir():
            continue
        for name, line, kind, path in includes(root, folder):
            if kind == "<":
                for prefix, owner in PRIVATE_SYSTEM.items():
                    if path.startswith(prefix) and folder != owner:
                        errors.append(f"{name}:{line}: <{path}> belongs to {owner}/ alone")
                continue
            target = target_folder(path)
            if target is None or target == folder:
                continue
            if target not in allowed:
                errors.append(f"{name}:{line}: \"{path}\" is in no layer")
            elif target not in allowed[folder]:
                errors.append(f"{name}:{line}: {folder}/ may not include {target}/ (\"{path}\")")
    for e in errors:
        print(e, file=sys.stderr)
    if errors:
        print(f"layers: {len(errors)} include(s) the layer table in cmake/Layers.cmake does not allow",
              file=sys.stderr)
    return 1 if errors else 0


def graph(root, table=None):
    order = read_table(table)[0] if table else []
    rank = {f: i for i, f in enumerate(order)}
    counts = {}
    for folder in source_folders(root):
        for _, _, kind, path in includes(root, folder):
            target = target_folder(path) if kind == '"' else None
            if target and target != folder:
                counts[(folder, target)] = counts.get((folder, target), 0) + 1
    for (src, dst), n in sorted(counts.items()):
        up = src in rank and dst in rank and rank[dst] > rank[src]
        print(f"{src:17} -> {dst:17} {n:3}{'  up' if up else ''}")
    return 0


def main(argv):
    if len(argv) >= 3 and argv[1] == "check" and len(argv) == 4:
        return check(pathlib.Path(argv[2]), argv[3])
    if len(argv) in (3, 4) and argv[1] == "graph":
        return graph(pathlib.Path(argv[2]), argv[3] if len(argv) == 4 else None)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
