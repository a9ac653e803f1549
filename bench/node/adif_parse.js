// Parses an ADIF file with adif-parser-ts, as a point of comparison for
// the bridge's reader. Prints the number of records.
const fs = require('fs');
const { AdifParser } = require('adif-parser-ts');

const text = fs.readFileSync(process.argv[2], 'latin1');
const parsed = AdifParser.parseAdi(text);
process.stdout.write(`${parsed.records.length} records\n`);
