#!/usr/bin/env python3
"""The shipped manual holds together: every local link and picture of every page points at
a file (and anchor) that ships with it, and every page can be reached from index.html.

Usage: manual_pages.py <manual folder>. Prints each fault and exits 1 when there is one.
"""
import sys
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import urlsplit, unquote


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.targets = []  # (attribute value, is a link)
        self.anchors = set()

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.anchors.add(attrs["id"])
        for name in ("href", "src"):
            if attrs.get(name):
                self.targets.append((attrs[name], tag == "a"))


def main(folder: Path) -> int:
    pages = {}
    for path in sorted(folder.rglob("*.html")):
        page = Page()
        page.feed(path.read_text(encoding="utf-8"))
        pages[path.resolve()] = page

    faults = []
    links = {path: set() for path in pages}
    for path, page in pages.items():
        for target, is_link in page.targets:
            parts = urlsplit(target)
            if parts.scheme or parts.netloc:
                continue  # the web and mail addresses are not ours to check
            file = (path.parent / unquote(parts.path)).resolve() if parts.path else path
            if not file.is_file() or folder.resolve() not in file.parents:
                faults.append(f"{path.name}: {target} is not a file of the manual")
                continue
            if parts.fragment and (file not in pages or parts.fragment not in pages[file].anchors):
                faults.append(f"{path.name}: {target} names an anchor that is not there")
            if is_link and file in pages:
                links[path].add(file)

    index = (folder / "index.html").resolve()
    if index not in pages:
        faults.append("index.html is missing")
    else:
        reached, todo = {index}, [index]
        while todo:
            for linked in links[todo.pop()] - reached:
                reached.add(linked)
                todo.append(linked)
        faults += [f"{path.name} cannot be reached from index.html" for path in pages if path not in reached]

    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1])))
