// The page's grouped check in one browser engine, the same steps in each: Chromium
// through its DevTools protocol and Firefox through WebDriver BiDi (both by
// puppeteer-core, with the browsers Debian ships), WebKit through WebKitGTK's own
// WebDriver and its MiniBrowser (by selenium-webdriver; the caller provides the X
// server). The page is served from 127.0.0.1; pictures are compared inside the page with
// fenwater-replay's render of the same moment.
//
// usage: node engines.mjs chromium|firefox|webkit PAGE_FOLDER FENWATER_REPLAY SOURCE_ROOT
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';

const [engine, PAGE, REPLAY, SOURCE] = process.argv.slice(2);
if (!['chromium', 'firefox', 'webkit'].includes(engine)) throw new Error(`no engine ${engine}`);
const WORK = mkdtempSync(join(tmpdir(), `fenwater-${engine}-`));
// The browsers keep what they write here, never in the user's own folders.
for (const name of ['XDG_CONFIG_HOME', 'XDG_CACHE_HOME', 'XDG_DATA_HOME']) process.env[name] = join(WORK, name);
let failures = 0;

let detail = () => '';
function check(what, ok) {
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${engine}: ${what}${ok ? '' : `: ${detail()}`}`);
    if (!ok) ++failures;
}

// --- The page and the reference pictures ------------------------------------------------

const TYPES = {
    '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.jpg': 'image/jpeg',
    '.svg': 'image/svg+xml', '.wav': 'audio/wav', '.txt': 'text/plain; charset=utf-8',
};

function serve() {
    const server = createServer((request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^\/+/, '');
        const file = path === '' || path.endsWith('/') ? `${path}index.html` : path;
        try {
            if (file.startsWith('..')) throw new Error(file);
            const body = readFileSync(join(PAGE, file));
            response.writeHead(200, { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream' });
            response.end(body);
        } catch {
            response.writeHead(404);
            response.end();
        }
    });
    return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const RECTS = {};
for (const m of readFileSync(join(SOURCE, 'core/elements.def'), 'utf8').matchAll(
    /FW_ELEMENT\((\w+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)/g
))
    RECTS[m[1]] = m.slice(2, 6).map(Number);
const centre = (name) => [RECTS[name][0] + RECTS[name][2] / 2, RECTS[name][1] + RECTS[name][3] / 2];

// fenwater-replay's render of a script's end, at a scale, as a data URL.
const renders = new Map();
function render(script, scale) {
    const key = `${scale}:${script}`;
    if (!renders.has(key)) {
        const end = Math.max(...script.split('\n').map((line) => Number(line.split(' ')[0])));
        const png = join(WORK, 'render.png');
        writeFileSync(join(WORK, 's.replay'), `${script}\n${end} png ${png} ${scale}\n`);
        const run = spawnSync(REPLAY, [join(WORK, 's.replay')], { stdio: 'ignore' });
        if (run.status !== 0) throw new Error(`fenwater-replay failed on ${script}`);
        renders.set(key, `data:image/png;base64,${readFileSync(png).toString('base64')}`);
    }
    return renders.get(key);
}

// Run in the page: how many pixels of the canvas differ from a picture within a
// rectangle of window pixels, the whole face when none (-1 for another size).
async function differing(url, rect) {
    const canvas = document.getElementById('handheld');
    const s = Number(canvas.dataset.scale);
    const image = new Image();
    image.src = url;
    await image.decode();
    if (image.width !== canvas.width || image.height !== canvas.height) return -1;
    const c = document.createElement('canvas');
    c.width = image.width;
    c.height = image.height;
    const g = c.getContext('2d');
    g.drawImage(image, 0, 0);
    const [x, y, w, h] = rect ? rect.map((v) => v * s) : [0, 0, c.width, c.height];
    const a = g.getImageData(x, y, w, h).data;
    const b = canvas.getContext('2d').getImageData(x, y, w, h).data;
    let differ = 0;
    for (let i = 0; i < a.length; i += 4) if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) ++differ;
    return differ;
}

// Run in the page: the page point of a window pixel (page_point.js).
const pagePoint = new Function(`return (${readFileSync(new URL('page_point.js', import.meta.url), 'utf8')})`)();

// --- The drivers ---------------------------------------------------------------------

async function puppeteerDriver() {
    const { default: puppeteer } = await import('puppeteer-core');
    const firefox = engine === 'firefox';
    const browser = await puppeteer.launch({
        browser: firefox ? 'firefox' : 'chrome',
        executablePath: firefox ? '/usr/bin/firefox-esr' : '/usr/bin/chromium',
        headless: true,
        userDataDir: join(WORK, 'profile'),
        args: firefox ? [] : ['--no-sandbox', '--disable-gpu', '--no-first-run'],
    });
    const page = await browser.newPage();
    await page.setViewport({ width: 652, height: 443, deviceScaleFactor: 1 });
    return {
        go: (url) => page.goto(url),
        run: (fn, ...args) => page.evaluate(fn, ...args),
        key: (name) => page.keyboard.press(name),
        mouse: async (x, y, button, down) => {
            await page.mouse.move(x, y);
            await (down ? page.mouse.down({ button }) : page.mouse.up({ button }));
        },
        quit: () => browser.close(),
    };
}

// WebKitGTK's MiniBrowser, in the library folder of the machine's architecture.
function miniBrowser() {
    for (const arch of readdirSync('/usr/lib'))
        for (const version of ['webkit2gtk-4.1', 'webkit2gtk-4.0']) {
            const path = join('/usr/lib', arch, version, 'MiniBrowser');
            if (existsSync(path)) return path;
        }
    throw new Error('no MiniBrowser under /usr/lib');
}

async function webkitDriver() {
    const { Builder, Button, Key } = await import('selenium-webdriver');
    const port = await new Promise((resolve) => {
        const probe = createServer().listen(0, '127.0.0.1', () => {
            const { port: free } = probe.address();
            probe.close(() => resolve(free));
        });
    });
    const server = spawn('/usr/bin/WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
    process.on('exit', () => server.kill()); // also when the session cannot be had
    const session = () =>
        new Builder()
            .usingServer(`http://127.0.0.1:${port}`)
            .withCapabilities({
                browserName: 'MiniBrowser',
                'webkitgtk:browserOptions': { binary: miniBrowser(), args: ['--automation'] },
            })
            .build();
    // The driver's port opens a moment after it starts; a session that cannot start at all
    // (no X server, say) is given up after 30 s.
    const end = Date.now() + 30000;
    let driver = null;
    while (!driver) {
        let timer = 0;
        const late = new Promise((resolve) => (timer = setTimeout(resolve, end - Date.now())));
        try {
            driver = await Promise.race([session(), late]);
        } catch {
            await new Promise((resolve) => setTimeout(resolve, 100));
        } finally {
            clearTimeout(timer);
        }
        if (!driver && Date.now() >= end) throw new Error('no WebKit session within 30 s');
    }
    const keys = { ArrowRight: Key.ARROW_RIGHT, ArrowLeft: Key.ARROW_LEFT, Escape: Key.ESCAPE };
    const buttons = { left: Button.LEFT, right: Button.RIGHT };
    return {
        go: (url) => driver.get(url),
        run: (fn, ...args) => driver.executeScript(`return (${fn}).apply(null, arguments)`, ...args),
        key: (name) => driver.actions().keyDown(keys[name]).keyUp(keys[name]).perform(),
        mouse: (x, y, button, down) => {
            const moved = driver.actions().move({ x: Math.round(x), y: Math.round(y), origin: 'viewport' });
            return (down ? moved.press(buttons[button]) : moved.release(buttons[button])).perform();
        },
        quit: async () => {
            await driver.quit();
            server.kill();
        },
    };
}

