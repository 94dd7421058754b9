// The records board's page and its Watch link in headless Chromium: a run
// sent to a real board server is listed under a name full of markup, shown
// as text; its Watch link opens the browser build served by the board, which
// fetches the run's recording and plays it showing the harness's frames for
// the same recording bit for bit. A run the board does not have, a run
// number that is none and a recording that is no recording each get a
// message, never a crash. Pictures of the page and of the run being watched
// go to OUT_DIR.
//   node test_board_web.js BOARD_URL RECORDING HASHES OUT_DIR    (tests/test_web.sh runs it)
"use strict";
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

const [board, recordingPath, hashesPath, outDir] = process.argv.slice(2);
const failures = [];
function Check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures.push(what);
}

const Sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
async function Until(test, ms) {
  for (const end = Date.now() + ms; !test() && Date.now() < end;) await Sleep(20);
}

// Markup, an ampersand and quotes: shown as they are, never as HTML.
const NAME = "<i>\"Ann\"</i>&Co";

async function SubmitRun() {
  const response = await fetch(board + "/api/v1/runs", {
    method: "POST", body: fs.readFileSync(recordingPath),
    headers: { "Content-Type": "application/octet-stream", "X-Player-Name": NAME,
               "X-Player-Key": "0123456789abcdef0123456789abcdef" }
  });
  const body = await response.text();
  Check(response.status === 201, `the run is ranked (${response.status} ${body})`);
  return JSON.parse(body).id;
}

// A page of its own that fails the test on any script error.
async function NewPage(browser, errors, width, height) {
  const page = await browser.newPage();
  page.on("pageerror", (e) => errors.push(e.message));
  await page.setViewport({ width, height });
  return page;
}

// The page says why it cannot play, and offers nothing to click.
async function CheckRefused(browser, errors, query, said) {
  const page = await NewPage(browser, errors, 960, 540);
  await page.goto(board + "/play/" + query);
  await page.waitForFunction(() => Module.web.refused !== undefined, { timeout: 10000 });
  const shown = await page.evaluate(() => ({ status: document.getElementById("status").textContent,
    play: document.getElementById("play").offsetWidth > 0 }));
  Check(shown.status === said && !shown.play, `${query} says "${said}" (${JSON.stringify(shown)})`);
  await page.close();
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium", headless: true,
    args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required", "--mute-audio"]
  });
  const errors = [];
  try {
    const id = await SubmitRun();

    // ---- the page of every board ----
    const page = await NewPage(browser, errors, 900, 640);
    const response = await page.goto(board + "/");
    const html = await response.text();
    const entry = await page.evaluate(() => {
      const row = document.querySelector("table tr:nth-child(2)");
      const link = row && row.querySelector("a");
      return { name: row && row.cells[1].textContent, italics: document.querySelectorAll("i").length,
               watch: link && link.textContent, href: link && link.getAttribute("href") };
    });
    Check(entry.name === NAME && entry.italics === 0 && html.includes("&lt;i&gt;&quot;Ann&quot;&lt;/i&gt;&amp;Co"),
          `the name is escaped and shown as it was given (${JSON.stringify(entry)})`);
    Check(entry.watch === "Watch" && entry.href === `/play/?run=${id}`, `the entry's Watch link plays its run (${entry.href})`);
    await page.screenshot({ path: path.join(outDir, "board-page.png") });

    // ---- its Watch link, with the frames' hashes on the console ----
    const expected = fs.readFileSync(hashesPath, "utf8").trim().split("\n");
    const hashes = [];
    page.on("console", (m) => { const t = m.text(); if (t.startsWith("hash ")) hashes.push(t.slice(5)); });
    await page.setViewport({ width: 800, height: 450 });
    await Promise.all([page.waitForNavigation(), page.click("table a")]);
    await page.goto(page.url() + "&hashes");
    Check((await page.$eval("#play", (b) => b.textContent)) === `Click to watch run ${id}`, "the page offers to watch the run");
    await page.click("#play");
    await Until(() => hashes.length >= expected.length / 2, 60000);
    await page.screenshot({ path: path.join(outDir, "board-watch.png") });
    await Until(() => hashes.length >= expected.length, 60000);
    let firstDifferent = -1;
    for (let i = 0; i < expected.length; i++) if (hashes[i] !== expected[i]) { firstDifferent = i; break; }
    Check(firstDifferent < 0, `the watched run shows the harness's ${expected.length} frames of its recording` +
          (firstDifferent < 0 ? "" : ` (first difference: line ${firstDifferent + 1}: ${hashes[firstDifferent]} ` +
                                     `against ${expected[firstDifferent]})`));
    // Escape leaves the replay; the page then leads back to the board.
    await page.keyboard.down("Escape");
    await Sleep(150);
    await page.keyboard.up("Escape");
    await page.waitForFunction(() => Module.web.ended !== undefined, { timeout: 10000 });
    Check(await page.$eval("#status a", (a) => a.getAttribute("href")) === "../", "after the replay the page leads back to the board");
    await page.close();

    // ---- what cannot be watched ----
    await CheckRefused(browser, errors, "?run=999999", "The board has no run 999999.");
    await CheckRefused(browser, errors, "?run=1%3Cb%3E", "\"1<b>\" is not the number of a run.");
    // A recording that is no recording: the game's own reading refuses it in its box.
    const bad = await NewPage(browser, errors, 960, 540);
    await bad.setRequestInterception(true);
    bad.on("request", (request) => request.url().includes("/recording")
      ? request.respond({ status: 200, contentType: "application/octet-stream", body: "prismveldt-replay 1\nstage 77\n" })
      : request.continue());
    await bad.goto(board + `/play/?run=${id}`);
    await bad.click("#play");
    await bad.waitForFunction(() => Module.web && Module.web.boxOpen && Module.web.boxOpen(), { timeout: 60000 });
    await bad.keyboard.press("Enter");
    await bad.waitForFunction(() => Module.web.ended !== undefined, { timeout: 10000 });
    const refused = await bad.evaluate(() => ({ ended: Module.web.ended, frames: Module.web.framesShown,
      status: document.getElementById("status").textContent }));
    Check(refused.ended !== 0 && refused.frames === 0 && refused.status.startsWith("The run could not be played."),
          `a recording that is no recording is refused in a box, and nothing is played (${JSON.stringify(refused)})`);
    await bad.close();
    Check(errors.length === 0, "no script errors" + (errors.length ? ": " + errors.join("; ") : ""));
  } finally {
    await browser.close();
  }
  console.log(failures.length ? `test_board_web: ${failures.length} failed` : "test_board_web: all passed");
  process.exit(failures.length ? 1 : 0);
})().catch((error) => { console.log("FAIL " + error.stack); process.exit(1); });
