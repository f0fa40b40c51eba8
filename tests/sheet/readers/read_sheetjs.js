// Reads the worksheets of the corpus with SheetJS (npm "xlsx").
//
//     node read_sheetjs.js NODE_MODULES CORPUSDIR OUT.json
//
// Numbers are handed on as the bytes of their double, so that NaN, the
// infinities and -0 survive JSON.
'use strict';
const fs = require('fs');
const path = require('path');

const [nodeModules, corpus, out] = process.argv.slice(2);
const XLSX = require(path.resolve(nodeModules, 'xlsx'));

function doubleBits(v) {
  const view = new DataView(new ArrayBuffer(8));
  view.setFloat64(0, v, true);
  return Buffer.from(view.buffer).toString('hex');
}

function read(file) {
  const wb = XLSX.readFile(file, {raw: true, cellDates: false});
  const ws = wb.Sheets[wb.SheetNames[0]];
  if (!ws['!ref'])
    return {rows: 0, cols: 0, cells: []};
  const range = XLSX.utils.decode_range(ws['!ref']);
  const rows = [];
  for (let r = 0; r <= range.e.r; ++r) {
    const row = [];
    for (let c = 0; c <= range.e.c; ++c) {
      const cell = ws[XLSX.utils.encode_cell({r, c})];
      if (!cell)
        row.push(['e', '']);
      else if (cell.t === 's')
        row.push(['s', cell.v]);
      else if (cell.t === 'n')
        row.push(['n', doubleBits(cell.v)]);
      else
        row.push(['?', `SheetJS cell type ${cell.t}: ${String(cell.v)}`]);
    }
    rows.push(row);
  }
  return {rows: range.e.r + 1, cols: range.e.c + 1, cells: rows};
}

const expected = JSON.parse(fs.readFileSync(path.join(corpus, 'expected.json'), 'utf8'));
const result = {};
for (const name of Object.keys(expected)) {
  try {
    result[name] = read(path.join(corpus, name + '.xls'));
  } catch (error) {
    result[name] = {error: String(error)};
  }
}
fs.writeFileSync(out, JSON.stringify(result));
