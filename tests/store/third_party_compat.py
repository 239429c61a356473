"""Checks our dBASE files against two independent Python readers and writers.

Usage: third_party_compat.py WRITER WORK_DIR

1. WRITER WORK_DIR writes tables with our store and expected.json listing every value;
   dbfread must read back each of them.
2. The dbf package writes a dBASE III table with a memo file; WRITER read must print
   each of its values.

Exits non-zero with one line per mismatch.
"""

import json
import pathlib
import shutil
import subprocess
import sys

import dbf
import dbfread

# dbfread takes a dBASE IV memo's length word as the size of the value, while it counts
# the 8-byte value header too; it then hands back up to 8 bytes past the value, which
# are the block's zero padding.
MEMO_OVERREAD = 8


def memo_matches(got, expected):
    padding = got[len(expected):]
    zero = b'\0' if isinstance(got, bytes) else '\0'
    return (got[:len(expected)] == expected and len(padding) <= MEMO_OVERREAD
            and padding == zero * len(padding))


def value_matches(field_type, got, expected):
    if expected is None:
        return got is None
    if field_type == 'N':
        return got is not None and float(expected) == got
    if field_type == 'D':
        return got is not None and got.isoformat() == expected
    if field_type == 'M':
        return got is not None and memo_matches(got, expected)
    if field_type == 'B':
        return got is not None and memo_matches(bytes(got), bytes.fromhex(expected))
    return got == expected


def open_with_dbfread(path, encoding):
    # UTF-8 has no dBASE language driver, so dbfread is told; for a code page the
    # reader must find it from the header's driver byte itself.
    if encoding == 'utf-8':
        return dbfread.DBF(str(path), encoding=encoding, load=True)
    table = dbfread.DBF(str(path), load=True)
    if table.encoding != encoding:
        raise AssertionError(f'{path.name}: dbfread chose {table.encoding}, not {encoding}')
    return table


def check_table(folder, written):
    path = folder / written['file']
    table = open_with_dbfread(path, written['encoding'])
    problems = []
    declared = [(c['name'], c['type'], c['width'], c['decimals']) for c in written['columns']]
    seen = [(f.name, f.type, f.length, f.decimal_count) for f in table.fields]
    if seen != declared:
        problems.append(f'{path.name}: columns read as {seen}, written as {declared}')

    for deleted, records in ((False, table.records), (True, table.deleted)):
        expected = [r['values'] for r in written['records'] if r['deleted'] == deleted]
        kind = 'deleted' if deleted else 'live'
        if len(records) != len(expected):
            problems.append(f'{path.name}: {len(records)} {kind} records, expected {len(expected)}')
            continue
        for number, (record, values) in enumerate(zip(records, expected), start=1):
            for column, want in zip(written['columns'], values):
                got = record[column['name']]
                if not value_matches(column['type'], got, want):
                    problems.append(f'{path.name}: {kind} record {number} {column["name"]}: '
                                    f'dbfread read {got!r}, expected {want!r}')
    return problems


def check_our_tables(writer, folder):
    subprocess.run([writer, str(folder)], check=True)
    manifest = json.loads((folder / 'expected.json').read_text(encoding='utf-8'))
    problems = []
    for written in manifest['tables']:
        problems += check_table(folder, written)
    return problems


# Rows for the dBASE III table: name, cost, notes, deleted.
DBASE3_ROWS = [
    ('Münze', 12.5, 'line one\r\nline two é', False),
    ('Obol', -3.25, 'x' * 600 + ' spans two blocks', False),
    ('Denar', 0, '', True),
]


def escaped(text):
    return (text.replace('\\', '\\\\').replace('\t', '\\t')
            .replace('\r', '\\r').replace('\n', '\\n'))


def check_their_table(writer, folder):
    path = folder / 'theirs.dbf'
    table = dbf.Table(str(path), 'name C(20); cost N(10,2); notes M', dbf_type='db3',
                      codepage='cp1252')
    # Opened and closed by hand: leaving a `with table.open()` block does not write the
    # deletion flag to the file before the table object is collected.
    table.open(dbf.READ_WRITE)
    try:
        for name, cost, notes, deleted in DBASE3_ROWS:
            table.append((name, cost, notes))
            if deleted:
                dbf.delete(table[-1])
    finally:
        table.close()

    printed = subprocess.run([writer, 'read', str(path)], check=True, capture_output=True,
                             encoding='utf-8').stdout.splitlines()
    expected = [f'{"*" if deleted else " "}\t{name}\t{cost:.2f}\t{escaped(notes)}'
                for name, cost, notes, deleted in DBASE3_ROWS]
    if printed == expected:
        return []
    return [f'theirs.dbf: our reader printed {printed!r}, expected {expected!r}']


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    writer = sys.argv[1]
    folder = pathlib.Path(sys.argv[2])
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)

    problems = check_our_tables(writer, folder) + check_their_table(writer, folder)
    for problem in problems:
        print(problem, file=sys.stderr)
    sys.exit(1 if problems else 0)


if __name__ == '__main__':
    main()
