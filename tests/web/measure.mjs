// Not a test: the figures of the page in headless Chromium. The time from opening
// build/web/index.html (a file URL) to data-ready, over several loads; for a file of each order
// in LINEQ_DROP_ORDERS (default 300 1000 3000; empty for none), dropped LINEQ_DROP_RUNS times
// (default 3), the time until the window answers again, the page's longest task meanwhile and
// the memory it then holds; how long a Calculate holds the page's one thread, for each choice
// of method, on a dropped system of each order in LINEQ_HOLD_ORDERS (default 1000; empty for
// none); for a system of each order in LINEQ_VIEW_ORDERS (default 3000; empty for none), solved
// by both methods, the accuracy view's opening and Save System's download, each with the page's
// longest task meanwhile; for a system of each order in LINEQ_REFINE_ORDERS (default 300; empty
// for none), solved by both methods, Refine Solution and then Compute Exact Solution from the
// accuracy view, each until the view is shown again; and the solvers' speed in the browser
// (lineq_timing.js of the web build).
//
// usage: node measure.mjs [LOADS] [TIMING_JS]
import { mkdtemp, readFile, rm, stat, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";

import { spdText } from "../support/systemTexts.mjs";
import { launchChromium, openWindow, pageUrl } from "./browser.mjs";
import { dropAndMeasure, median, readyTime, systemFile } from "./measuring.mjs";

const loads = Number(process.argv[2] ?? 15);
const timingJs = process.argv[3];
const holdOrders = (process.env.LINEQ_HOLD_ORDERS ?? "1000").split(/[ ,]+/).filter(Boolean)
    .map(Number);
const holdRuns = 9;
const dropOrders = (process.env.LINEQ_DROP_ORDERS ?? "300 1000 3000").split(/[ ,]+/)
    .filter(Boolean).map(Number);
const dropRuns = Number(process.env.LINEQ_DROP_RUNS ?? 3);
const viewOrders = (process.env.LINEQ_VIEW_ORDERS ?? "3000").split(/[ ,]+/).filter(Boolean)
    .map(Number);
const viewRuns = 3;
const refineOrders = (process.env.LINEQ_REFINE_ORDERS ?? "300").split(/[ ,]+/).filter(Boolean)
    .map(Number);

// The highest resident memory of any of the browser's renderers that are running, in bytes
// (Linux): a tab's renderer holds its page and its Workers.
async function rendererPeak(chromium) {
    const { execFileSync } = await import("node:child_process");
    const pids = execFileSync("pgrep", ["-P", String(chromium.browser.process().pid)],
        { encoding: "utf8" }).split("\n").filter(Boolean);
    let peak = 0;
    const visit = async (pid) => {
        const status = await readFile(`/proc/${pid}/status`, "utf8").catch(() => "");
        const cmdline = await readFile(`/proc/${pid}/cmdline`, "utf8").catch(() => "");
        const hwm = Number(/VmHWM:\s+(\d+) kB/.exec(status)?.[1] ?? 0) * 1024;
        if (cmdline.includes("--type=renderer"))
            peak = Math.max(peak, hwm);
        let children = [];
        try {
            children = execFileSync("pgrep", ["-P", pid], { encoding: "utf8" }).split("\n")
                .filter(Boolean);
        } catch {
        }
        for (const child of children)
            await visit(child);
    };
    for (const pid of pids)
        await visit(pid);
    return peak;
}

// From now on, the page's longest task (window.lineqLongest), as the browser's long-task timing
// reports every task over 50 ms.
async function watchLongTasks(w) {
    await w.page.evaluate(() => {
        window.lineqLongest = 0;
        window.lineqObserver?.disconnect();
        window.lineqObserver = new PerformanceObserver((list) => {
            for (const entry of list.getEntries())
                window.lineqLongest = Math.max(window.lineqLongest, entry.duration);
        });
        window.lineqObserver.observe({ type: "longtask" });
    });
}

// The longest task of each Calculate, as the browser's long-task timing reports it (every
// task over 50 ms), and the time from the click to the end of the command: no box is shown
// for this system, so both are the whole Calculate.
async function calculateHold(w, option) {
    await w.click(option);
    const longest = [];
    const whole = [];
    for (let run = 0; run < holdRuns; ++run) {
        await watchLongTasks(w);
        await w.page.evaluate(() => {
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
    return [median(longest), Math.min(...longest), median(whole)];
}

// From `press` to `done` and the next frame painted, and the page's longest task meanwhile
// (0: none over 50 ms).
async function keyToDone(w, press, done) {
    await watchLongTasks(w);
    await w.page.evaluate(() => {
        window.lineqFrom = performance.now();
    });
    await press();
    await done();
    const ms = await w.page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() =>
        setTimeout(() => resolve(performance.now() - window.lineqFrom)))));
    // A long task is reported once it has ended, in a later task.
    await w.page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 100)));
    return [ms, await w.page.evaluate(() => window.lineqLongest)];
}

async function chord(w, modifier, key) {
    await w.page.keyboard.down(modifier);
    await w.page.keyboard.press(key);
    await w.page.keyboard.up(modifier);
}

// A window with the seeded system of order n dropped on it and solved by both methods.
async function solvedByBoth(n) {
    const w = await openWindow(chromium);
    await w.dropFile(await systemFile(n));
    await w.idle(300_000);
    await w.click("Option1_1");
    await w.click("Start");
    await w.idle(300_000);
    return w;
}

