// Headless Debian Chromium, driven through puppeteer-core, and the page's window and boxes
// as a user sees and works them.
import { mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";

import puppeteer from "puppeteer-core";

const here = path.dirname(new URL(import.meta.url).pathname);
export const pageDir = process.env.LINEQ_WEB_PAGE_DIR ?? path.resolve(here, "../../build/web");
export const pageUrl = pathToFileURL(path.join(pageDir, "index.html")).href;
export const artifactDir = process.env.LINEQ_WEB_ARTIFACTS ?? path.resolve(here, "../../build/web-tests");

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
];

export async function launchChromium() {
    const profile = await mkdtemp(path.join(tmpdir(), "lineq-chromium-"));
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
        headless: false, // --headless is among the flags, exactly as given
        args: [...chromiumFlags, `--user-data-dir=${profile}`, "--window-size=800,700"],
        defaultViewport: { width: 800, height: 640 },
        timeout: 60_000,
    });
    return {
        browser,
        async close() {
            await browser.close();
            await rm(profile, { recursive: true, force: true });
        },
    };
}

// A fresh page, once the program has loaded and takes clicks. Errors of the page's scripts
// fail the test that caused them.
export async function openWindow(browser) {
    const page = await browser.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error));
    page.on("console", (message) => {
        if (message.type() === "error")
            errors.push(new Error(message.text()));
    });
    await page.goto(pageUrl);
    await page.waitForSelector('html[data-ready="true"]', { timeout: 30_000 });
    return new Window(page, errors);
}

export class Window {
    constructor(page, errors) {
        this.page = page;
        this.errors = errors;
        this.boxesSeen = 0;
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
        await this.page.click(`#${id}`);
    }
    // Selects whatever the field holds and types over it, as a user would.
    async typeInto(id, text) {
        await this.page.click(`#${id}`, { clickCount: 3 });
        await this.page.keyboard.press("Backspace");
        await this.page.keyboard.type(text);
    }
    async untickDefault() {
        if (await this.checked("chkDefault"))
            await this.click("chkDefault");
    }

    // The next box the program shows: which, its title, its text, and the icon's name.
    async nextBox() {
        const serial = this.boxesSeen + 1;
        const dialog = await this.page.waitForSelector(`dialog[open][data-serial="${serial}"]`, {
            timeout: 15_000,
        });
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
    async pressOk() {
        await this.page.click("dialog[open] button.ok");
    }
    async pressCancel() {
        await this.page.click("dialog[open] button.cancel");
    }
    // Types the reply into the open input box and presses Enter.
    async reply(text) {
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
    // Once the click being handled has ended.
    async idle(timeout = 15_000) {
        await this.page.waitForSelector("html:not([data-busy])", { timeout });
    }
    async noBoxOpen() {
        return (await this.page.$("dialog[open]")) === null;
    }

    async close() {
        await this.page.close();
        if (this.errors.length > 0)
            throw this.errors[0];
    }
}
