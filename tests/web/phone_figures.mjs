// Figures of the page on a phone profile, for bench/RESULTS.md: Lighthouse's scores
// (mobile, with its own throttling, and desktop), and the time from the address to the
// page ready to play (document.body.dataset.ready) on a first and a repeat visit, in
// headless Chromium emulating a mid-range phone (412 x 823 at ratio 1.75, touch) with
// Lighthouse's mobile throttling applied for real: the processor four times slower, a
// slow 4G network (150 ms round trips, 1.6 Mbit/s down). The page is served by Python's
// http.server on 127.0.0.1, as `make web-serve` serves it.
//
// usage: node phone_figures.mjs PAGE_FOLDER [RUNS]
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const [PAGE, RUNS = '3'] = process.argv.slice(2);
const runs = Number(RUNS);
const WORK = mkdtempSync(join(tmpdir(), 'fenwater-phone-figures-'));
for (const name of ['XDG_CONFIG_HOME', 'XDG_CACHE_HOME', 'XDG_DATA_HOME']) process.env[name] = join(WORK, name);
const LIGHTHOUSE = join(dirname(fileURLToPath(import.meta.url)), '..', 'node_modules', '.bin', 'lighthouse');
const CHROMIUM = '/usr/bin/chromium';
const port = 8400 + (process.pid % 500);
const url = `http://127.0.0.1:${port}/`;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const list = (values, digits = 0) => values.map((v) => v.toFixed(digits)).join(' / ');

function lighthouse(preset, run) {
    const out = join(WORK, `${preset}-${run}.json`);
    const args = [url, `--output=json`, `--output-path=${out}`, '--quiet',
        '--only-categories=performance,accessibility,best-practices',
        '--chrome-flags=--headless=new --no-sandbox --disable-gpu'];
    if (preset === 'desktop') args.push('--preset=desktop');
    const done = spawnSync(LIGHTHOUSE, args, { env: { ...process.env, CHROME_PATH: CHROMIUM }, stdio: 'ignore' });
    if (done.status !== 0) throw new Error(`lighthouse ${preset} failed`);
    const report = JSON.parse(readFileSync(out, 'utf8'));
    const audit = (name) => report.audits[name].numericValue;
    const tasks = report.audits['long-tasks'].details.items.map((t) => t.duration);
    return {
        performance: report.categories.performance.score * 100,
        accessibility: report.categories.accessibility.score * 100,
        practices: report.categories['best-practices'].score * 100,
        fcp: audit('first-contentful-paint'),
        lcp: audit('largest-contentful-paint'),
        tbt: audit('total-blocking-time'),
        cls: audit('cumulative-layout-shift'),
        longest: Math.max(0, ...tasks),
    };
}

// The page's time at ready, noted by a script put in before the page's own.
const NOTE_READY = `new MutationObserver(() => {
    if (!window.readyAt && document.body && document.body.dataset.ready) window.readyAt = performance.now();
}).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-ready'] });`;

async function visits(run) {
    const browser = await puppeteer.launch({
        executablePath: CHROMIUM,
        headless: true,
        userDataDir: join(WORK, `phone-${run}`),
        args: ['--no-sandbox', '--disable-gpu', '--no-first-run'],
    });
    try {
        const page = await browser.newPage();
        await page.emulate({
            viewport: { width: 412, height: 823, deviceScaleFactor: 1.75, isMobile: true, hasTouch: true },
            userAgent: 'Mozilla/5.0 (Linux; Android 11; moto g power) AppleWebKit/537.36 Mobile Safari/537.36',
        });
        const cdp = await page.createCDPSession();
        await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
        await page.emulateNetworkConditions({ download: (1.6e6 / 8) * 0.9, upload: (750e3 / 8) * 0.9, latency: 150 });
        await page.evaluateOnNewDocument(NOTE_READY);
        const ready = async () => {
            await page.waitForFunction(() => window.readyAt, { timeout: 60000, polling: 50 });
            return page.evaluate(() => window.readyAt);
        };
        await page.goto(url);
        const first = await ready();
        // The repeat visit: once the service worker has kept the page's files.
        await page.waitForFunction(
            () => {
                const file = `pictures/face-${document.getElementById('handheld').dataset.scale}x.bin`;
                return navigator.serviceWorker.controller && caches.match(file).then(Boolean);
            },
            { timeout: 120000, polling: 200 }
        );
        await page.reload();
        const repeat = await ready();
        const scale = await page.evaluate(() => document.getElementById('handheld').dataset.scale);
        return { first, repeat, scale };
    } finally {
        await browser.close();
    }
}

async function main() {
    const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', '--directory', PAGE, String(port)], {
        stdio: 'ignore',
    });
    try {
        for (let tries = 0; ; ++tries) {
            try {
                await fetch(url);
                break;
            } catch (error) {
                if (tries > 100) throw error;
                await new Promise((resolve) => setTimeout(resolve, 50));
            }
        }
        const wasm = await fetch(`${url}fenwater-core.wasm`);
        console.log(`fenwater-core.wasm served as ${wasm.headers.get('content-type')}`);
        for (const preset of ['mobile', 'desktop']) {
            const results = [];
            for (let run = 0; run < runs; ++run) results.push(lighthouse(preset, run));
            const of = (key, digits) => `${list(results.map((r) => r[key]), digits)} (median ${median(results.map((r) => r[key])).toFixed(digits)})`;
            console.log(`lighthouse ${preset}, ${runs} runs:`);
            console.log(`  performance ${of('performance')}, accessibility ${of('accessibility')}, ` +
                `best practices ${of('practices')}`);
            console.log(`  first paint ${of('fcp')} ms, largest paint ${of('lcp')} ms, blocking ${of('tbt')} ms, ` +
                `longest task ${of('longest')} ms, layout shift ${of('cls', 3)}`);
        }
        const phone = [];
        for (let run = 0; run < runs; ++run) phone.push(await visits(run));
        console.log(`phone profile, ready to play (pictures of scale ${phone[0].scale}), ${runs} runs:`);
        console.log(`  first visit ${list(phone.map((v) => v.first))} ms (median ${median(phone.map((v) => v.first)).toFixed(0)})`);
        console.log(`  repeat visit ${list(phone.map((v) => v.repeat))} ms (median ${median(phone.map((v) => v.repeat)).toFixed(0)})`);
    } finally {
        server.kill();
        rmSync(WORK, { recursive: true, force: true });
    }
}

main().catch((error) => {
    console.error(error);
    process.exitCode = 1;
});
