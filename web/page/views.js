// The accuracy view: its text, its tables side by side as the program writes them (escaped), its
// commands' buttons enabled where `enabled` names them; the focus in the text, for the keys.
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
    side.onscroll = showRows;
    const shown = showModal(dialog, report);
    showRows(); // now that the view is open and its rows have their height
    await shown.then(() => copies);
}

// Steps…: one method's steps, `count` lines on a line view; `fractionsTitle` names the steps in
// exact fractions beside them, where they are. Resolves once closed and copied.
let stepsLines = null;
async function stepsView(title, count, fractionsTitle, copy) {
    const dialog = document.getElementById("stepsView");
    dialog.querySelector(".title").textContent = title;
    dialog.querySelector(".copy").onclick = () => copyText(copy);
    stepsLines ??= new LineView(dialog.querySelector(".text"), "stepsView-text");
    dialog.classList.toggle("pairs", fractionsTitle !== "");
    stepsLines.element.ariaDescription = fractionsTitle || null;
    const shown = showModal(dialog, stepsLines.element);
    stepsLines.show(count); // now that the view is open and its rows have their height
    await shown.then(() => copies);
}