const chromium = await launchChromium();
try {
    const times = [];
    for (let i = 0; i < loads; ++i) {
        times.push(await readyTime(chromium, pageUrl));
    }
    console.log(`data-ready from a file URL over ${loads} loads: median ${median(times).toFixed(0)} ms, ` +
        `first ${times[0].toFixed(0)} ms, range ${Math.min(...times).toFixed(0)}-` +
        `${Math.max(...times).toFixed(0)} ms`);

    const mb = (bytes) => `${(bytes / 2 ** 20).toFixed(0)} MiB`;
    for (const n of dropOrders) {
        const file = await systemFile(n);
        const runs = [];
        for (let run = 0; run < dropRuns; ++run) {
            const w = await openWindow(chromium);
            const result = await dropAndMeasure(w, file);
            if (result.order !== String(n))
                throw new Error(`the dropped system of order ${n} was not read: ${result.order}`);
            // Before the tab closes, its renderer (with the reading Worker) is still there.
            result.peak = await rendererPeak(chromium);
            runs.push(result);
            await w.close();
        }
        const ms = runs.map((r) => r.ms);
        const longest = runs.map((r) => r.longest);
        console.log(`drop of ${n} equations (${((await stat(file)).size / 1e6).toFixed(1)} MB) to ` +
            `answer: median ${median(ms).toFixed(0)} ms (${Math.min(...ms).toFixed(0)}-` +
            `${Math.max(...ms).toFixed(0)} ms over ${dropRuns}); longest task median ` +
            `${median(longest).toFixed(0)} ms (at most ${Math.max(...longest).toFixed(0)}; 0: none ` +
            `over 50 ms); the page's WebAssembly memory ${mb(runs[0].wasm)}, its JavaScript heap ` +
            `${mb(runs[0].js)}, the renderer's highest resident memory ` +
            `${mb(Math.max(...runs.map((r) => r.peak)))}`);
    }

    for (const n of holdOrders) {
        const w = await openWindow(chromium);
        const readFrom = Date.now();
        await w.drop([], spdText(n));
        await w.idle(300_000);
        console.log(`n = ${n}: dropped and read in ${Date.now() - readFrom} ms`);
        for (const [option, name] of [["Option1_0", "Gauss"], ["Option1_2", "Cholesky"],
            ["Option1_1", "both"]]) {
            const [task, least, total] = await calculateHold(w, option);
            console.log(`Calculate, ${name}, n = ${n}: longest task ${task.toFixed(0)} ms ` +
                `(least ${least.toFixed(0)} ms), click to done ${total.toFixed(0)} ms ` +
                `(medians of ${holdRuns})`);
        }
        await w.close();
    }

    for (const n of viewOrders) {
        const w = await solvedByBoth(n);
        for (let run = 0; run < viewRuns; ++run) {
            await w.page.focus("#display");
            const [viewMs, viewTask] = await keyToDone(w, () => chord(w, "Control", "KeyI"),
                () => w.page.waitForSelector("#accuracyView[open]"));
            // To the last unknown, whose row is then written and shown.
            const [scrollMs, scrollTask] = await keyToDone(w, () => w.page.$eval(
                "#accuracyView .side", (side) => { side.scrollTop = side.scrollHeight; }),
            () => w.page.waitForFunction((last) => [...document.querySelectorAll(
                "#accuracyView table.comparison th")].some((th) => th.textContent === last),
            {}, `x${n}`));
            await w.page.keyboard.press("Escape");
            await w.idle();
            const dir = await mkdtemp(path.join(tmpdir(), "lineq-measure-save-"));
            let saved;
            const [saveMs, saveTask] = await keyToDone(w, () => {}, async () => {
                saved = await w.download(() => chord(w, "Control", "KeyS"), dir);
            });
            const bytes = (await stat(saved)).size;
            await rm(dir, { recursive: true });
            console.log(`n = ${n}: the accuracy view shown in ${viewMs.toFixed(0)} ms, longest ` +
                `task ${viewTask.toFixed(0)} ms; scrolled to x${n} in ${scrollMs.toFixed(0)} ms, ` +
                `longest task ${scrollTask.toFixed(0)} ms; Save System ` +
                `(${(bytes / 1e6).toFixed(0)} MB) downloaded in ${saveMs.toFixed(0)} ms, longest ` +
                `task ${saveTask.toFixed(0)} ms (0: none over 50 ms)`);
        }
        await w.close();
    }

    // A view's button of long work closes the view; it is shown again once the work has ended.
    const viewAgainAfter = async (w, command) => {
        const serial = await w.page.$eval("#accuracyView", (d) => d.dataset.serial);
        return keyToDone(w, () => w.page.$eval(`#accuracyView button.${command}`,
            (button) => button.click()), () => w.page.waitForSelector(
            `#accuracyView[open]:not([data-serial="${serial}"])`, { timeout: 600_000 }));
    };
    for (const n of refineOrders) {
        const w = await solvedByBoth(n);
        await w.page.focus("#display");
        await chord(w, "Control", "KeyI");
        await w.page.waitForSelector("#accuracyView[open]");
        const [refineMs] = await viewAgainAfter(w, "refineSolution");
        const [exactMs] = await viewAgainAfter(w, "computeExact");
        const status = await w.page.$eval("#accuracyView .text", (text) =>
            text.value.match(/Refined solution, [^\n]*/g)?.join("; "));
        console.log(`n = ${n}, both methods: Refine Solution ${refineMs.toFixed(0)} ms ` +
            `(${status}), Compute Exact Solution ${exactMs.toFixed(0)} ms`);
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