// --- The steps ----------------------------------------------------------------------------

async function eventually(probe, seconds = 5) {
    const end = Date.now() + seconds * 1000;
    for (;;) {
        const answer = await probe();
        if (answer || Date.now() > end) return answer;
        await new Promise((resolve) => setTimeout(resolve, 30));
    }
}

async function main() {
    const server = await serve();
    const url = `http://127.0.0.1:${server.address().port}/`;
    const d = await (engine === 'webkit' ? webkitDriver() : puppeteerDriver()).catch((error) => {
        server.close();
        rmSync(WORK, { recursive: true, force: true });
        throw error;
    });
    const scale = () => d.run(() => Number(document.getElementById('handheld').dataset.scale));
    let lastDiffer = null; // what the last comparison found, for a failure's message
    const same = async (script, rect = null) => {
        lastDiffer = `${await d.run(differing, render(script, await scale()), rect)} pixels differ at scale ${await scale()}`;
        return lastDiffer.startsWith('0 ');
    };
    const shown = (id) => d.run((which) => !document.getElementById(which).hidden, id);
    detail = () => `${lastDiffer}; ${new Date().toISOString()}`;
    const mouse = async (name, button, down) => d.mouse(...(await d.run(pagePoint, ...centre(name))), button, down);
    const POWER_ON = '0 dump';
    const GAME_B = '0 key down 39\n0 key up 39\n100 dump';
    const ACL_HELD = '0 mouse down Puls_ACL left 6 6';
    try {
        await d.go(url);
        if (!(await eventually(() => d.run(() => document.body.dataset.ready), 15))) throw new Error('never ready');
        check('the power-on face equals the replay render', await same(POWER_ON));

        // Before Play the face takes nothing: ACL held by the mouse leaves it as it is.
        await mouse('Puls_ACL', 'left', true);
        const untouched = await same(POWER_ON);
        await mouse('Puls_ACL', 'left', false);
        check('before Play a press on ACL changes nothing', untouched && (await shown('launcher')));

        await d.run(() => {
            const list = document.getElementById('CB_Sound');
            list.selectedIndex = list.options.length - 1; // (no sound)
            list.dispatchEvent(new Event('change'));
        });
        const play = await d.run(() => {
            const r = document.getElementById('Puls_Play').getBoundingClientRect();
            return [r.left + r.width / 2, r.top + r.height / 2];
        });
        await d.mouse(...play, 'left', true);
        await d.mouse(...play, 'left', false);
        check('Play closes the launcher', await eventually(async () => !(await shown('launcher'))));

        await d.key('ArrowRight');
        check('the right arrow starts game B', await eventually(() => same(GAME_B, RECTS.Im_GameB)));

        await mouse('Puls_ACL', 'left', true);
        check('ACL held by the mouse blanks the face', await eventually(() => same(ACL_HELD)));
        await mouse('Puls_ACL', 'left', false);
        check('ACL released shows the power-on pattern', await eventually(() => same(POWER_ON)));

        // The menu where the browser would open its own: a right click on the case.
        await mouse('Im_GameA', 'right', true);
        await mouse('Im_GameA', 'right', false);
        check('a right click opens the menu', await eventually(() => shown('menu')));
        await d.key('Escape');
        check('Esc closes the menu', await eventually(async () => !(await shown('menu'))));
        await mouse('Im_GameA', 'right', true);
        await mouse('Im_GameA', 'right', false);
        await eventually(() => shown('menu'));
        const about = await d.run(() => {
            const r = document.querySelector('#menu [data-item=about]').getBoundingClientRect();
            return [r.left + r.width / 2, r.top + r.height / 2];
        });
        await d.mouse(...about, 'left', true);
        await d.mouse(...about, 'left', false);
        check('the menu opens the about window', await eventually(() => shown('about')));
        await d.key('Escape');
        check('Esc closes it, and the game is at the power-on pattern still',
            (await eventually(async () => !(await shown('about')))) && (await same(POWER_ON)));
    } finally {
        await d.quit();
        server.close();
        rmSync(WORK, { recursive: true, force: true });
    }
    console.log(`${engine}: ${failures ? `${failures} failed` : 'all passed'}`);
    process.exitCode = failures ? 1 : 0;
}

main().then(
    () => process.exit(),
    (error) => {
        console.error(error);
        process.exit(1);
    }
);
