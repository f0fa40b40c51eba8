// The conversion with SheetJS: the records cut up by hand, the same cells as
// zorbik-convert, written as a BIFF2 worksheet (TARGET ending in .xls) or as
// an .xlsx workbook with a first row of column names A, B, C ... (.xlsx).
// The .xlsx sheet is built dense (rows of cells), SheetJS's way for large
// sheets, and written with its default options.
//
//     node sheetjs_convert.js SHAPE.json SOURCE TARGET RECORDS
'use strict';

const fs = require('fs');
const XLSX = require('xlsx');

function bcdValue(buf, at) {
    let digits = 0;
    for (let i = 8; i >= 0; --i)
        digits = digits * 100 + (buf[at + i] >> 4) * 10 + (buf[at + i] & 15);
    const value = digits / 10 ** (buf[at + 9] & 0x7f);
    return buf[at + 9] & 0x80 ? -value : value;
}

function decimalValue(buf, at, width) {
    let end = at;
    while (end < at + width && buf[end] !== 0)
        ++end;
    return parseFloat(buf.toString('latin1', at, end).replace(',', '.'));
}

function cellValue(kind, buf, at, width) {
    switch (kind) {
    case 'text':
        return buf.toString('latin1', at, at + width);
    case 'int2':
        return buf.readUInt16LE(at);
    case 'int4': {
        const v = buf.readUInt32LE(at);
        return v <= 0xffff ? v : buf.readInt32LE(at);
    }
    case 'real4':
        return buf.readFloatLE(at);
    case 'real8':
        return buf.readDoubleLE(at);
    case 'decimal':
        return decimalValue(buf, at, width);
    case 'bcd':
        return bcdValue(buf, at);
    case 'marked':
        return String.fromCharCode(buf[at + 1], buf[at + 3]);
    }
    throw new Error('unknown field kind ' + kind);
}

function main() {
    const [shapeFile, source, target, records] = process.argv.slice(2);
    const shape = JSON.parse(fs.readFileSync(shapeFile, 'utf8'));
    const data = fs.readFileSync(source);
    const count = Math.min(Number(records), Math.floor((data.length - shape.header) / shape.length));
    const xlsx = target.endsWith('.xlsx');
    const names = xlsx ? 1 : 0;
    const rows = new Array(names + count);
    if (xlsx)
        rows[0] = shape.columns.map((column, c) => XLSX.utils.encode_col(c));
    for (let r = 0; r < count; ++r) {
        const start = shape.header + r * shape.length;
        rows[names + r] = shape.columns.map(([kind, offset, width]) => cellValue(kind, data, start + offset, width));
    }
    const book = XLSX.utils.book_new();
    XLSX.utils.book_append_sheet(book, XLSX.utils.aoa_to_sheet(rows, {dense: xlsx}), 'Sheet1');
    XLSX.writeFile(book, target, {bookType: xlsx ? 'xlsx' : 'biff2'});
}

main();
