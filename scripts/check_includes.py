#!/usr/bin/env python3
"""Checks the include lines of src/ against the order of its folders.

Each folder may include only itself and the folders it builds on:

    support                             stands alone
    json, hostlink, settings, ui        use support
    documents                           uses json, hostlink, support
    actions                             uses all of the above
    app                                 uses everything

No two units may use each other, directly or around a longer loop (a unit
is a header with its .cpp and its _win/_posix halves), and headers outside
src/app include no OS headers, neither directly nor through a *_win.h
header: only Windows-only headers, named *_win.h, may. Prints each breach
and exits 1; prints one line and exits 0 when the tree keeps the order.
"""
import pathlib
import re
import sys

ALLOWED = {
    "support": set(),
    "json": {"support"},
    "hostlink": {"support"},
    "settings": {"support"},
    "ui": {"support"},
    "documents": {"json", "hostlink", "support"},
    "actions": {"documents", "json", "hostlink", "settings", "ui", "support"},
    "app": {"actions", "documents", "json", "hostlink", "settings", "ui", "support"},
}
OS_HEADERS = re.compile(r"^(windows|winsock2|ole2|objbase|shlobj|shellapi|commdlg|mmsystem|unistd|fcntl|"
                        r"sys/.*|pthread|dirent|poll)\.h$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def unit_of(path):
    stem = re.sub(r"_(win|posix)$", "", path.stem)
    return f"{path.parent.name}/{stem}"


def find_cycles(graph):
    """The strongly connected components with more than one unit (Tarjan)."""
    index, low, stack, on_stack, cycles = {}, {}, [], set(), []

    def visit(start):
        # Iterative, so that a long chain cannot exhaust Python's stack.
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = len(index)
        stack.append(start)
        on_stack.add(start)
        while work:
            node, edges = work[-1]
            pushed = False
            for nxt in edges:
                if nxt not in index:
                    index[nxt] = low[nxt] = len(index)
                    stack.append(nxt)
                    on_stack.add(nxt)
                    work.append((nxt, iter(sorted(graph.get(nxt, ())))))
                    pushed = True
                    break
                if nxt in on_stack:
                    low[node] = min(low[node], index[nxt])
            if pushed:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    cycles.append(sorted(component))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return cycles


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    breaches = []
    graph = {}
    files = sorted(p for p in src.rglob("*") if p.suffix in (".h", ".cpp"))
    for path in files:
        folder = path.parent.name
        if folder not in ALLOWED:
            breaches.append(f"{path.relative_to(src)}: folder {folder} has no place in the order")
            continue
        unit = unit_of(path)
        for number, line in enumerate(path.read_text(encoding="latin-1").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            where = f"{path.relative_to(src)}:{number}"
            portable_header = folder != "app" and path.suffix == ".h" and not path.stem.endswith("_win")
            if kind == "<":
                if portable_header and OS_HEADERS.match(name):
                    breaches.append(f"{where}: header outside app includes the OS header <{name}>")
                continue
            if portable_header and name.endswith("_win.h"):
                breaches.append(f"{where}: header outside app includes the Windows-only header {name}")
            target_folder = name.split("/")[0] if "/" in name else None
            if target_folder not in ALLOWED:
                continue
            if target_folder != folder and target_folder not in ALLOWED[folder]:
                breaches.append(f"{where}: {folder} may not include {name}")
            target = f"{target_folder}/{re.sub(r'[.]h$', '', name.split('/', 1)[1])}"
            if target != unit:
                graph.setdefault(unit, set()).add(target)
    for cycle in find_cycles(graph):
        breaches.append("units that use each other: " + ", ".join(cycle))
    for breach in breaches:
        print(breach)
    if breaches:
        print(f"include order: {len(breaches)} breach(es)")
        return 1
    print(f"include order: {len(files)} files keep it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
