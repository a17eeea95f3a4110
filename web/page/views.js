// The views the program shows and waits for: the accuracy view with its tables side by side,
// and the steps view.

// The accuracy view of the last Calculate, its text and tables (`markup`) the program's;
// resolves once closed, with 0, or with 1 + the place of the long command it was closed to
// run (Compute Exact Solution, Refine Solution), and not before its copies have reached the
// clipboard. Its copies are the program's commands. The focus starts in the text, so that the
// keys select and copy it. Its commands' buttons are enabled as the program says when it
// opens.
async function accuracyView(text, markup) {
    const dialog = document.getElementById("accuracyView");
    const report = dialog.querySelector(".text");
    report.value = text;
    // The program writes the tables, escaping every text it puts in them.
    const side = dialog.querySelector(".side");
    side.innerHTML = markup;
    side.scrollTop = 0;
    const showRows = comparisonRows(side);
    report.setSelectionRange(0, 0);
    report.scrollTop = 0;
    const close = dialog.querySelector("button.close");
    const enabled = enabledCommands();
    const ending = await showModal(dialog, report, undefined, (finish, signal) => {
        for (const button of dialog.querySelectorAll("button[data-command]")) {
            const name = button.dataset.command;
            button.disabled = !enabled.has(name);
            button.addEventListener("click", () => {
                if (button.disabled)
                    return;
                const place = commands.findIndex((command) => command.name === name);
                if (commands[place].long)
                    finish(place + 1);
                else
                    callNow("runCommand", name, "");
            }, { signal });
        }
        close.addEventListener("click", () => finish(), { signal });
        side.addEventListener("scroll", showRows, { signal });
        queueMicrotask(showRows); // once the view is open and its rows have their height
    });
    await copies;
    return ending ?? 0;
}

// The table of the unknowns holds the rows in sight and some around them, which the program
// writes as they come into sight, blank rows of the same height standing for the others:
// 3000 unknowns open and scroll as fast as 30. Returns what shows the rows for where the
// table has scrolled to.
function comparisonRows(side) {
    const table = side.querySelector("table.comparison");
    if (table === null)
        return () => {};
    const rows = Number(table.dataset.rows);
    const body = table.tBodies[0];
    const columns = table.tHead.rows[0].cells.length;
    const around = 40;
    const spacer = (height) => height <= 0 ? "" : `<tr class="spacer" aria-hidden="true">` +
        `<td colspan="${columns}" style="height: ${height}px"></td></tr>`;
    const rowsFrom = (first, count) => callNow("comparisonRows", first, count) ?? "";
    let rowHeight = 0;
    let shown = -1;
    body.innerHTML = rowsFrom(0, 2 * around);
    return () => {
        if (rowHeight === 0) {
            rowHeight = body.querySelector("tr:not(.spacer)")?.getBoundingClientRect().height ?? 0;
            if (rowHeight === 0)
                return;
        }
        const into = side.getBoundingClientRect().top - body.getBoundingClientRect().top;
        const first = Math.max(0, Math.min(rows - 1, Math.floor(into / rowHeight) - around));
        if (shown >= 0 && Math.abs(first - shown) < around / 2)
            return;
        const count = Math.ceil(side.clientHeight / rowHeight) + 2 * around;
        body.innerHTML = spacer(first * rowHeight) + rowsFrom(first, count) +
            spacer((rows - first - count) * rowHeight);
        shown = first;
    };
}

// Steps…: one method's steps, `count` lines on a line view; `fractionsTitle` names the steps in
// exact fractions beside them, where they are. Resolves once closed and copied.
let stepsLines = null;
async function stepsView(title, count, fractionsTitle, copy) {
    const dialog = document.getElementById("stepsView");
    dialog.querySelector(".title").textContent = title;
    stepsLines ??= new LineView(dialog.querySelector(".text"), "stepsView-text");
    dialog.classList.toggle("pairs", fractionsTitle !== "");
    stepsLines.element.ariaDescription = fractionsTitle || null;
    const shown = showModal(dialog, stepsLines.element, undefined, (finish, signal) => {
        dialog.querySelector(".copy").addEventListener("click", () => copyText(copy), { signal });
        dialog.querySelector(".close").addEventListener("click", () => finish(), { signal });
    });
    stepsLines.show(count);
    await shown.then(() => copies);
}
