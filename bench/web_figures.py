#!/usr/bin/python3
"""Figures of the page in headless Chromium, served from 127.0.0.1.

usage: web_figures.py PAGE_FOLDER [BUILD_FOLDER] [SECONDS]

Measured from outside the page: a script put in before the page's own notes when the
launcher appears, wraps the core's advance to time each wake-up against the tick it
was due for, and times each key from the browser's event to the canvas drawn and to
the next frame. With BUILD_FOLDER, the desktop timer host's lateness is measured in the
same run (bench/fenwater_timer_fidelity). SECONDS (default 20) is each timed stretch.
"""
import functools
import gzip
import http.server
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

PAGE = sys.argv[1]
BUILD = sys.argv[2] if len(sys.argv) > 2 else None
SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 20.0
WORK = tempfile.mkdtemp(prefix='fenwater-web-bench-')
os.environ['XDG_CONFIG_HOME'] = os.path.join(WORK, 'config')

PROBE = r"""
window.__bench = { ready: 0, wakes: [], keys: [], paints: 0 };
new MutationObserver(() => {
    if (!window.__bench.ready && document.body && document.body.dataset.ready)
        window.__bench.ready = performance.now();
}).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-ready'] });
let factory;
Object.defineProperty(window, 'FenwaterCore', {
    configurable: true,
    get() { return factory; },
    set(f) {
        factory = (arg) => f(arg).then((core) => {
            // The loader replaces its export on the first call: put the wrapper back.
            const advance = core._fw_advance;
            const timed = (now) => {
                const due = core._fw_next_wake();
                window.__bench.wakes.push([performance.now(), due]);
                const result = advance(now);
                core._fw_advance = timed;
                return result;
            };
            core._fw_advance = timed;
            return core;
        });
    },
});
let pendingKey = null;
document.addEventListener('keydown', (e) => { pendingKey = { at: e.timeStamp }; }, true);
const draw = CanvasRenderingContext2D.prototype.drawImage;
CanvasRenderingContext2D.prototype.drawImage = function (...args) {
    if (pendingKey && this.canvas.id === 'handheld') {
        const key = pendingKey;
        pendingKey = null;
        key.drawn = performance.now();
        requestAnimationFrame(() => { key.frame = performance.now(); window.__bench.keys.push(key); });
    }
    return draw.apply(this, args);
};
"""


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def browser(name):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for arg in ('--headless=new', '--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required',
                f'--user-data-dir={os.path.join(WORK, name)}', '--no-first-run'):
        options.add_argument(arg)
    d = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                      {'width': 652, 'height': 443, 'deviceScaleFactor': 1, 'mobile': False})
    d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': PROBE})
    d.execute_cdp_cmd('Performance.enable', {})
    return d


