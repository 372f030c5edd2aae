#!/usr/bin/env python3
"""Where the installer's bytes beyond its payload go: sections, object files, symbols.

usage: size_breakdown.py PROGRAM PAYLOAD_BYTES [MAP [NM_OUTPUT]]

PROGRAM is the shipped, stripped program; MAP the linker's map of it (OrvandelSetup.map, written by every
build); NM_OUTPUT the output of `nm --size-sort -S -C` on its unstripped twin (target orv_size_probe), which
has the same layout and only keeps its symbols.
"""
import collections
import re
import struct
import sys

# Sections whose bytes are in the image; the rest of a map (debugging, discarded) is not shipped. The
# 32-bit program's .eh_frame records, at the end of .rdata, are rewritten as a compact table after the
# link, so the map's sizes of them are not what ships: the table is counted whole, from the program.
IMAGE_SECTIONS = {'.text', '.data', '.rdata', '.eh_frame', '.idata', '.rsrc', '.reloc', '.CRT', '.tls'}
COMPACT_TABLE = 0x31545643  # the first word of the compact unwind table (app/FrameRules.h)
TOP = 25

# Runtime pieces grouped by what the program uses them for, matched on the archive member's name.
GROUPS = [
    ('unwinder (the program\'s own; libgcc_eh if linked)',
     r'^libgcc_eh\.a|^objects\.a\((Unwinder|FrameRules|FrameTables)\.cpp\.obj\)'),
    ('C++ exceptions (throw, catch, personality)', r'^libstdc\+\+\.a\((eh_|bad_)'),
    ('C++ type information (matching a catch)',
     r'^libstdc\+\+\.a\(.*(type_info|tinfo)|^objects\.a\(CatchTypes\.cpp\.obj\)'),
    ('C++ new and delete', r'^libstdc\+\+\.a\((new_|del_)'),
    ('other C++ runtime', r'^libstdc\+\+\.a'),
    ('threads for the runtime (libgcc gthr, TLS)', r'^libgcc\.a\(gthr|^libmingw32\.a\(.*tls'),
    ('MinGW start-up (crt2, libmingw32, crtbegin/end)', r'^(crt2\.o|crtbegin\.o|crtend\.o|libmingw32\.a|libgcc\.a)'),
    ('import thunks and names', r'^lib\w+\.a'),
]


def pe_sections(path):
    """(name, raw bytes in the file, bytes used) of each section, and the size of the headers."""
    data = open(path, 'rb').read()
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    count = struct.unpack_from('<H', data, pe + 6)[0]
    optional = struct.unpack_from('<H', data, pe + 20)[0]
    table = pe + 24 + optional
    sections = []
    for i in range(count):
        name, used, _, raw, pointer = struct.unpack_from('<8sIIII', data, table + 40 * i)
        sections.append((name.rstrip(b'\0').decode(), raw, min(used, raw) if raw else 0, pointer))
    headers = min(s[3] for s in sections if s[1]) if sections else len(data)
    return len(data), headers, sections, data


def compact_table(data, sections):
    """Where the compact unwind table the build writes at the end of .rdata starts in it, and its bytes: its
    header and rows, then DWARF records up to a zero word; (0, 0) when there is none."""
    for name, raw, _, pointer in sections:
        if name != '.rdata':
            continue
        blob = data[pointer:pointer + raw]
        at = next((i for i in range(0, len(blob) - 20, 4)
                   if struct.unpack_from('<I', blob, i)[0] == COMPACT_TABLE), None)
        if at is None:
            return 0, 0
        end = at + 20 + struct.unpack_from('<I', blob, at + 4)[0]
        while struct.unpack_from('<I', blob, end)[0]:
            end += 4 + struct.unpack_from('<I', blob, end)[0]
        return at, end + 4 - at
    return 0, 0


