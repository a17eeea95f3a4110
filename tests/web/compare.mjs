// Not a test: builds of the page side by side in one headless Chromium, measured in alternated
// rounds, so that a difference between them is the pages' and not the machine's
// (scripts/web-compare builds an earlier commit's page for it). Each round opens each page once
// and waits for data-ready, then drops each order of LINEQ_DROP_ORDERS (default 300 1000 3000;
// empty for none) on a fresh window of each page; the pages' order turns from round to round.
// Prints the medians over the rounds, and each measurement's range.
//
// usage: node compare.mjs ROUNDS DIR[=LABEL]...   (the first the earliest)
import { execFileSync } from "node:child_process";
import path from "node:path";
import { pathToFileURL } from "node:url";

import { launchChromium, openWindow } from "./browser.mjs";
import { dropAndMeasure, median, readyTime, systemFile } from "./measuring.mjs";

const rounds = Number(process.argv[2]);
const pages = process.argv.slice(3).map((arg) => {
    const [dir, label = dir] = arg.split("=");
    return { label, url: pathToFileURL(path.join(path.resolve(dir), "index.html")).href };
});
if (!(rounds > 0) || pages.length === 0) {
    console.error("usage: node compare.mjs ROUNDS DIR[=LABEL]...");
    process.exit(2);
}
const dropOrders = (process.env.LINEQ_DROP_ORDERS ?? "300 1000 3000").split(/[ ,]+/)
    .filter(Boolean).map(Number);

// Every page's index in this round, starting from a page that turns with the round.
const inTurn = (round) => pages.map((_, k) => (k + round) % pages.length);

const chromium = await launchChromium();
const rows = [];
try {
    // One load of each before the rounds: the browser's own first start is neither page's.
    for (const { url } of pages)
        await readyTime(chromium, url);
    const ready = pages.map(() => []);
    for (let round = 0; round < rounds; ++round)
        for (const which of inTurn(round))
            ready[which].push(await readyTime(chromium, pages[which].url));
    rows.push(["ready (from a file URL)", ready, "ms"]);

    for (const n of dropOrders) {
        const file = await systemFile(n);
        const times = pages.map(() => []);
        for (let round = 0; round < rounds; ++round) {
            for (const which of inTurn(round)) {
                const w = await openWindow(chromium, pages[which].url);
                const result = await dropAndMeasure(w, file);
                if (result.order !== String(n))
                    throw new Error(`${pages[which].label}: the system of order ${n} was not read`);
                times[which].push(result.ms);
                await w.close();
            }
        }
        rows.push([`drop of ${n} equations to answer`, times, n >= 1000 ? "s" : "ms"]);
    }
} finally {
    await chromium.close();
}

const processor = execFileSync("lscpu", { encoding: "utf8" }).match(/^Model name:\s*(.*)$/m)?.[1];
const chromiumVersion = execFileSync(process.env.CHROMIUM ?? "/usr/bin/chromium", ["--version"],
    { encoding: "utf8" }).trim();
const shown = (ms, unit) => (unit === "s" ? (ms / 1000).toFixed(2) : ms.toFixed(0));
const cell = (values, unit) => `${shown(median(values), unit)} ${unit} ` +
    `(${shown(Math.min(...values), unit)} to ${shown(Math.max(...values), unit)})`;
console.log(`processor: ${processor}, ${execFileSync("nproc", { encoding: "utf8" }).trim()} ` +
    `cores; ${chromiumVersion}, headless; load average ` +
    `${execFileSync("cat", ["/proc/loadavg"], { encoding: "utf8" }).split(" ").slice(0, 3).join(" ")}`);
console.log(`medians of ${rounds} alternated rounds (range):`);
console.log(`| what | ${pages.map((page) => page.label).join(" | ")} |`);
console.log(`|---|${pages.map(() => "---|").join("")}`);
for (const [what, times, unit] of rows)
    console.log(`| ${what} | ${times.map((values) => cell(values, unit)).join(" | ")} |`);