def wait_for(d, script, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        if d.execute_script(script):
            return
        time.sleep(0.02)
    raise AssertionError('timed out: ' + script)


def spread(values):
    values = sorted(values)
    if not values:
        return 'none'
    p99 = values[min(len(values) - 1, int(0.99 * len(values)))]
    return f'median {statistics.median(values):.2f} ms, p99 {p99:.2f} ms, max {values[-1]:.2f} ms over {len(values)}'


def key(d, code, name):
    for kind in ('rawKeyDown', 'keyUp'):
        d.execute_cdp_cmd('Input.dispatchKeyEvent', {'type': kind, 'key': name, 'code': name,
                                                      'windowsVirtualKeyCode': code})


def cpu(d):
    metrics = {m['name']: m['value'] for m in d.execute_cdp_cmd('Performance.getMetrics', {})['metrics']}
    return metrics['TaskDuration']


def main():
    httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Quiet, directory=PAGE))
    threading.Thread(target=httpd.serve_forever, daemon=True).start()
    url = f'http://127.0.0.1:{httpd.server_address[1]}/'
    d = browser('bench')
    try:
        # Transfer of a first visit, and the same files compressed (gzip -9) as a web
        # host that compresses would send them.
        d.get(url)
        wait_for(d, 'return window.__bench.ready')
        entries = d.execute_script(
            "return [performance.getEntriesByType('navigation')[0],"
            " ...performance.getEntriesByType('resource')]"
            ".map((e) => [e.name, e.transferSize, e.encodedBodySize])")
        files = sorted({re.sub(r'^https?://[^/]+/', '', e[0]) or 'index.html' for e in entries})
        raw = sum(os.path.getsize(os.path.join(PAGE, f)) for f in files)
        packed = sum(len(gzip.compress(open(os.path.join(PAGE, f), 'rb').read(), 9)) for f in files)
        print(f'transfer, first visit: {len(files)} files, {raw / 1024:.0f} KiB as served, '
              f'{packed / 1024:.0f} KiB compressed')

        # Load to the launcher shown: the first visit, then reloads (the browser's cache
        # and the service worker answer).
        # The launcher is part of the page: it shows with the first paint; the handheld
        # is ready to play once the core runs and its pictures are painted.
        first_paint = "return performance.getEntriesByType('paint').map((e) => e.startTime)[0]"
        shown = [d.execute_script(first_paint)]
        ready = [d.execute_script('return window.__bench.ready')]
        for _ in range(9):
            d.refresh()
            wait_for(d, 'return window.__bench.ready')
            shown.append(d.execute_script(first_paint))
            ready.append(d.execute_script('return window.__bench.ready'))
        print(f'load to launcher shown (first paint): first {shown[0]:.0f} ms; reloads {spread(shown[1:])}')
        print(f'load to ready to play: first {ready[0]:.0f} ms; reloads {spread(ready[1:])}')

        # Tick lateness in game B, and keys to the canvas.
        d.execute_script("document.querySelector('#CB_Sound').selectedIndex = 2;"
                         "document.querySelector('#Puls_Play').disabled = false;"
                         "document.querySelector('#Puls_Play').click()")
        wait_for(d, "return document.getElementById('launcher').hidden")
        key(d, 39, 'ArrowRight')
        time.sleep(1.5)
        d.execute_script('window.__bench.wakes = []; window.__bench.keys = []')
        end = time.time() + SECONDS
        left = True
        while time.time() < end:
            key(d, 37 if left else 39, 'ArrowLeft' if left else 'ArrowRight')
            left = not left
            time.sleep(0.15)
        wakes = d.execute_script('return window.__bench.wakes')
        keys = d.execute_script('return window.__bench.keys')
        print(f'tick lateness, page: {spread([at - due for at, due in wakes if due >= 0])}')
        print(f'key to canvas drawn: {spread([k["drawn"] - k["at"] for k in keys])}')
        print(f'key to next frame: {spread([k["frame"] - k["at"] for k in keys])}')

        # Clock mode: a click on TIME; then wake-ups, paints and CPU while nothing but
        # the clock changes.
        key(d, 0, 'Escape')
        wait_for(d, "return !document.getElementById('launcher').hidden")
        d.execute_script("document.querySelector('#Puls_Play').click()")
        wait_for(d, "return document.getElementById('launcher').hidden")
        r = d.execute_script("return document.getElementById('handheld').getBoundingClientRect().toJSON()")
        x, y = r['left'] + 502 * r['width'] / 652, r['top'] + 84 * r['width'] / 652
        for kind in ('mousePressed', 'mouseReleased'):
            d.execute_cdp_cmd('Input.dispatchMouseEvent',
                              {'type': kind, 'x': x, 'y': y, 'button': 'left', 'clickCount': 1})
        time.sleep(1.0)
        d.execute_script('window.__bench.wakes = []')
        painted = d.execute_script("return Number(document.getElementById('handheld').dataset.painted)")
        busy = cpu(d)
        time.sleep(SECONDS)
        busy = cpu(d) - busy
        wakes = len(d.execute_script('return window.__bench.wakes'))
        painted = d.execute_script("return Number(document.getElementById('handheld').dataset.painted)") - painted
        print(f'clock mode over {SECONDS:.0f} s: {wakes / SECONDS:.2f} wake-ups a second, '
              f'{painted} paints, main thread busy {100 * busy / SECONDS:.3f} % of a core')
    finally:
        d.quit()
        httpd.shutdown()
        shutil.rmtree(WORK, ignore_errors=True)

    if BUILD:
        out = subprocess.run([os.path.join(BUILD, 'bench', 'fenwater_timer_fidelity'), '200', '1'],
                             env={**os.environ, 'QT_QPA_PLATFORM': 'offscreen'},
                             capture_output=True, text=True).stdout
        print('desktop timer host, same run:')
        print('\n'.join('  ' + line for line in out.splitlines() if '| timer host (timerfd) |' in line))


if __name__ == '__main__':
    main()
