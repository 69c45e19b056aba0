#!/usr/bin/env python3
"""The top-level folders are the layers. Reads every #include "..." of the sources and checks:

- a product file includes headers of its own folder and of folders below it in LAYERS, never of
  its own layer's neighbours or of a layer above (so nothing outside app/ includes app/);
- the command line uses only the plain C++ cores;
- headers are named by their folder from the source root, in the tests and tools too;
- the folders' include graph has no cycle.

Prints the graph; exits with 1 and the offending includes when a check fails.

    check_layers.py SOURCE_ROOT
"""
import os
import re
import sys

# Top to bottom. Folders in one layer don't include each other.
LAYERS = [
    ('app', 'cli'),                  # the window program and the command line
    ('commands',),                   # the window's commands
    ('pages', 'printer', 'menu'),    # the pages, the printer link's dialogs, the menu bar
    ('host',),                       # what the commands run against: CommandHost, UserPrompts
    ('send', 'ledger'),              # plain C++ cores: what may be sent to a printer; the record of what was sent
    ('fields', 'spooler'),           # plain C++ cores: the field model, the spooler
    ('settings',),                   # the settings image and its files
    ('text',),                       # text helpers
    ('res',),                        # ids, the string table, layouts and pictures
]
CORES = {'send', 'ledger', 'fields', 'spooler', 'settings', 'text', 'res'}
ONLY = {'cli': CORES}
NOT_PRODUCT = {'tests', 'fuzz', 'bench', 'tools', 'docs', 'packaging', 'scripts'}
GENERATED = re.compile(r'(^|/)ui_\w+\.h$|\.moc$')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def sources(root, folder):
    for path, dirs, files in os.walk(os.path.join(root, folder)):
        # Build trees (build/<preset>, or one of the user's own) hold generated and copied files.
        dirs[:] = sorted(d for d in dirs if not os.path.isfile(os.path.join(path, d, 'CMakeCache.txt')))
        for name in sorted(files):
            if name.endswith(('.h', '.cpp')):
                yield os.path.relpath(os.path.join(path, name), root)


def includes(root, file):
    with open(os.path.join(root, file), encoding='utf-8', errors='replace') as f:
        return INCLUDE.findall(f.read())


def cycle(edges):
    """A cycle of the graph as a list of folders, or None."""
    done, path = set(), []

    def visit(node):
        if node in path:
            return path[path.index(node):] + [node]
        if node in done:
            return None
        path.append(node)
        for other in sorted(edges.get(node, ())):
            found = visit(other)
            if found:
                return found
        path.pop()
        done.add(node)
        return None

    for node in sorted(edges):
        found = visit(node)
        if found:
            return found
    return None


def check(root):
    layer = {folder: depth for depth, folders in enumerate(LAYERS) for folder in folders}
    folders = sorted(d for d in os.listdir(root) if os.path.isdir(os.path.join(root, d)) and not d.startswith('.')
                     and not os.path.isfile(os.path.join(root, d, 'CMakeCache.txt')))
    errors = []
    headers = {}
    for folder in folders:
        files = list(sources(root, folder))
        if folder not in layer and folder not in NOT_PRODUCT and files:
            errors.append(f'{folder}/ holds sources but is in no layer of {os.path.basename(__file__)}')
        if folder in layer:
            headers.update((os.path.basename(f), f) for f in files if f.endswith('.h'))

    edges = {}
    for folder in folders:
        for file in sources(root, folder):
            for name in includes(root, file):
                if GENERATED.search(name):
                    continue
                if folder not in layer:
                    # Tests and tools keep their own headers beside them, but name the product's by folder.
                    if '/' not in name and name in headers:
                        errors.append(f'{file}: #include "{name}": write "{headers[name]}"')
                    continue
                target = name.split('/')[0]
                if '/' not in name or target not in layer or not os.path.isfile(os.path.join(root, name)):
                    errors.append(f'{file}: #include "{name}": not a header named by its folder from the source root')
                    continue
                if target == folder:
                    continue
                edges.setdefault(folder, set()).add(target)
                if folder in ONLY and target not in ONLY[folder]:
                    errors.append(f'{file}: #include "{name}": {folder}/ uses only {", ".join(sorted(ONLY[folder]))}')
                elif layer[target] <= layer[folder]:
                    errors.append(f'{file}: #include "{name}": {target}/ is not below {folder}/')

    for folder in sorted(edges):
        print(f'{folder} -> {", ".join(sorted(edges[folder]))}')
    found = cycle(edges)
    if found:
        errors.append('the folders include each other: ' + ' -> '.join(found))
    for error in errors:
        print(error, file=sys.stderr)
    return not errors


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(0 if check(sys.argv[1]) else 1)
