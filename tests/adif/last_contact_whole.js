// Reads each record file given with adif-parser-ts, another program's ADIF
// reader, and checks that its last contact came through whole: the fields
// of a line torn before it never run into it.
const fs = require('fs');
const { AdifParser } = require('adif-parser-ts');

const want = {
  call: 'W3NXT', qso_date: '20261207', time_on: '063100', mode: 'FT8',
  app_plovikbridge_taken_date: '20261207', app_plovikbridge_taken_time: '063100',
};
let bad = 0;
for (const file of process.argv.slice(2)) {
  let records;
  try {
    records = AdifParser.parseAdi(fs.readFileSync(file, 'latin1')).records;
  } catch (error) {
    if (bad++ < 3) console.log(`${file}: ${error.message}`);
    continue;
  }
  const last = records[records.length - 1] || {};
  const got = Object.fromEntries(Object.entries(last).map(([k, v]) => [k.toLowerCase(), v]));
  if (JSON.stringify(got) !== JSON.stringify(want)) {
    if (bad++ < 3) console.log(`${file}: ${JSON.stringify(got)}`);
  }
}
console.log(`${process.argv.length - 2} records read, ${bad} with the last contact not whole`);
process.exit(bad === 0 && process.argv.length > 2 ? 0 : 1);
