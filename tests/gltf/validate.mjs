// Runs the Khronos glTF validator over each file named on the command line (.glb or .gltf with
// its resources beside it). Prints each file's counts and every error; exits 1 when any file
// has an error or cannot be read.
//
// usage: node validate.mjs NODE_MODULES_PARENT FILE...

import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import path from 'node:path';

const [modulesParent, ...files] = process.argv.slice(2);
if (!modulesParent || files.length === 0) {
    console.error('usage: node validate.mjs NODE_MODULES_PARENT FILE...');
    process.exit(2);
}
let validator;
try {
    validator = createRequire(path.join(path.resolve(modulesParent), 'package.json'))('gltf-validator');
} catch (e) {
    console.error(`the gltf-validator package is not installed under ${modulesParent}: ${e.message}`);
    process.exit(1);
}

let failed = false;
for (const file of files) {
    try {
        const bytes = new Uint8Array(await readFile(file));
        const report = await validator.validateBytes(bytes, {
            uri: path.basename(file),
            maxIssues: 0,
            externalResourceFunction: (uri) =>
                readFile(path.join(path.dirname(file), decodeURIComponent(uri))).then(
                    (data) => new Uint8Array(data)),
        });
        const issues = report.issues;
        console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                    `${issues.numInfos} infos, ${issues.numHints} hints`);
        for (const message of issues.messages) {
            if (message.severity <= 1) {
                console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} ` +
                            `${message.pointer ?? ''}: ${message.message}`);
            }
        }
        if (issues.numErrors > 0) failed = true;
    } catch (e) {
        console.log(`${file}: cannot be validated: ${e.message ?? e}`);
        failed = true;
    }
}
process.exit(failed ? 1 : 0);
