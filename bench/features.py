#!/usr/bin/python3
"""Times and measures what the later features promise, with a Release
zorbik-convert:

- far-apart fields: one record of 2 GiB with a 2-byte field at each end,
  against the same two fields side by side (peak memory at most 64 MiB,
  time within twice that of the side-by-side case);
- the preview: the first 20 rows of a 2 GiB source with 64 columns
  (zorbik-convert --preview 20, whole process, under 10 ms).

    features.py --convert PATH/zorbik-convert --work FOLDER [--runs 7]

The 2 GiB sources are sparse files: they take next to no disk."""

import argparse
import os
import statistics
import subprocess
import sys
import time

GIB = 1 << 30


def run(command, runs):
    """Median wall time in ms (the first run untimed) and peak memory in MiB,
    the latter from GNU time, since a forked child's own figure includes
    the Python process it was forked from."""
    walls = []
    for _ in range(runs + 1):
        start = time.perf_counter()
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        walls.append(time.perf_counter() - start)
        if done.returncode != 0:
            sys.exit(f"FAIL: {' '.join(command)}: {done.stderr.decode(errors='replace')}")
    timed = subprocess.run(['/usr/bin/time', '-f', '%M'] + command, stdout=subprocess.DEVNULL,
                           stderr=subprocess.PIPE, check=True)
    peak = int(timed.stderr.decode().strip().splitlines()[-1]) / 1024
    return statistics.median(walls[1:]) * 1000, peak


def sparse(path, size, pieces):
    with open(path, 'wb') as f:
        f.truncate(size)
        for offset, data in pieces:
            f.seek(offset)
            f.write(data)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--convert', required=True)
    ap.add_argument('--work', required=True)
    ap.add_argument('--runs', type=int, default=7)
    a = ap.parse_args()
    os.makedirs(a.work, exist_ok=True)
    w = lambda name: os.path.join(a.work, name)

    size = 2 * GIB - 2
    sparse(w('far.bin'), size, [(1, b'AB'), (size - 3, b'YZ')])
    with open(w('far.zlayout'), 'w') as f:
        f.write(f'0 LineBegin\n1 ColumnBegin Text\n2 ColumnEnd\n{size - 3} ColumnBegin Text\n'
                f'{size - 2} ColumnEnd\n{size - 1} LineEnd\n')
    sparse(w('near.bin'), 6, [(1, b'ABYZ')])
    with open(w('near.zlayout'), 'w') as f:
        f.write('0 LineBegin\n1 ColumnBegin Text\n2 ColumnEnd\n3 ColumnBegin Text\n4 ColumnEnd\n5 LineEnd\n')
    far_ms, far_mib = run([a.convert, '--force', '--layout', w('far.zlayout'), w('far.bin'), w('far.xls')], a.runs)
    near_ms, near_mib = run([a.convert, '--force', '--layout', w('near.zlayout'), w('near.bin'), w('near.xls')],
                            a.runs)
    print(f'far-apart fields: {far_ms:.1f} ms, {far_mib:.1f} MiB peak; side by side: {near_ms:.1f} ms, '
          f'{near_mib:.1f} MiB; ratio {far_ms / near_ms:.2f} (goal: at most 2, and at most 64 MiB)')

    # 64 columns of every type in records of 512 bytes over 2 GiB.
    length, begin = 512, 100
    sparse(w('wide.bin'), 2 * GIB, [(begin + k * length, bytes(range(256)) * 2) for k in range(40)])
    types = ['Text', 'BinInteger', 'BinReal', 'DecimalNumber', 'Bcd']
    marks = [f'{begin} LineBegin']
    for c in range(64):
        first = begin + 1 + c * 7
        marks += [f'{first} ColumnBegin {types[c % 5]}', f'{first + 5} ColumnEnd']
    marks.append(f'{begin + length - 1} LineEnd')
    with open(w('wide.zlayout'), 'w') as f:
        f.write('\n'.join(marks) + '\n')
    preview_ms, _ = run([a.convert, '--layout', w('wide.zlayout'), '--preview', '20', w('wide.bin')], a.runs)
    print(f'preview of 20 rows, 64 columns, 2 GiB source: {preview_ms:.1f} ms for the whole command '
          f'(goal: one update under 10 ms)')
    for name in ('far.bin', 'near.bin', 'wide.bin', 'far.xls', 'near.xls'):
        os.unlink(w(name))


if __name__ == '__main__':
    main()
