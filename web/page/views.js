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

// Steps…: one method's steps as the program writes them, on a line view; resolves once closed
// and its copy has reached the clipboard. `text`: the steps in doubles; `fractions`: where
// known, those in exact fractions, of as many lines, each beside its like, which
// `fractionsTitle` names; `copy`: the text Copy copies.
let stepsLines = null;
async function stepsView(title, [text, fractions], fractionsTitle, copy) {
    const dialog = document.getElementById("stepsView");
    dialog.querySelector(".title").textContent = title;
    stepsLines ??= new LineView(dialog.querySelector(".text"));
    const doubles = linesOf(text);
    const beside = fractions ? linesOf(fractions) : null;
    const lines = beside ? doubles.map((line, i) => [line, beside[i] ?? ""]) : doubles;
    dialog.classList.toggle("pairs", beside !== null);
    if (beside)
        stepsLines.element.setAttribute("aria-description", fractionsTitle);
    else
        stepsLines.element.removeAttribute("aria-description");
    const shown = showModal(dialog, stepsLines.element, undefined, (finish, signal) => {
        dialog.querySelector("button.copy").addEventListener("click", () => copyText(copy),
            { signal });
        dialog.querySelector("button.close").addEventListener("click", () => finish(),
            { signal });
    });
    // Laid out once the box is open, where its lines have their height.
    stepsLines.show({ count: lines.length, lines: (first, n) => lines.slice(first, first + n),
        text: () => text });
    await shown;
    await copies;
}