def map_contributors(path):
    """Bytes each input file gives to the image's sections, from a GNU ld map."""
    section, pending = None, None
    sizes = collections.Counter()
    for line in open(path, errors='replace'):
        m = re.match(r'^(\.\w+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+', line)
        if m:
            section = m.group(1)
            continue
        m = re.match(r'^ (\.\S+)\s*$', line)
        if m:  # a long input section name puts its address on the next line
            pending = m.group(1)
            continue
        m = re.match(r'^ (\.\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$', line)
        if m and (m.group(1) or pending or '').startswith('.eh_frame'):
            m = None
        if m and (m.group(1) or pending) and section in IMAGE_SECTIONS:
            name = re.sub(r'.*/', '', m.group(3).strip())
            name = re.sub(r'\w+\.ltrans\d+\.ltrans\.o', 'program code', name)
            name = re.sub(r'\(lib(32|64)_lib\w+?_a-', '(', name)
            if re.match(r'^objects\.a\(Payload\.rc\.res\)', name):
                name = 'payload resources'
            elif name.startswith('program code'):
                name = f'program (one LTO unit), {section}'
            elif name == 'dll stuff':
                name = 'base relocations'
            elif re.match(r'^lib(kernel32|user32|gdi32|shell32|advapi32|comctl32|msvcrt)\.a\(lib(kernel32|user32|gdi32|shell32|advapi32|comctl32|msvcrt)', name):
                name = re.sub(r'\(.*', ' (import thunks)', name)
            sizes[name] += int(m.group(2), 16)
        pending = None
    return sizes


def symbol_sizes(path):
    sizes = []
    for line in open(path, errors='replace'):
        parts = line.rstrip('\n').split(' ', 3)
        # Section names, and the bounds of .eh_frame the linker gives the 32-bit program, are no symbols of
        # their own: nm sizes them up to the next symbol.
        if len(parts) == 4 and parts[2] in 'tTrRdDbB' and not parts[3].startswith(('.', 'orv_eh_frame_')):
            sizes.append((int(parts[1], 16), parts[3]))
    return sorted(sizes, reverse=True)


def group_of(name):
    for label, pattern in GROUPS:
        if re.search(pattern, name):
            return label
    return name


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    program, payload = argv[1], int(argv[2])
    total, headers, sections, data = pe_sections(program)
    print(f'{program}: {total:,} bytes = payload {payload:,} + overhead {total - payload:,}')
    print('\nSections (bytes in the file; used bytes before the 512-byte padding)')
    print(f'  {"headers":10} {headers:9,}')
    table_at, table_size = compact_table(data, sections)
    for name, raw, used, _ in sections:
        if name == '.rdata' and table_size:  # its size in memory is that of the records the table replaced
            used = table_at + table_size
        if raw:
            note = f'  of which payload {payload:,}, the program\'s own {raw - payload:,}' if name == '.rsrc' else ''
            print(f'  {name:10} {raw:9,}  ({used:,} used){note}')
    if len(argv) > 3:
        contributors = map_contributors(argv[3])
        print(f'\nLargest contributors by object file (bytes in the image\'s sections, from the map)')
        for name, size in contributors.most_common(TOP):
            print(f'  {size:9,}  {name}')
        groups = collections.Counter()
        for name, size in contributors.items():
            # The program's own objects outside the LTO unit are the resources, counted below, and the unwinder.
            if name == 'payload resources' or (name.startswith('objects.a(') and group_of(name) == name):
                continue
            groups[name if name.startswith(('program', 'base')) else group_of(name)] += size
        groups['unwind table (compact, at the end of .rdata)'] = table_size
        groups['resources besides the payload'] = next(raw for name, raw, _, _ in sections if name == '.rsrc') - payload
        groups['headers and section padding'] = total - payload - sum(groups.values())
        print(f'\nThe overhead, all told ({total - payload:,} bytes)')
        for label, size in groups.most_common():
            print(f'  {size:9,}  {label}')
    if len(argv) > 4:
        symbols = symbol_sizes(argv[4])
        print(f'\nLargest symbols (nm --size-sort of the unstripped twin)')
        for size, name in symbols[:TOP]:
            print(f'  {size:9,}  {name[:110]}')
        strings = sum(s for s, n in symbols if re.search(r'basic_string<char', n) and re.match(r'^(std::|void std::|bool std::)', n))
        print(f'\n  {strings:9,}  std::string\'s own functions, all told (instantiated in the program)')


if __name__ == '__main__':
    main(sys.argv)
