// The records board's page and its Watch link in headless Chromium: a run
// sent to a real board server is listed under a name full of markup, shown
// as text; its Watch link opens the browser build served by the board, which
// fetches the run's recording and plays it showing the harness's frames for
// the same recording bit for bit. A run the board does not have, a run
// number that is none and a recording that is no recording each get a
// message, never a crash. Then the browser build, with online records on
// and the board as its server, plays the stage 1 replay and sends its best
// through fetch: the board ranks it. Pictures of the page and of the run
// being watched go to OUT_DIR.
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
const KEY = "0123456789abcdef0123456789abcdef";

async function SubmitRun() {
  const response = await fetch(board + "/api/v1/runs", {
    method: "POST", body: fs.readFileSync(recordingPath),
    headers: { "Content-Type": "application/octet-stream", "X-Player-Name": NAME,
               "X-Player-Key": KEY }
  });
  const body = await response.text();
  Check(response.status === 201, `the run is ranked (${response.status} ${body})`);
  return { body };
}

// The stage 1 replay played in the browser build served by the board, with
// online records on and the board's own origin as the server: the game's
// fetch sends the new best, the board ranks exactly the run the game kept,
// and the results show its world rank once the answer is in, the frames
// being the offline game's until then (the harness's, in stage1-long.hashes
// beside HASHES: the replay left on its results longer, for the answer).
async function PlayOnline(browser, errors, earlier) {
  const PLAYER = "Web Kestrel";
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const hashes = [], trace = [];
  page.on("console", (m) => {
    const t = m.text();
    if (t.startsWith("hash ")) hashes.push(t.slice(5));
    if (t.startsWith("trace ")) { try { trace.push(JSON.parse(t.slice(6))); } catch (e) { errors.push(t); } }
  });
  page.on("pageerror", (e) => errors.push(e.message));
  await page.setViewport({ width: 1280, height: 720 });
  const settings = `online = on\nonline_name = ${PLAYER}\nonline_server = ${board}\n`;
  await page.goto(board + "/play/?hashes&trace&script=stage1-long-script.txt&settings=" +
                  encodeURIComponent("data:text/plain," + encodeURIComponent(settings)));
  await page.click("#play");
  await page.waitForFunction(() => Module.web && Module.web.ended !== undefined, { timeout: 120000, polling: 250 });
  const kept = await page.evaluate(() => {
    try { return Array.from(FS.readFile("/game/txt/stage1-rank1.replay")); } catch (e) { return null; }
  });
  await context.close();

  const answer = await fetch(board + "/api/v1/boards/" + earlier.stage_hash);
  const entries = answer.ok ? (await answer.json()).entries : [];
  const mine = entries.find((e) => e.name === PLAYER);
  Check(mine !== undefined && mine.time_ms === earlier.time_ms,
        `the board ranks the browser's run under its name and time (${JSON.stringify(entries)})`);
  const recording = mine ? await fetch(board + `/api/v1/runs/${mine.run}/recording`) : null;
  const sent = recording && recording.ok ? Array.from(new Uint8Array(await recording.arrayBuffer())) : [];
  Check(kept !== null && sent.length === kept.length && sent.every((b, i) => b === kept[i]),
        `the board's run is the recording the game kept (${sent.length} bytes, kept ${kept && kept.length})`);

  const offline = fs.readFileSync(path.join(path.dirname(hashesPath), "stage1-long.hashes"), "utf8").trim().split("\n");
  const results = trace.find((line) => line.scene === "results");
  let firstDifferent = -1;
  for (let i = 0; i < Math.min(offline.length, hashes.length); i++)
    if (offline[i] !== hashes[i]) { firstDifferent = parseInt(hashes[i], 10); break; }
  Check(results !== undefined && firstDifferent > results.n && hashes.length === offline.length,
        `the frames are the offline game's until the results show the world rank (${hashes.length} frames ` +
        `of ${offline.length}, results from frame ${results && results.n}, first difference at frame ${firstDifferent})`);
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
    const submitted = await SubmitRun();
    const id = JSON.parse(submitted.body).id;

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
    // The browser plays the very inputs sent above, which the board ranks for
    // one player only: that player leaves first.
    const left = await fetch(board + "/api/v1/players/me", { method: "DELETE", headers: { "X-Player-Key": KEY } });
    Check(left.status === 200, `the first player leaves the board (${left.status})`);
    await PlayOnline(browser, errors, JSON.parse(submitted.body));
    Check(errors.length === 0, "no script errors" + (errors.length ? ": " + errors.join("; ") : ""));
  } finally {
    await browser.close();
  }
  console.log(failures.length ? `test_board_web: ${failures.length} failed` : "test_board_web: all passed");
  process.exit(failures.length ? 1 : 0);
})().catch((error) => { console.log("FAIL " + error.stack); process.exit(1); });
