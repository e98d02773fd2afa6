#!/usr/bin/python3
"""The page in a real headless Chromium, served from 127.0.0.1.

usage: browser_test.py PAGE_FOLDER FENWATER_REPLAY SOURCE_ROOT

Pictures are compared inside the browser: the reference is fenwater-replay's render,
handed over as a PNG, and the canvas must equal it pixel for pixel where asked.
"""
import base64
import functools
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

PAGE, REPLAY, SOURCE = sys.argv[1:4]
WORK = tempfile.mkdtemp(prefix='fenwater-web-')
os.environ['XDG_CONFIG_HOME'] = os.path.join(WORK, 'config')
os.environ['XDG_CACHE_HOME'] = os.path.join(WORK, 'cache')
TITLE = 'Fenwater (Ostrel) Simulator'
failures = []


def check(what, ok, detail=''):
    print(('ok   ' if ok else 'FAIL ') + what + (f': {detail}' if detail and not ok else ''), flush=True)
    if not ok:
        failures.append(what)


# Element rectangles, from the layout table of the core.
RECTS = {}
for m in re.finditer(r'FW_ELEMENT\((\w+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)',
                     open(os.path.join(SOURCE, 'core/elements.def')).read()):
    RECTS[m.group(1)] = tuple(int(v) for v in m.group(2, 3, 4, 5))
DIGITS = (339, 282, 414 - 339, 19)  # the four digit places
FIGURE = (262, 141, 30, 28)  # the figure's body at the middle, clear of its legs


class Server:
    """The page folder on a port of 127.0.0.1, stopped to take the network away; the
    files named in missing are not found."""

    def __init__(self, missing=()):
        handler = functools.partial(Quiet, directory=PAGE)
        Quiet.missing = set(missing)
        self.httpd = QuietServer(('127.0.0.1', 0), handler)
        self.url = f'http://127.0.0.1:{self.httpd.server_address[1]}/'
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class QuietServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A reload drops the requests of the page it replaces: not a failure.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


class Quiet(http.server.SimpleHTTPRequestHandler):
    missing = set()

    def do_GET(self):
        if self.path.lstrip('/') in self.missing:
            self.send_error(404)
        else:
            super().do_GET()

    def log_message(self, *args):
        pass


def browser(name, ratio=1, width=652, height=443, refuse_storage=False):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for arg in ('--headless=new', '--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required',
                f'--user-data-dir={os.path.join(WORK, name)}', '--no-first-run'):
        options.add_argument(arg)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    d = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                      {'width': width, 'height': height, 'deviceScaleFactor': ratio, 'mobile': False})
    if refuse_storage:
        d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': (
            "Storage.prototype.setItem = function () {"
            " throw new DOMException('full', 'QuotaExceededError'); };")})
    return d


def wait_for(d, script, what, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        value = d.execute_script(script)
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f'timed out waiting for {what}')


def eventually(probe, timeout=5.0):
    """Asks probe until it answers something true, or the time is out; its last answer."""
    end = time.time() + timeout
    while True:
        answer = probe()
        if answer or time.time() > end:
            return answer
        time.sleep(0.02)


def load(d, url):
    d.get(url)
    wait_for(d, 'return document.body.dataset.ready', 'the page')


def replay_png(script, scale=1, args=()):
    path = os.path.join(WORK, 'script.replay')
    png = os.path.join(WORK, 'render.png')
    with open(path, 'w') as f:
        f.write(script + f'\n{script_end(script)} png {png} {scale}\n')
    subprocess.run([REPLAY, *args, path], check=True, stdout=subprocess.DEVNULL)
    return 'data:image/png;base64,' + base64.b64encode(open(png, 'rb').read()).decode()


def script_end(script):
    times = [int(line.split()[0]) for line in script.splitlines() if line.strip()]
    return max(times, default=0)


