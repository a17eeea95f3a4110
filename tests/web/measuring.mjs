// What measure.mjs and compare.mjs both measure of a page in headless Chromium: the time to
// data-ready from its file URL, and a seeded system's file dropped on its window.
import { stat, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";

import { spdText } from "../support/systemTexts.mjs";

export // The seeded system of order n as a file, written once into the scratch folder and kept for
// later runs (3000 equations are 184 MB).
async function systemFile(n) {
    const file = path.join(tmpdir(), `lineq-measure-spd-${n}.txt`);
    try {
        await stat(file);
    } catch {
        await writeFile(file, spdText(n));
    }
    return file;
}

// Drops `file` on the window as a file from outside would come (a File of the test's own file
// input, which handles nothing), and measures from the drop until the window has answered and
// painted: the time, the page's longest task meanwhile (as the browser's long-task timing
// reports every task over 50 ms), and the memory then held.
export async function dropAndMeasure(w, file) {
    await w.page.evaluate(() => {
        document.getElementById("measureFile")?.remove();
        document.body.append(Object.assign(document.createElement("input"),
            { type: "file", id: "measureFile", hidden: true }));
    });
    await (await w.page.$("#measureFile")).uploadFile(file);
    return w.page.evaluate(() => new Promise((resolve) => {
        const [dropped] = document.getElementById("measureFile").files;
        const dataTransfer = new DataTransfer();
        dataTransfer.items.add(dropped);
        let longest = 0;
        const observer = new PerformanceObserver((list) => {
            for (const entry of list.getEntries())
                longest = Math.max(longest, entry.duration);
        });
        observer.observe({ type: "longtask" });
        const start = performance.now();
        for (const type of ["dragenter", "dragover", "drop"])
            document.getElementById("display").dispatchEvent(
                new DragEvent(type, { dataTransfer, bubbles: true, cancelable: true }));
        const answered = () => {
            if ("busy" in document.documentElement.dataset)
                return setTimeout(answered, 2);
            requestAnimationFrame(() => setTimeout(() => {
                const ms = performance.now() - start;
                // A long task is reported once it has ended, in a later task.
                setTimeout(() => {
                    observer.disconnect();
                    resolve({ ms, longest, order: document.getElementById("Textn").value,
                        wasm: HEAP8.length, js: performance.memory?.usedJSHeapSize ?? 0 });
                }, 100);
            }));
        };
        answered();
    }));
}

// From the start of a fresh tab's navigation to `url` until the page marks itself ready, in
// milliseconds.
export async function readyTime(chromium, url) {
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
    await page.goto(url);
    await page.waitForFunction(() => window.lineqReadyAt !== undefined, { timeout: 30_000 });
    const ms = await page.evaluate(() => window.lineqReadyAt);
    await page.close();
    return ms;
}

export function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}
