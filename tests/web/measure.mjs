// Not a test: the figures of the page in headless Chromium. The time from opening
// build/web/index.html (a file URL) to data-ready, over several loads, and the solvers' speed
// in the browser (lineq_timing.js of the web build).
//
// usage: node measure.mjs [LOADS] [TIMING_JS]
import { writeFile } from "node:fs/promises";
import path from "node:path";
import { pathToFileURL } from "node:url";

import { launchChromium, pageUrl } from "./browser.mjs";

const loads = Number(process.argv[2] ?? 15);
const timingJs = process.argv[3];

function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

const chromium = await launchChromium();
try {
    const times = [];
    for (let i = 0; i < loads; ++i) {
        const page = await chromium.browser.newPage();
        // When the page marks itself ready, in milliseconds from the start of the navigation.
        await page.evaluateOnNewDocument(() => {
            new MutationObserver((_, observer) => {
                if (document.documentElement?.dataset.ready === "true") {
                    window.lineqReadyAt = performance.now();
                    observer.disconnect();
                }
            }).observe(document, { attributes: true, subtree: true, attributeFilter: ["data-ready"] });
        });
        await page.goto(pageUrl);
        await page.waitForFunction(() => window.lineqReadyAt !== undefined, { timeout: 30_000 });
        times.push(await page.evaluate(() => window.lineqReadyAt));
        await page.close();
    }
    console.log(`data-ready from a file URL over ${loads} loads: median ${median(times).toFixed(0)} ms, ` +
        `first ${times[0].toFixed(0)} ms, range ${Math.min(...times).toFixed(0)}-` +
        `${Math.max(...times).toFixed(0)} ms`);

    if (timingJs) {
        const harness = path.join(path.dirname(timingJs), "timing.html");
        await writeFile(harness, `<!DOCTYPE html><meta charset="utf-8"><title>timing</title>
<script>var lineqOutput = []; var Module = { arguments: ["500", "1000", "--runs", "7"],
print: (line) => lineqOutput.push(line), printErr: (line) => lineqOutput.push(line) };</script>
<script src="${path.basename(timingJs)}"></script>`);
        const page = await chromium.browser.newPage();
        await page.goto(pathToFileURL(harness).href);
        await page.waitForFunction(() => lineqOutput.some((line) => line.startsWith("n 1000")),
            { timeout: 300_000, polling: 500 });
        console.log("Chromium: " + (await page.evaluate(() => lineqOutput.join("\n"))));
        await page.close();
    }
} finally {
    await chromium.close();
}