# Pixels of the canvas that differ from a picture (a data URL) within a rectangle of
# window pixels (the whole canvas when none), or -1 when the sizes differ.
DIFFER = """
const [url, rect, done] = arguments;
const canvas = document.getElementById('handheld');
const s = Number(canvas.dataset.scale);
const image = new Image();
image.onload = () => {
    if (image.width !== canvas.width || image.height !== canvas.height) return done(-1);
    const c = document.createElement('canvas');
    c.width = image.width; c.height = image.height;
    const g = c.getContext('2d');
    g.drawImage(image, 0, 0);
    const [x, y, w, h] = (rect || [0, 0, 652, 443]).map((v) => v * s);
    const a = g.getImageData(x, y, w, h).data;
    const b = canvas.getContext('2d').getImageData(x, y, w, h).data;
    let differ = 0;
    for (let i = 0; i < a.length; i += 4)
        if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) ++differ;
    done(differ);
};
image.src = url;
"""


def differing(d, url, rect=None):
    return d.execute_async_script(DIFFER, url, list(rect) if rect else None)


REGION = """
const [x, y, w, h] = arguments[0];
const canvas = document.getElementById('handheld');
const s = Number(canvas.dataset.scale);
return Array.from(canvas.getContext('2d').getImageData(x * s, y * s, w * s, h * s).data).join(',');
"""


def region(d, name):
    return d.execute_script(REGION, list(RECTS[name]))


def storage(d, name):
    return d.execute_script(f"return localStorage.getItem('Fenwater\\\\\\\\{name.lower()}')")


def play(d, choice='(no sound)'):
    select = d.find_element(By.ID, 'CB_Sound')
    select.find_element(By.XPATH, f"option[text()='{choice}']").click()
    d.find_element(By.ID, 'Puls_Play').click()
    wait_for(d, "return document.getElementById('launcher').hidden", 'the launcher to close')


def press(d, key):
    ActionChains(d).key_down(key).pause(0.05).key_up(key).perform()


def touch(d, name, phase):
    left, top, width, height = RECTS[name]
    r = d.execute_script("return document.getElementById('handheld').getBoundingClientRect().toJSON()")
    f = r['width'] / 652
    point = {'x': r['left'] + (left + width / 2) * f, 'y': r['top'] + (top + height / 2) * f}
    d.execute_cdp_cmd('Input.dispatchTouchEvent',
                      {'type': phase, 'touchPoints': [point] if phase == 'touchStart' else []})


def painted(d):
    return d.execute_script("return Number(document.getElementById('handheld').dataset.painted)")


def settle_paint(d):
    """Waits until nothing has been painted for a while."""
    last = painted(d)
    end = time.time() + 0.25
    while time.time() < end:
        time.sleep(0.05)
        now = painted(d)
        if now != last:
            last, end = now, time.time() + 0.25


def severe(d):
    return [entry['message'] for entry in d.get_log('browser') if entry['level'] == 'SEVERE']


POWER_ON = '0 dump'
GAME_B_START = '0 key down 39\n0 key up 39\n100 dump'


