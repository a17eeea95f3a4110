// Headless Debian Chromium, driven through puppeteer-core, and the page's window and boxes
// as a user sees and works them.
import { mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import readline from "node:readline";
import { pathToFileURL } from "node:url";

import puppeteer from "puppeteer-core";

const here = path.dirname(new URL(import.meta.url).pathname);
export const pageDir = process.env.LINEQ_WEB_PAGE_DIR ?? path.resolve(here, "../../build/web");
export const pageUrl = pathToFileURL(path.join(pageDir, "index.html")).href;
export const artifactDir = process.env.LINEQ_WEB_ARTIFACTS ?? path.resolve(here, "../../build/web-tests");

// How long any one step may take before the test says which step it was: far beyond what a
// loaded two-core machine needs (a box shows within a second there), so only a page that has
// stopped answering reaches it. No step is left to puppeteer's silent 30 s default.
export const patience = 60_000;

// What the browser and the page did, for the report of a failing test: a crash, the page
// going away or a refusal shown only on the console is said nowhere else.
export class Journal {
    #start = performance.now();
    #lines = [];
    #testStart = 0;

    note(what) {
        const seconds = ((performance.now() - this.#start) / 1000).toFixed(2).padStart(7);
        this.#lines.push(`${seconds} s  ${what}`);
    }
    beginTest(name) {
        this.#testStart = this.#lines.length;
        this.note(`test: ${name}`);
    }
    sinceTestBegan() {
        return this.#lines.slice(this.#testStart);
    }
}

// The browser's own: nothing fetched, nothing kept between runs.
const chromiumFlags = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    // Its log on standard error, where the journal reads a renderer's crash and its cause.
    "--enable-logging=stderr",
];

export async function launchChromium() {
    const profile = await mkdtemp(path.join(tmpdir(), "lineq-chromium-"));
    const journal = new Journal();
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
        headless: false, // --headless is among the flags, exactly as given
        args: [...chromiumFlags, `--user-data-dir=${profile}`, "--window-size=800,700"],
        defaultViewport: { width: 800, height: 640 },
        timeout: patience,
        protocolTimeout: 2 * patience,
    });
    const chromiumProcess = browser.process();
    readline.createInterface({ input: chromiumProcess.stderr }).on("line", (line) => {
        if (line.trim() !== "")
            journal.note(`chromium: ${line}`);
    });
    chromiumProcess.on("exit", (code, signal) =>
        journal.note(`chromium exited: code ${code}, signal ${signal}`));
    browser.on("disconnected", () => journal.note("browser disconnected"));
    return {
        browser,
        journal,
        async close() {
            await browser.close();
            await rm(profile, { recursive: true, force: true });
        },
    };
}

// `promise`, or an error naming `what` once patience runs out.
function within(promise, what) {
    let timer;
    const late = new Promise((_, reject) => {
        const error = new Error(`${what} did not come within ${patience / 1000} s`);
        timer = setTimeout(() => reject(error), patience);
    });
    return Promise.race([promise, late]).finally(() => clearTimeout(timer));
}

// A fresh page (by default build/web's), once the program has loaded and takes clicks. Errors
// of the page's scripts fail the test that caused them; everything the page says goes into the
// journal.
export async function openWindow({ browser, journal }, url = pageUrl) {
    const page = await browser.newPage();
    page.setDefaultTimeout(patience);
    const errors = [];
    page.on("pageerror", (error) => {
        journal.note(`page error: ${error.message}`);
        errors.push(error);
    });
    page.on("console", (message) => {
        journal.note(`console ${message.type()}: ${message.text()}`);
        if (message.type() === "error")
            errors.push(new Error(message.text()));
    });
    page.on("error", (error) => journal.note(`page crashed: ${error.message}`));
    page.on("requestfailed", (request) =>
        journal.note(`request failed: ${request.url()} ${request.failure()?.errorText}`));
    page.on("close", () => journal.note("page closed"));
    journal.note("open the page");
    await page.goto(url);
    await page.waitForSelector('html[data-ready="true"]');
    return new Window(page, errors, journal);
}

export class Window {
    constructor(page, errors, journal) {
        this.page = page;
        this.errors = errors;
        this.journal = journal;
        this.boxesSeen = 0;
    }
    step(what) {
        this.journal.note(`step: ${what}`);
    }

    text(id) {
        return this.page.$eval(`#${id}`, (control) => control.value);
    }
    checked(id) {
        return this.page.$eval(`#${id}`, (control) => control.checked);
    }
    focused() {
        return this.page.evaluate(() => document.activeElement?.id ?? "");
    }

    async click(id) {
        this.step(`click #${id}`);
        await this.page.click(`#${id}`);
    }
    // Selects whatever the field holds and types over it, as a user would.
    async typeInto(id, text) {
        this.step(`type ${JSON.stringify(text)} into #${id}`);
        await this.page.click(`#${id}`, { clickCount: 3 });
        await this.page.keyboard.press("Backspace");
        await this.page.keyboard.type(text);
    }
    async untickDefault() {
        if (await this.checked("chkDefault"))
            await this.click("chkDefault");
    }

    // Counts the boxes shown so far as seen, as after a view waited for by its selector.
    async seenAll() {
        this.boxesSeen = await this.page.evaluate(() => Math.max(0,
            ...[...document.querySelectorAll("dialog[data-serial]")].map((d) =>
                Number(d.dataset.serial))));
    }

