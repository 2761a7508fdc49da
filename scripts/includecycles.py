#!/usr/bin/env python3
"""Reports include cycles among the sources under a folder (default: src/).

A header and its source file are one node, so that a.cpp including b.h while
b.cpp includes a.h counts as a cycle: the two pairs depend on each other even
though no header includes itself. Exits 1 and prints each cycle when there is
one, 0 otherwise; --graph prints every edge as well.
"""
import argparse
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}


def graph(root: pathlib.Path) -> dict[str, set[str]]:
    files = [p for p in root.rglob("*") if p.suffix in SUFFIXES and p.is_file()]
    names = {p.relative_to(root).as_posix() for p in files}
    edges: dict[str, set[str]] = {}
    for path in files:
        here = path.relative_to(root)
        node = here.with_suffix("").as_posix()
        edges.setdefault(node, set())
        for target in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            # Includes are relative to the root; a bare name may also be a sibling.
            for candidate in (target, (here.parent / target).as_posix()):
                if candidate in names:
                    other = pathlib.PurePosixPath(candidate).with_suffix("").as_posix()
                    if other != node:
                        edges[node].add(other)
                    break
    return edges


def cycles(edges: dict[str, set[str]]) -> list[list[str]]:
    """Strongly connected components of more than one node (Tarjan)."""
    index: dict[str, int] = {}
    low: dict[str, int] = {}
    stack: list[str] = []
    on_stack: set[str] = set()
    found: list[list[str]] = []

    def visit(node: str) -> None:
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for other in sorted(edges.get(node, ())):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            component = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                component.append(top)
                if top == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for node in sorted(edges):
        if node not in index:
            visit(node)
    return found


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root", nargs="?", default=pathlib.Path(__file__).parent.parent / "src",
                        type=pathlib.Path)
    parser.add_argument("--graph", action="store_true", help="print every edge")
    args = parser.parse_args()
    edges = graph(args.root)
    if args.graph:
        for node in sorted(edges):
            for other in sorted(edges[node]):
                print(f"{node} -> {other}")
    found = cycles(edges)
    for component in found:
        print("include cycle: " + " <-> ".join(component))
    print(f"{len(edges)} nodes, {sum(map(len, edges.values()))} edges, {len(found)} cycles")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
