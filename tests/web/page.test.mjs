// The page in a real browser, through clicks and typing: the window as the desktop shows it,
// the default system by each method, typed systems, the refusals and failures with their
// boxes, and the keyboard alone.
import assert from "node:assert/strict";
import { mkdir, mkdtemp, readFile, rm, stat, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { after, before, describe, test } from "node:test";

import { decimalsText, hilbertText, spdText, wilkinsonText } from "../support/systemTexts.mjs";
import { artifactDir, launchChromium, openWindow, patience } from "./browser.mjs";

const caption = "Linear Simultaneous Equations by Quorvelt";
// The echo and the results as the boxes hold them (a <textarea> gives LF for CR LF).
const defaultEcho = {
    display: "   4   2   14\n   2   17   -5\n   14   -5   83\n",
    txtVector: "b1 =   14\nb2 =   -101\nb3 =   155\n",
};
const defaultSolution = "x1 =   3\nx2 =   -6\nx3 =   1\n";
const promptsOf2x2 = [
    "Enter A coefficient (1,1)",
    "Enter A coefficient (1,2)",
    "Enter A coefficient (2,1)",
    "Enter A coefficient (2,2)",
    "Enter B coefficient (1)",
    "Enter B coefficient (2)",
];
// A message box as the page reports it: one OK button, no field; the icon by its name.
const messageBox = (title, text, icon = null) => ({
    kind: "messageBox",
    title,
    text,
    icon,
    buttons: ["OK"],
    field: false,
});
const notANumber = messageBox("Lineq", "Enter a number damn you!!");

let chromium;
before(async () => {
    chromium = await launchChromium();
});
after(async () => {
    await chromium?.close();
});

// Each case on a freshly opened page. A failure comes with what the browser and the page did
// meanwhile, step by step.
function windowTest(name, body) {
    test(name, { timeout: 5 * patience }, async (t) => {
        chromium.journal.beginTest(name);
        try {
            const w = await openWindow(chromium);
            let passed = false;
            try {
                await body(w);
                passed = true;
            } finally {
                await w.close(!passed);
            }
        } catch (error) {
            for (const line of chromium.journal.sinceTestBegan())
                t.diagnostic(line);
            throw error;
        }
    });
}

async function submitTyped(w, count, replies) {
    await w.untickDefault();
    await w.typeInto("Textn", count);
    await w.click("submit_but");
    const prompts = await w.enter(replies);
    await w.idle();
    return prompts;
}

describe("the window", () => {
    windowTest("opens as the desktop window does", async (w) => {
        assert.equal(await w.page.title(), caption);
        assert.equal(await w.page.$eval("#caption", (e) => e.textContent), caption);
        assert.equal(await w.text("Textn"), "3");
        assert.equal(await w.checked("chkDefault"), true);
        assert.deepEqual(
            await Promise.all(["Option1_0", "Option1_1", "Option1_2"].map((id) => w.checked(id))),
            [false, true, false]);
        for (const id of ["display", "txtVector", "txtGauss", "txtCholesky"])
            assert.equal(await w.text(id), "", id);
        assert.equal(await w.focused(), "display");
    });

    windowTest("places every control at its twips, 15 to the pixel, with its name", async (w) => {
        // id: left, top, width, height in twips; the accessible name.
        const controls = {
            display: [240, 600, 3975, 3615, "Input Matrix"],
            submit_but: [240, 5040, 1815, 615, "Submit"],
            Textn: [3495, 4530, 735, 285, "Enter the no. of equations to be solved"],
            Start: [6120, 4560, 1815, 615, "Calculate Using....."],
            txtGauss: [6120, 600, 1455, 3615, "Gauss Solution"],
            txtCholesky: [7800, 600, 1455, 3615, "Cholesky Solution"],
            txtVector: [4440, 600, 1455, 3615, "Input Vector"],
            Label8: [6720, 6960, 2535, 255, null],
        };
        const client = await w.page.$eval(".client", (e) => {
            const r = e.getBoundingClientRect();
            return [r.left, r.top, r.width, r.height];
        });
        assert.deepEqual(client.slice(2), [636, 491]);
        for (const [id, [left, top, width, height, name]] of Object.entries(controls)) {
            const box = await w.page.$eval(`#${id}`, (e) => {
                const r = e.getBoundingClientRect();
                return [r.left, r.top, r.width, r.height];
            });
            assert.deepEqual(
                [box[0] - client[0], box[1] - client[1], box[2], box[3]],
                [left / 15, top / 15, width / 15, height / 15], id);
            if (name) {
                const node = await w.page.accessibility.snapshot({ root: await w.page.$(`#${id}`) });
                assert.equal(node.name, name, id);
            }
        }
        // The check box and the option buttons are named by their captions.
        const captions = {
            chkDefault: "Use Default Matrix",
            Option1_0: "Gauss Elimination",
            Option1_1: "Both Solution Methods",
            Option1_2: "Cholesky Decomposition",
        };
        for (const [id, name] of Object.entries(captions)) {
            const node = await w.page.accessibility.snapshot({ root: await w.page.$(`#${id}`) });
            assert.equal(node.name, name, id);
        }
        // The faces shipped beside the page were loaded from the file URL.
        assert.ok(await w.page.evaluate(async () => {
            await document.fonts.ready;
            return document.fonts.check('11px "Lineq Dialog"') &&
                document.fonts.check('bold 11px "Lineq Address"') &&
                [...document.fonts].every((face) => face.status === "loaded");
        }));
        await mkdir(path.resolve(artifactDir), { recursive: true });
        await (await w.page.$("#frmCholesky")).screenshot({
            path: path.join(artifactDir, "lineq-page.png"),
        });
    });
});

describe("the default system", () => {
    for (const [option, gauss, cholesky] of [
        ["Option1_0", defaultSolution, ""],
        ["Option1_1", defaultSolution, defaultSolution],
        ["Option1_2", "", defaultSolution],
    ]) {
        windowTest(`solved with ${option}`, async (w) => {
            await w.typeInto("Textn", "7"); // ignored while the default is ticked
            await w.click("submit_but");
            await w.idle();
            assert.equal(await w.text("Textn"), "3");
            assert.equal(await w.text("display"), defaultEcho.display);
            assert.equal(await w.text("txtVector"), defaultEcho.txtVector);
            await w.click(option);
            await w.click("Start");
            await w.idle();
            assert.ok(await w.noBoxOpen());
            assert.equal(await w.text("txtGauss"), gauss);
            assert.equal(await w.text("txtCholesky"), cholesky);
        });
    }
});

describe("a typed system", () => {
    windowTest("2 x 2 through the input boxes", async (w) => {
        await w.untickDefault();
        await w.typeInto("Textn", "2");
        await w.click("submit_but");
        const first = await w.nextBox();
        assert.deepEqual(first, {
            kind: "inputBox",
            title: "Lineq",
            text: promptsOf2x2[0],
            icon: null,
            buttons: ["OK", "Cancel"],
            field: true,
        });
        await w.reply("2.5");
        const prompts = [first.text, ...(await w.enter(["1", "1", "2", "3.5", "3"]))];
        await w.idle();
        assert.deepEqual(prompts, promptsOf2x2);
        assert.equal(await w.text("display"), "   2.5   1\n   1   2\n");
        assert.equal(await w.text("txtVector"), "b1 =   3.5\nb2 =   3\n");
        await w.click("Start");
        await w.idle();
        assert.equal(await w.text("txtGauss"), "x1 =   1\nx2 =   1\n");
        assert.equal(await w.text("txtCholesky"), "x1 =   1\nx2 =   1\n");
    });

    windowTest("a reply that is not a number: the message, then the same prompt", async (w) => {
        await w.untickDefault();
        await w.typeInto("Textn", "1");
        await w.click("submit_but");
        assert.equal((await w.nextBox()).text, "Enter A coefficient (1,1)");
        await w.reply("3abc");
        assert.deepEqual(await w.nextBox(), notANumber);
        await w.pressOk();
        assert.equal((await w.nextBox()).text, "Enter A coefficient (1,1)");
        await w.reply(""); // the empty reply is not a number either
        assert.deepEqual(await w.nextBox(), notANumber);
        await w.page.keyboard.press("Enter"); // OK has the focus
        assert.deepEqual(await w.enter(["4", "8"]),
            ["Enter A coefficient (1,1)", "Enter B coefficient (1)"]);
        await w.idle();
        assert.equal(await w.text("display"), "   4\n");
        assert.equal(await w.text("txtVector"), "b1 =   8\n");
    });

    windowTest("Cancel in the middle of an entry keeps the previous system", async (w) => {
        await w.click("submit_but"); // the default system
        await w.idle();
        await w.untickDefault();
        await w.typeInto("Textn", "2");
        await w.click("submit_but");
        await w.enter(["1", "2"]);
        assert.equal((await w.nextBox()).text, "Enter A coefficient (2,1)");
        await w.pressCancel();
        await w.idle();
        assert.ok(await w.noBoxOpen());
        assert.equal(await w.text("display"), defaultEcho.display);
        assert.equal(await w.text("txtVector"), defaultEcho.txtVector);
        await w.click("Start");
        await w.idle();
        assert.equal(await w.text("txtGauss"), defaultSolution);
        // Esc cancels as well, also straight after an Esc that dismissed a message box (where
        // Chromium may close the box without a cancel event of its own).
        await w.click("submit_but");
        assert.equal((await w.nextBox()).text, "Enter A coefficient (1,1)");
        await w.reply("x");
        assert.deepEqual(await w.nextBox(), notANumber);
        await w.page.keyboard.press("Escape");
        assert.equal((await w.nextBox()).text, "Enter A coefficient (1,1)");
        await w.page.keyboard.press("Escape");
        await w.idle();
        assert.ok(await w.noBoxOpen());
        assert.equal(await w.text("display"), defaultEcho.display);
    });

    windowTest("a count that is not a number", async (w) => {
        await w.untickDefault();
        await w.typeInto("Textn", "abc");
        await w.click("submit_but");
        assert.deepEqual(await w.nextBox(), notANumber);
        await w.pressOk();
        await w.idle();
        assert.ok(await w.noBoxOpen());
        assert.equal(await w.text("display"), "");
        assert.equal(await w.text("txtVector"), "");
    });
});

describe("failures", () => {
    windowTest("a singular system: Gauss's error box, its box stays empty", async (w) => {
        await submitTyped(w, "2", ["1", "2", "2", "4", "3", "6"]);
        await w.click("Option1_0");
        await w.click("Start");
        assert.deepEqual(
            await w.nextBox(),
            messageBox("Gauss Elimination Error", "Aborting analysis", "Error"),
        );
        await w.pressOk();
        await w.idle();
        assert.equal(await w.text("txtGauss"), "");
        assert.equal(await w.text("txtCholesky"), "");
    });

    windowTest("a matrix that is not positive definite", async (w) => {
        await submitTyped(w, "2", ["1", "2", "2", "1", "3", "3"]);
        await w.click("Start"); // both methods
        assert.deepEqual(await w.nextBox(), messageBox("Lineq", "Cholesky Decomposition Failed"));
        await w.pressOk();
        await w.idle();
        assert.equal(await w.text("txtGauss"), "x1 =   1\nx2 =   1\n");
        assert.equal(await w.text("txtCholesky"), "");
    });

    windowTest("a system too large for the browser's memory is refused", async (w) => {
        await w.untickDefault();
        await w.typeInto("Textn", "32766");
        await w.click("submit_but");
        const box = await w.nextBox();
        assert.equal(box.text, "There is not enough memory for a system of 32766 equations.");
        await w.pressOk();
        await w.idle();
        assert.equal(await w.text("display"), "");
    });
});

describe("the keyboard alone", () => {
    windowTest("Tab visits every control in order; Space presses, Enter and Esc do not", async (w) => {
        const order = ["display", "submit_but", "Textn", "Start", "chkDefault", "Option1_1",
            "txtGauss", "txtCholesky", "txtVector", "display"];
        const visited = [await w.focused()];
        for (let i = 1; i < order.length; ++i) {
            await w.page.keyboard.press("Tab");
            visited.push(await w.focused());
        }
        assert.deepEqual(visited, order);
        const back = [];
        for (let i = 1; i < order.length; ++i) {
            await w.page.keyboard.down("Shift");
            await w.page.keyboard.press("Tab");
            await w.page.keyboard.up("Shift");
            back.push(await w.focused());
        }
        assert.deepEqual(back, order.slice(0, -1).reverse());

        // The option group: entered at its chosen button, the arrows move the choice in
        // the screen's order, and it is left as one stop.
        const tabTo = async (id) => {
            for (let i = 0; i < 12 && (await w.focused()) !== id; ++i)
                await w.page.keyboard.press("Tab");
            assert.equal(await w.focused(), id);
        };
        await tabTo("Option1_1");
        await w.page.keyboard.press("ArrowUp");
        assert.equal(await w.focused(), "Option1_2");
        assert.equal(await w.checked("Option1_2"), true);
        await w.page.keyboard.press("ArrowUp");
        assert.equal(await w.checked("Option1_0"), true);
        await w.page.keyboard.press("Tab");
        assert.equal(await w.focused(), "txtGauss");

        // Enter and Esc press neither button; Space does.
        await tabTo("submit_but");
        await w.page.keyboard.press("Enter");
        await w.page.keyboard.press("Escape");
        await w.idle();
        assert.equal(await w.text("display"), "");
        await w.page.keyboard.press("Space");
        await w.idle();
        assert.equal(await w.text("display"), defaultEcho.display);
        await tabTo("Start");
        await w.page.keyboard.press("Enter");
        await w.page.keyboard.press("Escape");
        await w.idle();
        assert.equal(await w.text("txtGauss"), "");
        await w.page.keyboard.press("Space");
        await w.idle();
        assert.equal(await w.text("txtGauss"), defaultSolution); // Gauss only, chosen above
        assert.equal(await w.text("txtCholesky"), "");

        // A box answered from the keyboard: Enter is OK in an input box and a message box.
        await tabTo("chkDefault");
        await w.page.keyboard.press("Space");
        assert.equal(await w.checked("chkDefault"), false);
        await tabTo("Textn");
        await w.page.keyboard.press("End");
        await w.page.keyboard.press("Backspace");
        await w.page.keyboard.type("x");
        await tabTo("submit_but");
        await w.page.keyboard.press("Space");
        assert.deepEqual(await w.nextBox(), notANumber);
        await w.page.keyboard.press("Enter");
        await w.idle();
        assert.ok(await w.noBoxOpen());
    });
});

// Systems brought in without typing: the browser's own paste from its clipboard, Ctrl+O with
// its file chooser, and drops of files built in the page.
const defaultSystemText = "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n";
const notASystem = ["3\n4 2 14\n2 17 -5\n14 -5 3abc\n",
    "line 4, column 7: expected a number, found '3abc'"];
const fileDir = await mkdtemp(path.join(tmpdir(), "lineq-files-"));
after(() => rm(fileDir, { recursive: true, force: true }));

async function chord(w, modifiers, key) {
    w.step(`press ${[...modifiers, key].join("+")}`);
    for (const modifier of modifiers)
        await w.page.keyboard.down(modifier);
    await w.page.keyboard.press(key);
    for (const modifier of modifiers.reverse())
        await w.page.keyboard.up(modifier);
}
// The clipboard through a scratch box, as a user's copy and paste elsewhere would.
async function copyToClipboard(w, text) {
    w.step(`copy ${text.length < 100 ? JSON.stringify(text) : `${text.length} characters`} ` +
        "to the clipboard");
    await w.page.evaluate((text) => document.body.appendChild(
        Object.assign(document.createElement("textarea"), { value: text })).select(), text);
    await chord(w, ["Control"], "KeyC");
    await w.page.evaluate(() => document.body.lastElementChild.remove());
}
async function clipboardText(w) {
    const focused = await w.focused();
    await w.page.evaluate(() => document.body.appendChild(
        document.createElement("textarea")).focus());
    await chord(w, ["Control"], "KeyV");
    const text = await w.page.evaluate(() => {
        const scratch = document.body.lastElementChild;
        scratch.remove();
        return scratch.value;
    });
    if (focused)
        await w.page.focus(`#${focused}`);
    return text;
}
// `text` copied to the clipboard, then the keys pressed in the control.
async function paste(w, text, into = "#display", keys = ["Control", "Shift"]) {
    await copyToClipboard(w, text);
    await w.page.focus(into);
    await chord(w, keys, "KeyV");
}
// Ctrl+O, and the file chosen. Nothing of the page is left waiting: a promise pending when a
// failed step closes the page is rejected, and the runner reports that instead of the step.
async function open(w, name, text) {
    await writeFile(path.join(fileDir, name), text);
    await openFile(w, path.join(fileDir, name));
}
async function openFile(w, file) {
    await w.page.$eval("#openSystem", (input) => input.addEventListener("change", () => {
        document.body.dataset.fileChosen = "true";
    }, { once: true }));
    await w.chooseFile(() => chord(w, ["Control"], "KeyO"), file);
    await w.page.waitForSelector("body[data-file-chosen]");
    await w.page.$eval("body", (body) => delete body.dataset.fileChosen);
}
describe("a system pasted, opened or dropped", () => {
    windowTest("each way brings it in as a completed entry, or keeps the system", async (w) => {
        const csv = "x1,x2,x3,b\r\n4,2,14,14\r\n2,17,-5,-101\r\n14,-5,83,155\r\n";
        // How; the message, or none when the default system comes in.
        const ways = [
            [() => paste(w, defaultSystemText), null],
            [() => paste(w, notASystem[0], "#Start", ["Control"]), notASystem[1]],
            [() => open(w, "bad.txt", notASystem[0]), `bad.txt: ${notASystem[1]}`],
            [() => open(w, "header.csv", csv), null],
            [() => w.drop([["bad.csv", notASystem[0]]]), `bad.csv: ${notASystem[1]}`],
            [() => w.drop([["header.csv", csv]]), null],
            [() => w.drop([], defaultSystemText), null],
        ];
        for (const [bring, message] of ways) {
            await w.page.evaluate(() => {
                Object.assign(document.getElementById("Textn"), { value: "7" });
                Object.assign(document.getElementById("chkDefault"), { checked: true });
            });
            await bring();
            if (message) {
                assert.deepEqual(await w.nextBox(), { ...notANumber, text: message });
                await w.pressOk();
            }
            await w.idle();
            assert.deepEqual([await w.text("Textn"), await w.checked("chkDefault")],
                message ? ["7", true] : ["3", false]);
            assert.equal(await w.text("display"), defaultEcho.display);
            // A system brought in empties the results; a refusal keeps them.
            assert.equal(await w.text("txtGauss"), message ? defaultSolution : "");
            await w.click("Start");
            await w.idle();
            assert.equal(await w.text("txtCholesky"), defaultSolution);
        }
        // Two files at once are not taken, and Ctrl+V pastes into a box, as typing would.
        assert.equal(await w.drop([["a.txt", "1 1"], ["b.txt", "1 1"]]), false);
        await w.typeInto("Textn", "");
        await paste(w, "12", "#Textn", ["Control"]);
        assert.equal(await w.text("Textn"), "12");
        assert.ok(await w.noBoxOpen());
    });

    windowTest("nothing starts while a box is open; its field takes a paste", async (w) => {
        await w.untickDefault();
        await w.typeInto("Textn", "1");
        await w.click("submit_but");
        await w.nextBox();
        // Cut from the field; Ctrl+V and Ctrl+Shift+V put it back there, twice.
        await w.page.type("dialog[open] input", "4");
        await w.page.$eval("dialog[open] input", (input) => input.select());
        await chord(w, ["Control"], "KeyX");
        await w.page.evaluate(() => document.getElementById("openSystem").addEventListener(
            "click", () => { document.body.dataset.opened = "true"; }));
        await chord(w, ["Control"], "KeyO");
        await w.drop([], defaultSystemText);
        await chord(w, ["Control"], "KeyV");
        await chord(w, ["Control", "Shift"], "KeyV");
        await w.page.keyboard.press("Enter");
        await w.enter(["8"]);
        await w.idle();
        assert.equal(await w.text("display"), "   44\n");
        assert.equal(await w.page.$eval("body", (body) => body.dataset.opened), undefined);
    });
});

// Large systems, as a user brings them in from files. What the window shows once it answers;
// how soon it answers, and how long it holds the page's thread meanwhile, are measure.mjs's.
const largeFiles = new Map();
async function largeFile(n) {
    if (!largeFiles.has(n)) {
        const file = path.join(fileDir, `spd${n}.txt`);
        await writeFile(file, spdText(n));
        largeFiles.set(n, file);
    }
    return largeFiles.get(n);
}
// A reading of 3000 equations takes seconds in WebAssembly: room for a machine three times
// slower than a loaded one.
const readingGuard = 5 * patience;
const lines = (text) => text.split("\n").slice(0, -1);
// The rows the view of a box lays out now.
const inSight = (w, id) => w.page.$eval(`#${id} .lines`, (e) => e.innerText);

describe("large systems", () => {
    // How the file comes in; the lines of the echo of A (the desktop's limit: a million
    // numbers) and its last line; whether Ctrl+A and a copy are checked (a copy's text is
    // pasted back into a box, which lays out what it gets).
    for (const { n, bring, echoLines, lastLine, copy } of [
        { n: 300, bring: "drop", echoLines: 300, copy: true },
        { n: 1000, bring: "drop", echoLines: 1000 },
        { n: 3000, bring: "open", echoLines: 334, lastLine: "(2667 more rows not shown)" },
    ]) {
        windowTest(`${n} equations ${bring === "drop" ? "dropped" : "opened"}`, async (w) => {
            const file = await largeFile(n);
            if (bring === "drop")
                await w.dropFile(file);
            else
                await openFile(w, file);
            await w.idle(readingGuard);
            assert.ok(await w.noBoxOpen());
            assert.deepEqual([await w.text("Textn"), await w.checked("chkDefault")],
                [String(n), false]);
            // The echo, whole as scripts read it, in a box that keeps its role and name.
            const echo = lines(await w.text("display"));
            assert.equal(echo.length, echoLines);
            assert.match(echo[0], /^( {3}-?\d\S*){3}/);
            if (lastLine)
                assert.equal(echo.at(-1), lastLine);
            const node = await w.page.accessibility.snapshot({ root: await w.page.$("#display") });
            assert.deepEqual([node.role, node.name], ["textbox", "Input Matrix"]);
            const b = lines(await w.text("txtVector"));
            assert.equal(b.length, n);
            assert.match(b.at(-1), new RegExp(`^b${n} = {3}\\S+$`));
            // The keys scroll it to its end and back; Tab goes on as from the box.
            await w.page.focus("#display");
            assert.ok(echo[0].startsWith((await inSight(w, "display")).split("\n")[0]));
            await chord(w, ["Control"], "End");
            assert.ok(echo.at(-1).endsWith((await inSight(w, "display")).split("\n").at(-1)));
            await chord(w, ["Control"], "Home");
            assert.ok(echo[0].startsWith((await inSight(w, "display")).split("\n")[0]));
            if (copy) {
                await chord(w, ["Control"], "KeyA");
                await chord(w, ["Control"], "KeyC");
                assert.equal(await clipboardText(w), `${echo.join("\n")}\n`);
            }
            await w.page.keyboard.press("Tab");
            assert.equal(await w.focused(), "submit_but");
            await w.click("Option1_0");
            await w.click("Start");
            await w.idle(readingGuard);
            const x = lines(await w.text("txtGauss"));
            assert.equal(x.length, n);
            assert.match(x.at(-1), new RegExp(`^x${n} = {3}(1|0\\.9+\\d*|1\\.0+\\d*)$`));
        });
    }

    windowTest("a long reading shows its progress; Cancel leaves everything as it was", async (w) => {
        await w.click("submit_but");
        await w.idle();
        const file = await largeFile(3000);
        const megabytes = Math.ceil((await stat(file)).size / 1e6);
        // The page notes the box as it opens and cancels there and then, as a user's Cancel
        // would, so that the reading cannot end first however fast the machine reads.
        await w.page.evaluate(() => new MutationObserver((changes, observer) => {
            const box = document.querySelector("#progressBox[open]");
            if (box === null)
                return;
            observer.disconnect();
            document.body.dataset.progress = JSON.stringify([box.querySelector(".text").textContent,
                document.activeElement.className]);
            box.querySelector("button.cancel").click();
        }).observe(document.body, { subtree: true, attributes: true, attributeFilter: ["open"] }));
        await openFile(w, file);
        // After the quiet time: what is read, how far in megabytes of the file's, the time so
        // far, and Cancel, which has the focus.
        const noted = await w.page.waitForSelector("body[data-progress]", { timeout: readingGuard });
        const [text, focused] = JSON.parse(await noted.evaluate((body) => body.dataset.progress));
        assert.match(text, new RegExp(`^Reading spd3000\\.txt: \\d+ of ${megabytes} MB, \\d+\\.\\d s$`));
        assert.equal(focused, "cancel");
        await w.idle(readingGuard);
        assert.ok(await w.noBoxOpen());
        assert.deepEqual([await w.text("Textn"), await w.checked("chkDefault")], ["3", true]);
        assert.equal(await w.text("display"), defaultEcho.display);
        await w.click("Start");
        await w.idle();
        assert.equal(await w.text("txtCholesky"), defaultSolution);
    });
});

// How far the answers can be trusted: the warning after Calculate, the accuracy view and Copy
// Solution, with the program's own texts.
const warningBox = (text) => messageBox("Lineq", text, "Warning");
// The 3 x 3 default by Gauss: the box rounds to 15 digits what Copy Solution gives whole.
const defaultGaussDoubles = "2.999999999999995\n-5.999999999999999\n1.0000000000000009\n";

describe("the warning after Calculate", () => {
    const hilbert12 = (w) => paste(w, hilbertText(12));
    // How the system comes in, the boxes in the order shown (texts as patterns), and whether
    // Cholesky's box is filled. Every box comes once the result boxes are filled.
    for (const { name, bring, boxes, cholesky } of [
        { name: "Hilbert of order 12 pasted as rows", bring: hilbert12, cholesky: true,
            boxes: [warningBox(/^The Gauss Elimination solution may have no correct digit: the matrix is singular to working precision \(estimated condition number \d\.\de\+1[67]\)\. The Cholesky Decomposition solution may have no correct digit: the matrix is singular to working precision \(estimated condition number \d\.\de\+1[67]\)\.$/)] },
        // Well conditioned, but Gauss's growth of 2^59 leaves no digit: the backward error tells.
        { name: "Wilkinson's growth matrix of order 60, after Cholesky's failure",
            bring: (w) => paste(w, wilkinsonText(60)), cholesky: false,
            boxes: [messageBox("Lineq", /^Cholesky Decomposition Failed$/),
                warningBox(/^The Gauss Elimination solution may have no correct digit: its backward error is \d\.\de-\d\d, far above the unit roundoff\.$/)] },
    ]) {
        windowTest(name, async (w) => {
            await bring(w);
            await w.idle();
            await w.click("Start"); // both methods
            for (const expected of boxes) {
                const box = await w.nextBox();
                assert.match(box.text, expected.text);
                assert.deepEqual({ ...box, text: null }, { ...expected, text: null });
                assert.notEqual(await w.text("txtGauss"), "");
                assert.equal(await w.text("txtCholesky") !== "", cholesky);
                await w.pressOk();
            }
            await w.idle();
            assert.ok(await w.noBoxOpen());
        });
    }
});

describe("the page's one thread", () => {
    windowTest("a Calculate lets the browser run before it solves", async (w) => {
        await w.click("submit_but");
        await w.idle();
        // A timer set as the click comes runs before the rest of Calculate once the program
        // gives the browser its turn, however fast the machine.
        await w.page.$eval("#Start", (start) => start.addEventListener("click", () =>
            setTimeout(() => {
                document.body.dataset.during = JSON.stringify([
                    "busy" in document.documentElement.dataset,
                    document.getElementById("txtGauss").value]);
            }), { capture: true, once: true }));
        await w.click("Start");
        await w.idle();
        assert.deepEqual(JSON.parse(await w.page.$eval("body", (b) => b.dataset.during)),
            [true, ""]);
        assert.equal(await w.text("txtCholesky"), defaultSolution);
    });
});

// What the form's tests expect of the declared commands: the accuracy view's title, and which
// commands are enabled in each state a session reaches, for the result box named.
const commandStates = { title: "", states: [] };
for (const line of (await readFile(new URL("../support/commandStates.txt", import.meta.url),
    "utf8")).split("\n")) {
    const [state, box, names] = line.split(": ");
    if (state === "title")
        commandStates.title = box;
    else if (names !== undefined && !state.startsWith("#"))
        commandStates.states.push({ state, box, enabled: new Set(names.split(" ")) });
}

async function openAccuracyView(w, from) {
    await w.page.focus(`#${from}`);
    await chord(w, ["Control"], "KeyI");
    return w.page.waitForSelector("#accuracyView[open]");
}

describe("the accuracy view", () => {
    windowTest("opens by Ctrl+I with each method's figures, copyable, keyboard alone", async (w) => {
        await w.click("submit_but");
        await w.idle();
        await w.click("Start");
        await w.idle();
        const view = await openAccuracyView(w, "txtCholesky");
        const text = await w.page.$eval("#accuracyView .text", (e) => e.value);
        assert.match(text, /^Accuracy of the last Calculate, 3 equations\n/);
        // Each method in the order it ran, each figure with its value.
        const headings = text.split("\n").filter((line) => /^\S/.test(line)).slice(1);
        assert.deepEqual(headings.slice(0, 2), ["Gauss Elimination", "Cholesky Decomposition"]);
        assert.equal(text.match(/Condition number: +\d\.\de[+-]\d\d\n/g)?.length, 2);
        assert.equal(text.match(/Error bound: +\d\.\de-\d\d\n/g)?.length, 2);
        assert.doesNotMatch(text, /may have no correct digit/);
        // Named for assistive technology (the text as the desktop's tab); the focus starts in
        // the text, which Tab leaves for Copy, Copy as Tab-Separated and Close.
        const node = await w.page.accessibility.snapshot({ root: view });
        assert.equal(node.name, commandStates.title);
        const field = await w.page.accessibility.snapshot({ root: await view.$(".text") });
        assert.deepEqual([field.name, field.readonly], ["Report", true]);
        assert.equal(await w.focused(), "accuracyText");
        await w.page.keyboard.press("Tab");
        assert.equal(await w.page.evaluate(() => document.activeElement.className), "copyText");
        await w.page.keyboard.press("Space");
        await w.page.keyboard.press("Escape");
        await w.idle();
        assert.equal(await clipboardText(w), text);
        // Where the browser refuses its clipboard API, the copy is made inside the open box.
        await w.page.evaluate(() => {
            navigator.clipboard.writeText = () => Promise.reject(new Error("refused"));
        });
        await openAccuracyView(w, "txtCholesky");
        await w.page.keyboard.press("Tab");
        await w.page.keyboard.press("Tab");
        assert.equal(await w.page.evaluate(() => document.activeElement.className), "copyTable");
        await w.page.keyboard.press("Space");
        await w.page.keyboard.press("Tab");
        assert.equal(await w.page.evaluate(() => document.activeElement.className), "close");
        await w.page.keyboard.press("Space");
        await w.idle();
        assert.ok(await w.noBoxOpen());
        assert.match(await clipboardText(w),
            /^Unknown\tGauss Elimination\tCholesky Decomposition\n(x\d\t.*\n){3}Condition number\t/);
        assert.equal(await w.focused(), "txtCholesky");
        // Esc closes it too; meanwhile the window takes no command.
        await openAccuracyView(w, "display");
        await w.page.$eval("#openSystem", (input) => input.addEventListener("click", () => {
            document.body.dataset.opened = "true";
        }));
        await chord(w, ["Control"], "KeyO");
        await w.page.keyboard.press("Escape");
        await w.idle();
        assert.ok(await w.noBoxOpen());
        assert.equal(await w.page.$eval("body", (body) => body.dataset.opened), undefined);
    });
});

describe("Copy Solution", () => {
    windowTest("Ctrl+Shift+C in a result box copies its method's doubles", async (w) => {
        await w.click("submit_but");
        await w.idle();
        await w.click("Option1_0");
        await w.click("Start");
        await w.idle();
        // Where, and the clipboard afterwards: a box with no solution, and a box that is not
        // a result box, copy nothing.
        for (const [box, expected] of [
            ["txtCholesky", "unchanged"],
            ["display", "unchanged"],
            ["txtGauss", defaultGaussDoubles],
        ]) {
            await copyToClipboard(w, "unchanged");
            await w.page.focus(`#${box}`);
            await chord(w, ["Control", "Shift"], "KeyC");
            await w.idle();
            assert.equal(await clipboardText(w), expected, box);
        }
        assert.equal(await w.text("txtGauss"), defaultSolution);
        await w.click("Option1_2");
        await w.click("Start");
        await w.idle();
        await w.page.focus("#txtCholesky");
        await chord(w, ["Control", "Shift"], "KeyC");
        await w.idle();
        assert.equal(await clipboardText(w), "3\n-6\n1\n");
    });
});

// The exact solution in the accuracy view: computed in a Worker made from the module the page
// loads only when asked, with a progress box whose Cancel leaves everything as it was.
const viewText = (w) => w.page.$eval("#accuracyView .text", (e) => e.value);
const exactModuleLoaded = (w) =>
    w.page.$$eval("script", (scripts) => scripts.some((s) => s.src.endsWith("lineq-exact.js")));

// Calculate by both methods on the system `bring` leaves, then the accuracy view.
async function calculateAndView(w, bring, option = "Option1_1") {
    await bring(w);
    await w.idle();
    await w.click(option);
    await w.click("Start");
    await w.idle();
    await openAccuracyView(w, "txtGauss");
}

// Compute Exact Solution in the open view; resolves once the progress box has opened. The page
// notes the opening as it happens: a quick solve may close the box before a poll from here
// would find it open.
async function computeExact(w) {
    await w.page.evaluate(() => {
        delete document.body.dataset.exactProgressShown;
        new MutationObserver((changes, observer) => {
            if (document.querySelector("#progressBox[open]") === null)
                return;
            document.body.dataset.exactProgressShown = "true";
            observer.disconnect();
        }).observe(document.body, {
            subtree: true, childList: true, attributes: true, attributeFilter: ["open"],
        });
    });
    await w.page.$eval("#accuracyView button.computeExact", (button) => button.click());
    w.step("wait for the exact solve's progress box");
    await w.page.waitForSelector("body[data-exact-progress-shown]");
}
// The view as the command run from it left it, open all along; a message box fails the test
// with the box's text.
async function viewAfterCommand(w) {
    const serial = await w.page.$eval("#accuracyView", (d) => d.dataset.serial);
    const shown = await w.page.waitForSelector(
        "#accuracyView[open]:not([data-running]), #messageBox[open]", { timeout: patience });
    if (await shown.evaluate((box) => box.id === "accuracyView"))
        assert.equal(await shown.evaluate((view) => view.dataset.serial), serial);
    assert.equal(await shown.evaluate((box) => box.id === "messageBox" ?
        box.querySelector(".text").textContent : box.id), "accuracyView");
}

// Save System and Save Results are downloads, their texts the window's: the cases its tests
// read too.
const saveCases = JSON.parse(await readFile(new URL("../support/saveCases.json",
    import.meta.url), "utf8")).cases;
describe("saving", () => {
    windowTest("each case of the shared table downloads its file", async (w) => {
        const dir = await mkdtemp(path.join(fileDir, "saved-"));
        for (const { name, paste: text, option, key, file } of saveCases) {
            w.step(name);
            await paste(w, text);
            await w.idle();
            if (option) {
                await w.click(option);
                await w.click("Start");
                await w.idle();
            }
            const keys = key.split("+").map((k) => k === "Ctrl" ? "Control" : k);
            const saved = await w.download(() => chord(w, keys.slice(0, -1),
                `Key${keys.at(-1)}`), dir);
            assert.equal(await readFile(saved, "utf8"), file, name);
            await rm(saved);
        }
    });
});

describe("the exact solution", () => {
    windowTest("the view's commands are enabled as the window's, under its title", async (w) => {
        const reach = {
            nothing: async () => {},
            calculated: async () => {
                await w.click("submit_but");
                await w.idle();
                await w.click("Option1_0");
                await w.click("Start");
                await w.idle();
            },
            exact: async () => {
                await openAccuracyView(w, "txtGauss");
                await computeExact(w);
            await viewAfterCommand(w);
                await w.page.keyboard.press("Escape");
                await w.idle();
            },
        };
        let reached;
        for (const { state, box, enabled } of commandStates.states) {
            if (state !== reached)
                await reach[state]();
            reached = state;
            const view = await openAccuracyView(w, box);
            assert.equal(await view.$eval(".title", (e) => e.textContent), commandStates.title);
            const buttons = await view.$$eval("button[data-command]",
                (all) => all.map((b) => [b.dataset.command, !b.disabled]));
            assert.ok(buttons.length > 0);
            assert.deepEqual(buttons, buttons.map(([name]) => [name, enabled.has(name)]), state);
            await w.page.keyboard.press("Escape");
            await w.idle();
        }
    });

    const defaultSystem = async (w) => w.click("submit_but");
    // The system, and what the view says once the exact solution is in.
    for (const { name, bring, option, expected } of [
        { name: "the default system: 3, -6, 1; Gauss 11 ulps off, Cholesky exact",
            bring: defaultSystem,
            expected: [/\n {2}x1 = {3}3\n {2}x2 = {3}-6\n {2}x3 = {3}1\n/,
                /Gauss Elimination: largest error 11 units in the last place/,
                /Cholesky Decomposition: largest error 0 units in the last place/] },
        { name: "a random system of order 100 in 17-digit decimals: as written, then the methods against the doubles",
            bring: (w) => paste(w, spdText(100)),
            expected: [/\n {2}x100 \u2248 {3}\S+/,
                /Gauss Elimination against the doubles. solution: largest error \d+ units/] },
        // Not symmetric: Gauss alone.
        { name: "decimals as written: 7/3 and -2/3, then the doubles' own",
            bring: (w) => paste(w, "2\n0.1 0.2\n0.3 0.3\n0.1 0.5\n"), option: "Option1_0",
            expected: [/As written.*\n {2}x1 = {3}7\/3 .*\n {2}x2 = {3}-2\/3 /,
                /Rounding the input to doubles: largest error 1 unit in the last place/] },
        { name: "a system of order 100 in decimals of three places",
            bring: (w) => paste(w, decimalsText(100)), option: "Option1_0",
            expected: [/As written/, /\n {2}x100 [=\u2248] {3}\S+/,
                /Rounding the input to doubles: largest error/] },
        // Its request is larger than the exact Worker's stack.
        { name: "a system of order 300 in decimals of three places",
            bring: (w) => paste(w, decimalsText(300)), option: "Option1_0",
            expected: [/As written/, /\n {2}x300 [=\u2248] {3}\S+/] },
    ]) {
        windowTest(name, async (w) => {
            await calculateAndView(w, bring, option);
            assert.equal(await exactModuleLoaded(w), false, "loaded before it was asked for");
            assert.match(await viewText(w), /Not computed yet/);
            const started = Date.now();
            await computeExact(w);
            await viewAfterCommand(w);
            const text = await viewText(w);
            // A figure for the record, not a condition.
            console.log(`# exact solution, ${name}: ${Date.now() - started} ms`);
            for (const line of expected)
                assert.match(text, line);
            assert.doesNotMatch(text, /Not computed yet/);
            await w.page.keyboard.press("Escape");
            await w.idle();
            assert.ok(await w.noBoxOpen());
        });
    }

    windowTest("Cancel or Esc during a long solve leaves everything as it was",
        async (w) => {
            // Order 250: seconds of solving, so that the cancel comes while it runs. (At order
            // 280 or 300 the Worker fails within a fraction of a second with "memory access out
            // of bounds", a fault of the exact solve's own; a cancel that lost the race to that
            // message failed the test.)
            await calculateAndView(w, (w) => paste(w, spdText(250)));
            const before = {
                view: await viewText(w),
                boxes: await Promise.all(["txtGauss", "txtCholesky", "display"].map(w.text, w)),
            };
            // Cancel, then Esc, each once the Worker has the request: it cannot have finished
            // by then. No message box comes of either.
            for (const cancel of [
                () => w.page.$eval("#progressBox button.cancel", (button) => button.click()),
                () => w.page.keyboard.press("Escape"),
            ]) {
                await computeExact(w);
                await w.page.waitForSelector('#progressBox[open][data-state="running"]');
                await cancel();
                await viewAfterCommand(w);
                assert.equal(await viewText(w), before.view);
                assert.deepEqual(
                    await Promise.all(["txtGauss", "txtCholesky", "display"].map(w.text, w)),
                    before.boxes);
            }
            await w.page.keyboard.press("Escape");
            await w.idle();
            assert.ok(await w.noBoxOpen());
        });
});

// The open steps view's lines as it shows them, each a text or a pair side by side, gathered
// a page at a time with Page Down.
async function stepsViewLines(w) {
    const seen = new Map();
    for (;;) {
        const rows = await w.page.$$eval("#stepsView .lines > [data-line]", (all) => all.map(
            (row) => [Number(row.dataset.line), row.classList.contains("pair") ?
                [...row.children].map((half) => half.textContent) : row.textContent]));
        const before = seen.size;
        rows.forEach(([line, text]) => seen.set(line, text));
        if (seen.size === before)
            return [...seen.keys()].sort((a, b) => a - b).map((line) => seen.get(line));
        await w.page.keyboard.press("PageDown");
    }
}

const stepsCases = JSON.parse(await readFile(new URL("../support/stepsCases.json",
    import.meta.url), "utf8")).cases;
describe("steps", () => {
    windowTest("each case of the shared table shows its lines", async (w) => {
        for (const { name, paste: text, option, messages, exact, box, title, lines,
            beside = [] } of stepsCases) {
            w.step(name);
            await paste(w, text);
            await w.idle();
            await w.click(option);
            await w.click("Start");
            for (const message of messages) {
                assert.equal((await w.nextBox()).text, message);
                await w.pressOk();
            }
            await w.idle();
            if (exact) {
                await openAccuracyView(w, box);
                await computeExact(w);
            await viewAfterCommand(w);
                await w.page.keyboard.press("Escape");
                await w.idle();
                await w.seenAll();
            }
            await w.page.focus(`#${box}`);
            await chord(w, ["Control", "Shift"], "KeyE");
            const view = await w.nextBox();
            assert.deepEqual([view.kind, view.title], ["stepsView", title], name);
            const seen = await stepsViewLines(w);
            const shown = seen.map((line) => Array.isArray(line) ? line[0] : line);
            const fractions = seen.some(Array.isArray) ? seen.map((line) => line[1]) : null;
            for (const line of lines)
                assert.ok(shown.includes(line), `${name}: ${line}`);
            // A line of the doubles and the line of the fractions beside it.
            assert.equal(fractions !== null, beside.length > 0, name);
            for (const [left, right] of beside) {
                assert.equal(fractions.length, shown.length, name);
                assert.equal(fractions[shown.indexOf(left)], right, `${name}: ${left}`);
            }
            await w.page.keyboard.press("Escape");
            await w.idle();
        }
    });
});

const comparisonCases = JSON.parse(await readFile(new URL("../support/comparisonCases.json",
    import.meta.url), "utf8")).cases;
describe("side by side", () => {
    windowTest("each case of the shared table shows its digits", async (w) => {
        for (const { name, paste: text, option, refine, cells } of comparisonCases) {
            w.step(name);
            await paste(w, text);
            await w.idle();
            await w.click(option);
            await w.click("Start");
            await w.idle();
            await openAccuracyView(w, "display");
            await computeExact(w);
            await viewAfterCommand(w);
            if (refine) {
                await w.page.$eval("#accuracyView button.refineSolution", (b) => b.click());
                await viewAfterCommand(w);
            }
            for (const { unknown, column, correct, wrong, said } of cells) {
                const shown = await w.page.$eval("#accuracyView table.comparison",
                    (table, unknown, column) => {
                        const headings = [...table.tHead.rows[0].cells].map((c) => c.textContent);
                        const row = [...table.tBodies[0].rows].find((r) =>
                            r.cells[0].textContent === unknown);
                        const cell = row.cells[headings.indexOf(column)];
                        const part = (selector) => cell.querySelector(selector)?.textContent ?? "";
                        const marked = cell.querySelector(".wrong");
                        return { all: cell.textContent, wrong: part(".wrong"), said: part(".said"),
                                 red: marked ? getComputedStyle(marked).color : "" };
                    }, unknown, column);
                // The program's colour for wrong digits, #b00020, reaches the page's style.
                assert.deepEqual(shown, { all: correct + wrong + said, wrong, said,
                                          red: wrong ? "rgb(176, 0, 32)" : "" },
                    `${name}: ${unknown} ${column}`);
            }
            await w.page.keyboard.press("Escape");
            await w.idle();
        }
    });
});
