#!/usr/bin/env python3
"""Reads an .xls workbook back with xlrd and prints it as JSON.

    read_xls.py FILE            every cell of every sheet
    read_xls.py FILE --summary  per sheet: row count, header, first and last row,
                                the sum of the first column

Besides xlrd's reading, the compound file and the record stream are checked more
strictly than xlrd does (Excel is strict); what is wrong is listed in "problems".
Cells are null (empty), or {"t": kind, "v": value} with kind text, number, date
(ISO text; "serial" instead of "v" before March 1900), bool or error; header cells in a bold font carry "bold": true.
"""
import json
import struct
import sys

import xlrd

FREE, END, FATSECT, DIFSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFC


def check_compound_file(data, problems):
    """Returns the Workbook stream, checking the structure on the way."""
    if data[:8] != bytes.fromhex('D0CF11E0A1B11AE1'):
        problems.append('bad signature')
        return b''
    (minor, major, order, shift, mini_shift) = struct.unpack_from('<5H', data, 24)
    (dir_secs, fat_secs, dir_start, _, cutoff, minifat_start, minifat_secs,
     difat_start, difat_secs) = struct.unpack_from('<9I', data, 40)
    if (major, order, shift, mini_shift, cutoff) != (3, 0xFFFE, 9, 6, 4096):
        problems.append('header fields %r' % ((major, order, shift, mini_shift, cutoff),))
    if dir_secs != 0:
        problems.append('directory sector count must be 0 in version 3')
    if (len(data) - 512) % 512:
        problems.append('file size is not a whole number of sectors')
    nsec = (len(data) - 512) // 512

    def sector(i):
        return data[512 + 512 * i: 1024 + 512 * i]

    fat_ids = [x for x in struct.unpack_from('<109I', data, 76)]
    header_used = [x for x in fat_ids if x != FREE]
    if header_used != fat_ids[:len(header_used)]:
        problems.append('gaps in the header DIFAT')
    fat_ids = header_used
    difat_ids = []
    nxt = difat_start
    while nxt != END and len(difat_ids) <= difat_secs:
        if nxt >= nsec:
            problems.append('DIFAT sector %d beyond the file' % nxt)
            break
        difat_ids.append(nxt)
        entries = struct.unpack('<128I', sector(nxt))
        fat_ids += [x for x in entries[:127] if x != FREE]
        nxt = entries[127]
    if len(difat_ids) != difat_secs:
        problems.append('DIFAT chain has %d sectors, header says %d' % (len(difat_ids), difat_secs))
    if len(fat_ids) != fat_secs:
        problems.append('%d FAT sectors listed, header says %d' % (len(fat_ids), fat_secs))
    if fat_secs > 109 and difat_secs == 0:
        problems.append('more than 109 FAT sectors without DIFAT sectors')

    fat = []
    for s in fat_ids:
        if s >= nsec:
            problems.append('FAT sector %d beyond the file' % s)
            return b''
        fat += struct.unpack('<128I', sector(s))
    if len(fat) < nsec:
        problems.append('FAT does not cover every sector')
        return b''
    for s in fat_ids:
        if fat[s] != FATSECT:
            problems.append('FAT sector %d not marked as such' % s)
    for s in difat_ids:
        if fat[s] != DIFSECT:
            problems.append('DIFAT sector %d not marked as such' % s)

    owner = {}

    def chain(start, what):
        out, s = [], start
        while s != END:
            if s >= nsec or s in owner:
                problems.append('%s chain broken or shared at sector %d' % (what, s))
                break
            owner[s] = what
            out.append(s)
            s = fat[s]
        return out

    dir_chain = chain(dir_start, 'directory')
    directory = b''.join(sector(s) for s in dir_chain)
    entries = []
    for i in range(len(directory) // 128):
        e = directory[128 * i: 128 * i + 128]
        name_len = struct.unpack_from('<H', e, 64)[0]
        name = e[:max(0, name_len - 2)].decode('utf-16-le')
        kind = e[66]
        left, right, child = struct.unpack_from('<3I', e, 68)
        start, size = struct.unpack_from('<IQ', e, 116)
        entries.append((name, kind, left, right, child, start, size))
    if not entries or entries[0][0] != 'Root Entry' or entries[0][1] != 5:
        problems.append('first directory entry is not the root')
        return b''
    if minifat_secs != 0 or minifat_start != END or entries[0][5] != END:
        problems.append('unexpected mini stream')
    child = entries[0][4]
    if child >= len(entries) or entries[child][0] != 'Workbook' or entries[child][1] != 2:
        problems.append('root has no Workbook stream')
        return b''
    _, _, _, _, _, start, size = entries[child]
    if size < 4096:
        problems.append('Workbook stream below the mini stream cut-off')
    sectors = chain(start, 'Workbook')
    if len(sectors) != (size + 511) // 512:
        problems.append('Workbook chain has %d sectors for %d bytes' % (len(sectors), size))
    for s in range(nsec):
        if fat[s] not in (FREE, FATSECT, DIFSECT) and s not in owner:
            problems.append('sector %d in use but in no chain' % s)
            break
    return b''.join(sector(s) for s in sectors)[:size]


def check_extsst(stream, sst_records, extsst, problems):
    """The EXTSST entries must point at every dsst-th string of the SST."""
    starts = []  # (stream position, offset from its record's header) of each string
    (unique,) = struct.unpack_from('<I', stream, sst_records[0][0] + 8)
    rec, pos = 0, sst_records[0][0] + 12

    def record_end():
        return sst_records[rec][0] + 4 + sst_records[rec][1]

    for _ in range(unique):
        if pos >= record_end():
            rec += 1
            pos = sst_records[rec][0] + 4
        starts.append((pos, pos - sst_records[rec][0]))
        cch, flags = struct.unpack_from('<HB', stream, pos)
        pos += 3
        runs = struct.unpack_from('<H', stream, pos)[0] if flags & 8 else 0
        ext = struct.unpack_from('<I', stream, pos + (2 if flags & 8 else 0))[0] if flags & 4 else 0
        pos += (2 if flags & 8 else 0) + (4 if flags & 4 else 0)
        left = cch
        while True:
            size = 2 if flags & 1 else 1
            n = min(left, (record_end() - pos) // size)
            pos += n * size
            left -= n
            if not left:
                break
            rec += 1
            pos = sst_records[rec][0] + 4
            flags = stream[pos]
            pos += 1
        pos += 4 * runs + ext
    if extsst is None:
        return
    (dsst,) = struct.unpack_from('<H', stream, extsst[0] + 4)
    entries = [struct.unpack_from('<IH', stream, extsst[0] + 6 + 8 * i)
               for i in range((extsst[1] - 2) // 8)]
    if dsst < 8 or entries != starts[::dsst]:
        problems.append('EXTSST does not match the SST')


def check_records(stream, problems):
    """Walks the BIFF records; returns how many CONTINUE records follow the SST."""
    pos, continues, after_sst = 0, 0, False
    sheet_offsets, bofs = [], set()
    sst_records, extsst = [], None
    while pos + 4 <= len(stream):
        rtype, length = struct.unpack_from('<HH', stream, pos)
        if rtype == 0 and length == 0 and not any(stream[pos:]):
            break  # padding after the last sheet
        if rtype == 0x00FC or (rtype == 0x003C and after_sst):
            sst_records.append((pos, length))
        elif rtype == 0x00FF:
            extsst = (pos, length)
        if length > 8224:
            problems.append('record 0x%04X at %d is %d bytes long' % (rtype, pos, length))
        if rtype == 0x0809:
            bofs.add(pos)
            if struct.unpack_from('<H', stream, pos + 4)[0] != 0x0600:
                problems.append('BOF at %d is not BIFF8' % pos)
        elif rtype == 0x0085:
            sheet_offsets.append(struct.unpack_from('<I', stream, pos + 4)[0])
        if rtype == 0x00FC:
            after_sst = True
        elif rtype == 0x003C and after_sst:
            continues += 1
        else:
            after_sst = False
        pos += 4 + length
    if sst_records:
        check_extsst(stream, sst_records, extsst, problems)
    for off in sheet_offsets:
        if off not in bofs:
            problems.append('sheet offset %d does not point at a BOF' % off)
    return continues


def cell_json(book, sheet, r, c, formatting):
    cell = sheet.cell(r, c)
    t = cell.ctype
    if t in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return None
    if t == xlrd.XL_CELL_TEXT:
        out = {'t': 'text', 'v': cell.value}
    elif t == xlrd.XL_CELL_NUMBER:
        out = {'t': 'number', 'v': cell.value}
    elif t == xlrd.XL_CELL_DATE:
        try:
            y, mo, d, h, mi, s = xlrd.xldate_as_tuple(cell.value, book.datemode)
        except xlrd.xldate.XLDateAmbiguous:  # before March 1900
            return {'t': 'date', 'serial': cell.value}
        iso = '%04d-%02d-%02d' % (y, mo, d)
        if (h, mi, s) != (0, 0, 0):
            iso += 'T%02d:%02d:%02d' % (h, mi, s)
        out = {'t': 'date', 'v': iso}
    elif t == xlrd.XL_CELL_BOOLEAN:
        out = {'t': 'bool', 'v': bool(cell.value)}
    else:
        out = {'t': 'error', 'v': xlrd.error_text_from_code.get(cell.value, cell.value)}
    if formatting:
        font = book.font_list[book.xf_list[cell.xf_index].font_index]
        if font.weight >= 700:
            out['bold'] = True
    return out


def main():
    path = sys.argv[1]
    summary = '--summary' in sys.argv[2:]
    with open(path, 'rb') as f:
        data = f.read()
    problems = []
    stream = check_compound_file(data, problems)
    continues = check_records(stream, problems)
    header_difat = struct.unpack_from('<I', data, 72)[0]
    book = xlrd.open_workbook(file_contents=data, formatting_info=not summary,
                              logfile=sys.stderr)
    sheets = []
    for sheet in book.sheets():
        def row(r):
            return [cell_json(book, sheet, r, c, not summary) for c in range(sheet.ncols)]
        entry = {'name': sheet.name, 'nrows': sheet.nrows, 'ncols': sheet.ncols}
        if summary:
            entry['header'] = row(0) if sheet.nrows else []
            entry['first'] = row(1) if sheet.nrows > 1 else []
            entry['last'] = row(sheet.nrows - 1) if sheet.nrows > 1 else []
            entry['sum0'] = sum(sheet.cell_value(r, 0) for r in range(1, sheet.nrows))
        else:
            entry['rows'] = [row(r) for r in range(sheet.nrows)]
        sheets.append(entry)
    json.dump({'sheets': sheets, 'problems': problems, 'sst_continues': continues,
               'difat_sectors': header_difat}, sys.stdout, ensure_ascii=False)


if __name__ == '__main__':
    main()
