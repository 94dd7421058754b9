// What the browser build costs the machine: the CPU of headless Chromium's
// processes (the page's renderer, the GPU process, the rest), in per cent of
// one core, over 10 s of the title and 10 s of play with the beam held, and
// how many of the game's frames overran or began late. Then, as a peer in the
// same run, the same for a bare page that only shows a new 1280 x 720 picture
// in the same kind of canvas every 16 ms: what any page showing frames that
// size at that rate costs this browser, before a game draws anything.
// Run by tools/web-cpu.sh.
//   node web-cpu.js URL
"use strict";
const fs = require("fs");
const { execFileSync } = require("child_process");
const puppeteer = require("puppeteer-core");
const Sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function Processes(pid) {
  const children = execFileSync("pgrep", ["-P", String(pid)], { encoding: "utf8" })
    .split("\n").filter(Boolean).map(Number);
  return [pid].concat(...children.map((child) => { try { return Processes(child); } catch (e) { return [child]; } }));
}
function Ticks(pids) {
  const ticks = {};
  for (const pid of pids) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ");
      const kind = (fs.readFileSync(`/proc/${pid}/cmdline`, "utf8").match(/--type=([a-z-]+)/) || [])[1] || "browser";
      ticks[pid] = { kind, ticks: Number(fields[11]) + Number(fields[12]) };
    } catch (e) { /* ended meanwhile */ }
  }
  return ticks;
}
// The peer: the page's canvas settings, a few thousand pixels changed in
// each frame (so the whole picture goes in, as in play), the game's own way of
// waiting for the next frame's time.
const BARE_PAGE = `<!doctype html><body style="margin:0;background:#000">
<canvas id="canvas" width="1280" height="720"></canvas><script>
const context = document.getElementById("canvas").getContext("2d", { alpha: false, desynchronized: true });
const picture = new ImageData(1280, 720), words = new Uint32Array(picture.data.buffer);
const web = { frameWaits: 0, overranFrames: 0, lateFrames: 0 };
window.Module = { web };
let next = performance.now();
function Frame() {
  web.frameWaits++;
  for (let i = web.frameWaits % 97; i < words.length; i += 97) words[i] = 0xFF000000 | (i * web.frameWaits);
  context.putImageData(picture, 0, 0);
  next += 16;
  const wait = next - performance.now();
  if (wait < 0) web.lateFrames++;
  setTimeout(Frame, Math.max(0, wait));
}
Frame();
</script>`;

async function Measure(browser, page, label) {
  const pids = Processes(browser.process().pid);
  await page.evaluate(() => { Module.web.frameWaits = Module.web.overranFrames = Module.web.lateFrames = 0; });
  const before = Ticks(pids), start = Date.now();
  await Sleep(10000);
  const after = Ticks(pids), seconds = (Date.now() - start) / 1000;
  const share = {};
  for (const pid in after)
    if (before[pid]) share[after[pid].kind] = (share[after[pid].kind] || 0) + after[pid].ticks - before[pid].ticks;
  const frames = await page.evaluate(() => [Module.web.frameWaits, Module.web.overranFrames, Module.web.lateFrames]);
  const percent = (kind) => (100 * (share[kind] || 0) / 100 / seconds).toFixed(1);
  const others = Object.keys(share).filter((k) => k !== "renderer" && k !== "gpu-process")
    .reduce((sum, k) => sum + share[k], 0);
  console.log(`${label.padEnd(6)} renderer ${percent("renderer")} %, gpu ${percent("gpu-process")} %, ` +
              `others ${(others / seconds).toFixed(1)} %; ${frames[0]} frames, ${frames[1]} overran, ${frames[2]} late`);
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium", headless: true,
    args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required", "--mute-audio"]
  });
  try {
    const page = await browser.newPage();
    page.on("dialog", (dialog) => dialog.accept());  // leaving the game for the bare page
    await page.setViewport({ width: 1280, height: 720 });
    await page.goto(process.argv[2]);
    await page.click("#play");
    await page.waitForFunction(() => document.getElementById("canvas").style.display === "block", { timeout: 60000 });
    await Sleep(1500);
    await page.keyboard.press("KeyN");
    await Sleep(3000);
    await Measure(browser, page, "title");
    // START (the canvas fills this tab at 1280 x 720), then the beam held.
    await page.mouse.move(350, 580);
    await page.mouse.down();
    await Sleep(150);
    await page.mouse.up();
    await Sleep(5000);
    await page.mouse.move(700, 200);
    await page.mouse.down();
    await Measure(browser, page, "play");
    await page.mouse.up();
    await page.goto("about:blank");
    await page.setContent(BARE_PAGE);
    await Sleep(3000);
    await Measure(browser, page, "bare");
  } finally {
    await browser.close();
  }
})();