def main():
    server = Server()
    power_on = {s: replay_png(POWER_ON, s) for s in (1, 2)}
    game_b = replay_png(GAME_B_START)
    game_b_figure = replay_png(GAME_B_START.replace('100 dump', '300 dump'))
    acl_held = replay_png('0 mouse down Puls_ACL left 6 6')

    # The power-on screen at the device pixel ratios 1 and 2: the pictures of that scale,
    # painted exactly as the desktop's renderer paints them.
    for ratio in (1, 2):
        d = browser(f'ratio{ratio}', ratio)
        try:
            load(d, server.url)
            check(f'ratio {ratio}: pictures of scale {ratio}',
                  d.execute_script("return document.getElementById('handheld').dataset.scale") == str(ratio))
            n = differing(d, power_on[ratio])
            check(f'ratio {ratio}: the power-on canvas equals the replay render', n == 0, f'{n} pixels differ')
            check(f'ratio {ratio}: no console errors', not severe(d), severe(d))
        finally:
            d.quit()

    d = browser('main')
    try:
        load(d, server.url)
        launcher = d.find_element(By.ID, 'launcher')
        check('the launcher shows first, with its version and three sound choices',
              launcher.is_displayed() and 'Version S3/1.02' in launcher.text and
              [o.text for o in d.find_elements(By.CSS_SELECTOR, '#CB_Sound option')] ==
              ['Windows MM', 'DirectSound', '(no sound)'])
        check('first run: no choice made, Play disabled',
              d.execute_script("return document.getElementById('CB_Sound').selectedIndex") == -1 and
              not d.find_element(By.ID, 'Puls_Play').is_enabled())
        play(d, 'Windows MM')  # the cues load and play: any failure shows on the console
        check('Play stores the choice', storage(d, 'SoundMode') == '0')

        unlit = differing(d, power_on[1], RECTS['Im_GameB']) == 0
        press(d, Keys.ARROW_RIGHT)
        check('the right arrow starts game B',
              unlit and eventually(lambda: differing(d, game_b, RECTS['Im_GameB']) == 0))
        # The figure appears at the middle, free to move.
        check('the figure comes to the middle', eventually(lambda: differing(d, game_b_figure, FIGURE) == 0))
        before = region(d, 'Im_Man1')
        press(d, Keys.ARROW_LEFT)
        check('a key press moves the figure', eventually(lambda: region(d, 'Im_Man1') != before))

        # ACL by the mouse: held, the screen is blank and the game abandoned; released,
        # the power-on pattern, exactly.
        acl_left, acl_top, acl_width, acl_height = RECTS['Puls_ACL']
        canvas = d.find_element(By.ID, 'handheld')
        ActionChains(d).move_to_element_with_offset(
            canvas, acl_left + acl_width // 2 - 326, acl_top + acl_height // 2 - 221).click_and_hold().perform()
        check('ACL held blanks the screen', eventually(lambda: differing(d, acl_held) == 0))
        ActionChains(d).release().perform()
        check('ACL released shows the power-on pattern', eventually(lambda: differing(d, power_on[1]) == 0))

        # Esc returns to the launcher, with the choice made; a touch on GAME B is the
        # right arrow and shows the button pressed while held.
        press(d, Keys.ESCAPE)
        wait_for(d, "return !document.getElementById('launcher').hidden", 'the launcher after Esc')
        check('Esc returns to the launcher, the stored choice preselected',
              d.execute_script("return document.getElementById('CB_Sound').selectedIndex") == 0)
        d.find_element(By.ID, 'Puls_Play').click()
        wait_for(d, "return document.getElementById('launcher').hidden", 'the launcher to close')
        settle_paint(d)
        button = region(d, 'Puls_Right')
        touch(d, 'Puls_Right', 'touchStart')
        held = eventually(lambda: region(d, 'Puls_Right') != button)
        touch(d, 'Puls_Right', 'touchEnd')
        check('a touch on GAME B starts game B',
              eventually(lambda: differing(d, game_b, RECTS['Im_GameB']) == 0))
        check('GAME B looks pressed while touched, and not after',
              held and eventually(lambda: region(d, 'Puls_Right') == button))

        touch(d, 'Im_SchermoTop', 'touchStart')
        opened = eventually(lambda: d.find_element(By.ID, 'menu').is_displayed())
        touch(d, 'Im_SchermoTop', 'touchEnd')
        check('a long press opens the menu', opened)
        press(d, Keys.ESCAPE)
        check('Esc closes the menu and play goes on',
              eventually(lambda: not d.find_element(By.ID, 'menu').is_displayed()) and not launcher_shown(d))

        # The menu by right click; Reset Hiscores writes both best scores.
        d.execute_script("localStorage.setItem('Fenwater\\\\\\\\hiscorea', '7')")
        ActionChains(d).move_to_element_with_offset(canvas, -250, -150).context_click().perform()
        menu = d.find_element(By.ID, 'menu')
        check('a right click opens the menu', menu.is_displayed() and 'Reset Hiscores' in menu.text)
        menu.find_element(By.XPATH, "button[@data-item='hiscores']").click()
        check('Reset Hiscores writes 0 for both games and closes the menu',
              storage(d, 'HiScoreA') == '0' and storage(d, 'HiScoreB') == '0' and not menu.is_displayed())

        # A best score stored under any spelling of its name is read after a reload and
        # shown as the game starts.
        for stored, text in (('HISCOREB', '123'), ('HiScoreB', '0')):
            d.execute_script(f"localStorage.setItem('Fenwater\\\\\\\\{stored.lower()}', '{text}')")
            load(d, server.url)
            play(d)
            expected = replay_png(GAME_B_START, 1, ('--hiscore-b', text))
            press(d, Keys.ARROW_RIGHT)
            # Shown for the first second of the start.
            check(f'a best score of {text} survives a reload',
                  eventually(lambda: differing(d, expected, DIGITS) == 0, 0.9))
        check('no console errors while playing', not severe(d), severe(d))

        # Installable, and offline: the service worker answers a reload once the network is gone.
        wait_for(d, 'return navigator.serviceWorker.controller !== null', 'the service worker')
        errors = d.execute_cdp_cmd('Page.getInstallabilityErrors', {}).get('installabilityErrors')
        check('Chromium can install the page', errors == [], errors)
        wait_for(d, "return caches.open('fenwater').then((c) => c.match('pictures/face-1x.bin'))"
                    ".then((r) => Boolean(r))", 'the pictures to be kept')
        server.stop()
        load(d, server.url)
        play(d)
        press(d, Keys.ARROW_RIGHT)
        check('a reload without network plays',
              eventually(lambda: differing(d, game_b, RECTS['Im_GameB']) == 0))
    finally:
        d.quit()

    # Failures shown in a message box: storage that refuses writes gives the store's
    # own message and play goes on; a catch cue that cannot be loaded gives the sound
    # message, stores no choice and ends the run at the launcher.
    boxes = (
        ('refused storage', {'refuse_storage': True}, (), '(no sound)', TITLE,
         "Failed to set data for 'SoundMode'", False, None),
        ('no catch cue', {}, ('SOUND/Got.wav',), 'Windows MM', 'Error',
         'Sound folder unproperly installed. Read instructions then reinstall.', True, '-1'),
    )
    for name, options, missing, choice, caption, text, launcher_after, stored in boxes:
        server = Server(missing)
        d = browser(name.replace(' ', '-'), **options)
        try:
            load(d, server.url)
            d.find_element(By.XPATH, f"//select[@id='CB_Sound']/option[text()='{choice}']").click()
            d.find_element(By.ID, 'Puls_Play').click()
            wait_for(d, "return !document.getElementById('message').hidden", 'the message box')
            box = d.find_element(By.ID, 'message')
            check(f'{name}: the message box', box.text.startswith(caption) and text in box.text, box.text)
            box.find_element(By.CLASS_NAME, 'ok').click()
            wait_for(d, "return document.getElementById('message').hidden", 'the box to close')
            check(f'{name}: then the launcher ' + ('shows' if launcher_after else 'is gone'),
                  launcher_shown(d) == launcher_after)
            if stored is not None:
                check(f'{name}: the choice stored is {stored}', storage(d, 'SoundMode') == stored)
        finally:
            d.quit()
            server.stop()

    print(f'{len(failures)} failed' if failures else 'all passed')
    return 1 if failures else 0


def launcher_shown(d):
    return d.find_element(By.ID, 'launcher').is_displayed()


if __name__ == '__main__':
    try:
        status = main()
    finally:
        shutil.rmtree(WORK, ignore_errors=True)
    sys.exit(status)
