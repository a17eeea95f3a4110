// Wraps the exact module's text in a script that hands it to the page: a page opened from a
// file can start a Worker only from a Blob URL, never from a script's name. The page loads
// the wrapped script when the exact solution is first asked for.
//
// usage: node embed.mjs MODULE_JS OUTPUT_JS [RECEIVER]   (RECEIVER: lineqExact unless named)
import { readFile, writeFile } from "node:fs/promises";

const [moduleJs, output, receiver = "lineqExact"] = process.argv.slice(2);
const text = await readFile(moduleJs, "utf8");
await writeFile(output, `${receiver}.moduleLoaded(${JSON.stringify(text)});\n`);
