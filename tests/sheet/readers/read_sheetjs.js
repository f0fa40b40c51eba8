// Reads worksheets with SheetJS (npm "xlsx", installed next to this file)
// and prints their cells as JSON: per file the rows, per row the cells as
// [kind, value], numbers as the bytes of their double so that NaN, the
// infinities and -0 survive JSON.
//
//     node read_sheetjs.js FILE...
'use strict';
const XLSX = require('xlsx');

function doubleBits(v) {
  const bytes = Buffer.alloc(8);
  bytes.writeDoubleLE(v);
  return bytes.toString('hex');
}

const sheets = process.argv.slice(2).map((file) => {
  const wb = XLSX.readFile(file, {raw: true, cellDates: false});
  const ws = wb.Sheets[wb.SheetNames[0]];
  const range = XLSX.utils.decode_range(ws['!ref'] || 'A1');
  const rows = [];
  for (let r = 0; r <= range.e.r; ++r) {
    const row = [];
    for (let c = 0; c <= range.e.c; ++c) {
      const cell = ws[XLSX.utils.encode_cell({r, c})];
      row.push(!cell ? ['e', ''] : cell.t === 'n' ? ['n', doubleBits(cell.v)] : [cell.t, String(cell.v)]);
    }
    rows.push(row);
  }
  return rows;
});
process.stdout.write(JSON.stringify(sheets));
