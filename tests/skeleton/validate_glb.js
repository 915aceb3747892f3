// Validates .glb files with the Khronos glTF validator: one line per file with its issues
// counted, and each error or warning under it; ends with 1 when any file has an error or
// a warning, 2 when the arguments are wrong.
//   node tests/skeleton/validate_glb.js VALIDATOR-MODULE-PATH FILE.glb...
// e.g. VALIDATOR-MODULE-PATH build/validator/node_modules/gltf-validator, installed there
// with `npm install --prefix build/validator gltf-validator`.
'use strict';
const fs = require('fs');
const path = require('path');

async function main(args) {
  if (args.length < 2) {
    console.error('usage: node validate_glb.js VALIDATOR-MODULE-PATH FILE.glb...');
    return 2;
  }
  const validator = require(path.resolve(args[0]));
  let failed = false;
  for (const file of args.slice(1)) {
    let report;
    try {
      report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 0,
      });
    } catch (error) {
      console.log(`${file}: not validated: ${error}`);
      failed = true;
      continue;
    }
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints`);
    for (const message of issues.messages) {
      // Severity 0 is an error, 1 a warning.
      if (message.severity <= 1) console.log(`  ${message.code} ${message.pointer || ''}: ${message.message}`);
    }
    if (issues.numErrors > 0 || issues.numWarnings > 0) failed = true;
  }
  return failed ? 1 : 0;
}

main(process.argv.slice(2)).then((status) => { process.exitCode = status; });