    // The next box the program shows: which, its title, its text, and the icon's name.
    async nextBox() {
        const serial = this.boxesSeen + 1;
        this.step(`wait for box ${serial}`);
        const dialog = await this.page.waitForSelector(`dialog[open][data-serial="${serial}"]`);
        this.boxesSeen = serial;
        return dialog.evaluate((box) => ({
            kind: box.id,
            title: box.querySelector(".title").textContent,
            text: box.querySelector(".text").textContent,
            // The icon drawn, not the one marked.
            icon: [...box.querySelectorAll(".icon")].find((icon) =>
                icon.getBoundingClientRect().width > 0)?.getAttribute("aria-label") ?? null,
            buttons: [...box.querySelectorAll("button")].map((button) => button.textContent),
            field: box.querySelector("input") !== null,
        }));
    }
    // Has `trigger` open the page's file chooser and answers it with `file`. The chooser is
    // intercepted from a session of our own, switched on and acknowledged before the trigger:
    // puppeteer's waitForFileChooser sends the switch alongside the trigger, and a loaded
    // renderer, which handles input before DevTools commands, then let Chromium cancel the
    // chooser unseen.
    async chooseFile(trigger, file) {
        const session = await this.page.createCDPSession();
        try {
            await session.send("Page.enable");
            await session.send("Page.setInterceptFileChooserDialog", { enabled: true });
            const opened = new Promise((resolve) =>
                session.once("Page.fileChooserOpened", resolve));
            await trigger();
            this.step("wait for the file chooser");
            const { backendNodeId } = await within(opened, "the file chooser");
            this.step(`choose ${path.basename(file)}`);
            await session.send("DOM.setFileInputFiles", { files: [file], backendNodeId });
        } finally {
            await session.detach();
        }
    }
    // Has `trigger` start a download into the folder `dir` and waits for it to end; the path
    // of the file saved. The browser's download events come to a session of our own.
    async download(trigger, dir) {
        const session = await this.page.createCDPSession();
        try {
            await session.send("Browser.setDownloadBehavior",
                { behavior: "allow", downloadPath: dir, eventsEnabled: true });
            let name;
            session.once("Browser.downloadWillBegin", (event) => {
                name = event.suggestedFilename;
            });
            const ended = new Promise((resolve) => session.on("Browser.downloadProgress",
                (event) => event.state !== "inProgress" && resolve(event.state)));
            await trigger();
            this.step("wait for the download");
            const state = await within(ended, "the download");
            if (state !== "completed")
                throw new Error(`the download ended ${state}`);
            return path.join(dir, name);
        } finally {
            await session.detach();
        }
    }
    async pressOk() {
        this.step("press OK");
        await this.page.click("dialog[open] button.ok");
    }
    async pressCancel() {
        this.step("press Cancel");
        await this.page.click("dialog[open] button.cancel");
    }
    // Types the reply into the open input box and presses Enter.
    async reply(text) {
        this.step(`reply ${JSON.stringify(text)}`);
        await this.page.type("dialog[open] input", text);
        await this.page.keyboard.press("Enter");
    }
    // Answers every prompt of an entry in turn; returns the prompts seen.
    async enter(replies) {
        const prompts = [];
        for (const reply of replies) {
            const box = await this.nextBox();
            if (box.kind !== "inputBox")
                throw new Error(`expected an input box, got ${JSON.stringify(box)}`);
            prompts.push(box.text);
            await this.reply(reply);
        }
        return prompts;
    }
    // Files ([name, text]) and a text dragged from outside and dropped on `display`; whether
    // that started anything.
    drop(files, text = null) {
        this.step(`drop ${JSON.stringify(files.map(([name]) => name))} and ` +
            (text === null ? "no text" : `a text of ${text.length} characters`));
        return this.page.evaluate((files, text) => {
            const dataTransfer = new DataTransfer();
            files.forEach(([name, content]) => dataTransfer.items.add(new File([content], name)));
            if (text !== null)
                dataTransfer.setData("text/plain", text);
            for (const type of ["dragenter", "dragover", "drop"])
                document.getElementById("display").dispatchEvent(
                    new DragEvent(type, { dataTransfer, bubbles: true, cancelable: true }));
            return "busy" in document.documentElement.dataset;
        }, files, text);
    }
    // The file at `file` dropped on `display` as a file from outside comes: a File that a file
    // input of the test's own (which handles nothing) took, so that a large one never passes
    // through the test's connection to the browser.
    async dropFile(file) {
        this.step(`drop ${path.basename(file)}`);
        await this.page.evaluate(() => {
            document.getElementById("droppedFile")?.remove();
            document.body.append(Object.assign(document.createElement("input"),
                { type: "file", id: "droppedFile", hidden: true }));
        });
        await (await this.page.$("#droppedFile")).uploadFile(file);
        await this.page.evaluate(() => {
            const dataTransfer = new DataTransfer();
            dataTransfer.items.add(document.getElementById("droppedFile").files[0]);
            for (const type of ["dragenter", "dragover", "drop"])
                document.getElementById("display").dispatchEvent(
                    new DragEvent(type, { dataTransfer, bubbles: true, cancelable: true }));
        });
    }
    // Once the click being handled has ended.
    async idle(timeout = patience) {
        this.step("wait until idle");
        await this.page.waitForSelector("html:not([data-busy])", { timeout });
    }
    async noBoxOpen() {
        return (await this.page.$("dialog[open]")) === null;
    }

    // Throws the first error of the page's scripts, unless the test failed already.
    async close(testFailed = false) {
        this.step("close the page");
        try {
            await this.page.close();
        } catch (error) {
            if (!testFailed)
                throw error;
            this.journal.note(`closing the page failed: ${error.message}`);
        }
        if (this.errors.length > 0 && !testFailed)
            throw this.errors[0];
    }
}
