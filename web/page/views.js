// The views the program shows and waits for: the accuracy view with its tables side by side,
// and the steps view.

// The accuracy view of the last Calculate: its text, and its tables side by side (`markup`),
// which the program writes, escaping every text in them; its commands' buttons enabled where
// `enabled` names them. The focus starts in the text, so that the keys select and copy it.
async function accuracyView(text, markup, enabled) {
    const dialog = document.getElementById("accuracyView");
    const report = dialog.querySelector(".text");
    const side = dialog.querySelector(".side");
    report.value = text;
    side.innerHTML = markup;
    report.setSelectionRange(0, 0);
    report.scrollTop = side.scrollTop = 0;
    for (const button of dialog.querySelectorAll("[data-command]"))
        button.disabled = !enabled.split(" ").includes(button.dataset.command);
    // The table of the unknowns holds the rows that the program writes as they come into sight.
    const body = side.querySelector("table.comparison > tbody");
    let height = 0;
    const showRows = () => {
        height ||= body?.rows[0]?.getBoundingClientRect().height ?? 0;
        const rows = body && callNow("comparisonRows",
            side.getBoundingClientRect().top - body.getBoundingClientRect().top,
            side.clientHeight, height);
        if (rows !== null)
            body.innerHTML = rows;
    };
    showRows();
    await showModal(dialog, report, null, (finish, signal) => {
        side.addEventListener("scroll", showRows, { signal });
        queueMicrotask(showRows); // once the view is open and its rows have their height
    });
    await copies;
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
