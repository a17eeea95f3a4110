// Not a test: the figures of the page in headless Chromium. The time from opening
// build/web/index.html (a file URL) to data-ready, over several loads; how long a Calculate
// holds the page's one thread, for each choice of method, on a dropped system of each order
// in LINEQ_HOLD_ORDERS (default 1000; empty for none); and the solvers' speed in the browser
// (lineq_timing.js of the web build).
//
// usage: node measure.mjs [LOADS] [TIMING_JS]
import { writeFile } from "node:fs/promises";
import path from "node:path";
import { pathToFileURL } from "node:url";

import { spdText } from "../support/systemTexts.mjs";
import { launchChromium, openWindow, pageUrl } from "./browser.mjs";

const loads = Number(process.argv[2] ?? 15);
const timingJs = process.argv[3];
const holdOrders = (process.env.LINEQ_HOLD_ORDERS ?? "1000").split(/[ ,]+/).filter(Boolean)
    .map(Number);
const holdRuns = 5;

// The longest task of each Calculate, as the browser's long-task timing reports it (every
// task over 50 ms), and the time from the click to the end of the command: no box is shown
// for this system, so both are the whole Calculate.
async function calculateHold(w, option) {
    await w.click(option);
    const longest = [];
    const whole = [];
    for (let run = 0; run < holdRuns; ++run) {
        await w.page.evaluate(() => {
            window.lineqLongest = 0;
            window.lineqObserver?.disconnect();
            window.lineqObserver = new PerformanceObserver((list) => {
                for (const entry of list.getEntries())
                    window.lineqLongest = Math.max(window.lineqLongest, entry.duration);
            });
            window.lineqObserver.observe({ type: "longtask" });
            const start = document.getElementById("Start");
            start.addEventListener("click", () => {
                window.lineqClickAt = performance.now();
                new MutationObserver((_, observer) => {
                    if (!("busy" in document.documentElement.dataset)) {
                        window.lineqDoneAt = performance.now();
                        observer.disconnect();
                    }
                }).observe(document.documentElement, { attributeFilter: ["data-busy"] });
            }, { once: true, capture: true });
        });
        await w.click("Start");
        await w.idle(300_000);
        // The long task is reported once it has ended, in a later task.
        await w.page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 100)));
        const [task, total] = await w.page.evaluate(
            () => [window.lineqLongest, window.lineqDoneAt - window.lineqClickAt]);
        if (!(await w.noBoxOpen()))
            throw new Error("a box was shown: the measured system must solve without one");
        longest.push(task);
        whole.push(total);
    }
    return [median(longest), median(whole)];
}

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

    for (const n of holdOrders) {
        const w = await openWindow(chromium);
        const readFrom = Date.now();
        await w.drop([], spdText(n));
        await w.idle(300_000);
        console.log(`n = ${n}: dropped and read in ${Date.now() - readFrom} ms`);
        for (const [option, name] of [["Option1_0", "Gauss"], ["Option1_2", "Cholesky"],
            ["Option1_1", "both"]]) {
            const [task, total] = await calculateHold(w, option);
            console.log(`Calculate, ${name}, n = ${n}: longest task ${task.toFixed(0)} ms, ` +
                `click to done ${total.toFixed(0)} ms (median of ${holdRuns})`);
        }
        await w.close();
    }

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
